#include "report/reportunits.h"

#include "platform/length.h"

#include <cstdlib>

namespace report {

using platform::TLength;

namespace {
// Native units per character cell: cw = 80 ÷ s ÷ 2.54 across, ch = 145.3 ÷ s ÷ 2.54 down.
long double characterCell(bool horizontal, const TBRUnitContext &c)
{
    const int s = std::abs(c.FontSize);
    return (horizontal ? characterWidthFactor : characterHeightFactor) / s / platform::cmPerInch;
}
} // namespace

long double NativeToUnit(long double x, TBRUnit unit, bool horizontal, const TBRUnitContext &c)
{
    switch (unit) {
    case TBRUnit::MM:
        return TLength::fromNative(x).mm();
    case TBRUnit::Inches:
        return TLength::fromNative(x).inches();
    case TBRUnit::Pixels:
        return x / TLength::nativePerPixel(c.Resolution) * c.Zoom / percent;
    case TBRUnit::Characters:
        return x / characterCell(horizontal, c) / platform::nativePerMm;
    case TBRUnit::Native:
        break;
    }
    return x;
}

long double UnitToNative(long double x, TBRUnit unit, bool horizontal, const TBRUnitContext &c)
{
    switch (unit) {
    case TBRUnit::MM:
        return TLength::fromMm(x).native();
    case TBRUnit::Inches:
        return TLength::fromInches(x).native();
    case TBRUnit::Pixels:
        return x * TLength::nativePerPixel(c.Resolution) / c.Zoom * percent;
    case TBRUnit::Characters:
        return x * characterCell(horizontal, c) * platform::nativePerMm;
    case TBRUnit::Native:
        break;
    }
    return x;
}

} // namespace report
