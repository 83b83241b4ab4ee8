#pragma once
// TBRBandSize, a band's Size: Height (index 0, vertical) and Width (1, horizontal).

#include "platform/screen.h"
#include "report/unitbase.h"

namespace report {

class TBRCustomBand;

class TBRBandSize : public TBRUnitBase {
public:
    enum Index { HeightIndex, WidthIndex };
    static constexpr platform::TLength initialHeight = platform::TLength::fromNative(20);
    static constexpr platform::TLength initialWidth = platform::TLength::fromNative(40);

    explicit TBRBandSize(TBRCustomBand &band, int resolution = platform::screenPixelsPerInch());

    long double Height() const { return GetValue(HeightIndex); }
    long double Width() const { return GetValue(WidthIndex); }
    void SetHeight(long double v) { SetValue(HeightIndex, v); }
    void SetWidth(long double v) { SetValue(WidthIndex, v); }

    // Gives the band pixel height and width round(Height) and round(Width) in Pixels.
    void UpdateParent() override;

protected:
    // Stored values are taken as they are; outside loading the owner follows at once.
    void ValuesTaken() override;

private:
    TBRCustomBand &band_;
};

} // namespace report
