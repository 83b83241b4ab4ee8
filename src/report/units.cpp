#include "report/units.h"

#include <cstdlib>

namespace report {

namespace {
// Native units per character cell: cw = 80 ÷ s ÷ 2.54 across, ch = 145.3 ÷ s ÷ 2.54 down.
long double characterCell(bool horizontal, const TBRUnitContext &c)
{
    const long double s = std::abs(c.FontSize);
    return (horizontal ? characterWidthFactor : characterHeightFactor) / s / centimetresPerInch;
}
} // namespace

long double NativeToUnit(long double x, TBRUnit unit, bool horizontal, const TBRUnitContext &c)
{
    switch (unit) {
    case TBRUnit::MM:
        return x / nativePerMM;
    case TBRUnit::Inches:
        return x / nativePerInch;
    case TBRUnit::Pixels:
        return x / (nativePerInch / c.Resolution) * c.Zoom / percent;
    case TBRUnit::Characters:
        return x / characterCell(horizontal, c) / nativePerMM;
    case TBRUnit::Native:
        break;
    }
    return x;
}

long double UnitToNative(long double x, TBRUnit unit, bool horizontal, const TBRUnitContext &c)
{
    switch (unit) {
    case TBRUnit::MM:
        return x * nativePerMM;
    case TBRUnit::Inches:
        return x * nativePerInch;
    case TBRUnit::Pixels:
        return x * (nativePerInch / c.Resolution) / c.Zoom * percent;
    case TBRUnit::Characters:
        return x * characterCell(horizontal, c) * nativePerMM;
    case TBRUnit::Native:
        break;
    }
    return x;
}

} // namespace report
