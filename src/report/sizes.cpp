#include "platform/rounding.h"
#include "report/band.h"
#include "report/bandsize.h"
#include "report/printable.h"
#include "report/printablesize.h"

namespace report {

namespace {
int roundedPixels(const TBRUnitBase &size, long double native, bool horizontal)
{
    return static_cast<int>(
        platform::roundHalfEven(size.FromNative(native, TBRUnit::Pixels, horizontal)));
}
} // namespace

TBRBandSize::TBRBandSize(TBRCustomBand &band, int resolution)
    : TBRUnitBase(resolution, {initialHeight, initialWidth}, {false, true}), band_(band)
{}

void TBRBandSize::SetValue(int index, long double value)
{
    if (index != HeightIndex && index != WidthIndex)
        return;
    StoreNative(index, ToNativeAt(index, value));
    UpdateParent();
}

void TBRBandSize::UpdateParent()
{
    const UpdatingGuard guard(*this);
    const PixelBounds &b = band_.Bounds();
    band_.SetBounds(b.Left, b.Top, roundedPixels(*this, Native(WidthIndex), true),
                    roundedPixels(*this, Native(HeightIndex), false));
}

void TBRBandSize::SetValues(const std::vector<long double> &values)
{
    TBRUnitBase::SetValues(values);
    if (!band_.Loading())
        UpdateParent();
}

TBRPrintableSize::TBRPrintableSize(TBRPrintable &control, int resolution)
    : TBRUnitBase(resolution, {0.0L, 0.0L, 0.0L, 0.0L}, {false, true, false, true}),
      control_(control)
{}

void TBRPrintableSize::SetValue(int index, long double value)
{
    if (index < HeightIndex || index > WidthIndex)
        return;
    StoreNative(index, ToNativeAt(index, value));
    UpdateParent();
}

void TBRPrintableSize::SetValues(const std::vector<long double> &values)
{
    TBRUnitBase::SetValues(values);
    if (!control_.Loading())
        UpdateParent();
}

void TBRPrintableSize::TakePixels(int left, int top, int width, int height)
{
    const auto native = [this](int pixels, bool horizontal) {
        return ToNative(pixels, TBRUnit::Pixels, horizontal);
    };
    StoreNative(HeightIndex, native(height, false));
    StoreNative(LeftIndex, native(left, true));
    StoreNative(TopIndex, native(top, false));
    StoreNative(WidthIndex, native(width, true));
}

void TBRPrintableSize::UpdateParent()
{
    const UpdatingGuard guard(*this);
    control_.SetBounds(roundedPixels(*this, Native(LeftIndex), true),
                       roundedPixels(*this, Native(TopIndex), false),
                       roundedPixels(*this, Native(WidthIndex), true),
                       roundedPixels(*this, Native(HeightIndex), false));
}

} // namespace report
