#pragma once
// What bands, frames and labels need of a run's page output while they draw: the page canvas
// and the conversions from native units (0.1 mm) to device pixels. TBRPrinter is the real one.

#include "platform/canvas.h"
#include "platform/length.h"
#include "platform/rounding.h"
#include "platform/units.h"

namespace output {

class TBRPageTarget {
public:
    virtual ~TBRPageTarget() = default;

    // The canvas of the current page; nullptr when no page is being drawn.
    virtual platform::Canvas *PageCanvas() = 0;
    // True when pages are drawn straight onto a printer (not recorded).
    virtual bool DrawsToPrinter() const = 0;

    int ToDeviceX(long double x) const
    {
        return static_cast<int>(platform::roundHalfEven((x - LeftWaste) * HorizontalFactor));
    }
    int ToDeviceY(long double y) const
    {
        return static_cast<int>(platform::roundHalfEven((y - TopWaste) * VerticalFactor));
    }
    int ToDeviceWidth(long double w) const
    {
        return static_cast<int>(platform::roundHalfEven(w * HorizontalFactor));
    }
    int ToDeviceHeight(long double h) const
    {
        return static_cast<int>(platform::roundHalfEven(h * VerticalFactor));
    }

    int ToDeviceX(platform::TLength x) const { return ToDeviceX(x.native()); }
    int ToDeviceY(platform::TLength y) const { return ToDeviceY(y.native()); }
    // The device rectangle of a rectangle given by its edges on the page.
    platform::TRect ToDeviceRect(platform::TLength left, platform::TLength top,
                                 platform::TLength right, platform::TLength bottom) const
    {
        return {ToDeviceX(left), ToDeviceY(top), ToDeviceX(right), ToDeviceY(bottom)};
    }

    // The standard screen's factors hold until a destination sets them.
    static constexpr long double DefaultFactor = platform::roundedScreenPixelsPerNative;
    long double HorizontalFactor = DefaultFactor;
    long double VerticalFactor = DefaultFactor;
    // The printer's physical offsets in native units when printing directly, else 0.
    long double LeftWaste = 0;
    long double TopWaste = 0;
};

} // namespace output
