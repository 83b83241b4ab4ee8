#include "platform/rounding.h"
#include "report/band.h"
#include "report/bandsize.h"
#include "report/printable.h"
#include "report/printablesize.h"

namespace report {

namespace {
int roundedPixels(const TBRUnitBase &size, platform::TLength length, bool horizontal)
{
    return static_cast<int>(
        platform::roundHalfEven(size.FromNative(length.native(), TBRUnit::Pixels, horizontal)));
}
} // namespace

TBRBandSize::TBRBandSize(TBRCustomBand &band, int resolution)
    : TBRUnitBase(resolution, {initialHeight, initialWidth}, {false, true}), band_(band)
{}

void TBRBandSize::UpdateParent()
{
    const UpdatingGuard guard(*this);
    const PixelBounds &b = band_.Bounds();
    band_.SetBounds(b.Left, b.Top, roundedPixels(*this, LengthAt(WidthIndex), true),
                    roundedPixels(*this, LengthAt(HeightIndex), false));
}

void TBRBandSize::ValuesTaken()
{
    if (!band_.Loading())
        UpdateParent();
}

TBRPrintableSize::TBRPrintableSize(TBRPrintable &control, int resolution)
    : TBRUnitBase(resolution, std::vector<platform::TLength>(WidthIndex + 1),
                  {false, true, false, true}),
      control_(control)
{}

void TBRPrintableSize::ValuesTaken()
{
    if (!control_.Loading())
        UpdateParent();
}

void TBRPrintableSize::TakePixels(int left, int top, int width, int height)
{
    const auto native = [this](int pixels, bool horizontal) {
        return platform::TLength::fromNative(ToNative(pixels, TBRUnit::Pixels, horizontal));
    };
    StoreNative(HeightIndex, native(height, false));
    StoreNative(LeftIndex, native(left, true));
    StoreNative(TopIndex, native(top, false));
    StoreNative(WidthIndex, native(width, true));
}

void TBRPrintableSize::UpdateParent()
{
    const UpdatingGuard guard(*this);
    control_.SetBounds(roundedPixels(*this, LengthAt(LeftIndex), true),
                       roundedPixels(*this, LengthAt(TopIndex), false),
                       roundedPixels(*this, LengthAt(WidthIndex), true),
                       roundedPixels(*this, LengthAt(HeightIndex), false));
}

} // namespace report
