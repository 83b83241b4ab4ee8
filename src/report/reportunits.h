#pragma once
// Lengths of a report definition are held in native units of 0.1 mm as extended-precision
// values and shown in a selectable unit. The conversions never round.

#include "platform/units.h"

namespace report {

enum class TBRUnit { MM, Inches, Pixels, Characters, Native };

inline constexpr int percent = 100;
inline constexpr int standardZoom = 100;
// Average character cell of the Characters unit, per point of the report's font.
inline constexpr long double characterWidthFactor = 80.0L;
inline constexpr long double characterHeightFactor = 145.3L;

// The values a conversion needs besides the value itself.
struct TBRUnitContext {
    int Resolution = platform::screenDpi; // screen pixels per inch
    int Zoom = standardZoom;
    int FontSize = 10; // points of the parent report's font (Characters unit)
};

// From native units to `unit`, counting horizontally or vertically (Characters only).
long double NativeToUnit(long double x, TBRUnit unit, bool horizontal, const TBRUnitContext &c);
// From `unit` to native units.
long double UnitToNative(long double x, TBRUnit unit, bool horizontal, const TBRUnitContext &c);

} // namespace report
