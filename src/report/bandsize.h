#pragma once
// TBRBandSize, a band's Size: Height (index 0, vertical) and Width (1, horizontal).

#include "platform/screen.h"
#include "report/unitbase.h"

namespace report {

class TBRCustomBand;

class TBRBandSize : public TBRUnitBase {
public:
    enum Index { HeightIndex, WidthIndex };
    static constexpr long double initialHeight = 20.0L;
    static constexpr long double initialWidth = 40.0L;

    explicit TBRBandSize(TBRCustomBand &band, int resolution = platform::screenPixelsPerInch());

    long double GetValue(int index) const { return Get(index); }
    void SetValue(int index, long double value);
    long double Height() const { return Get(HeightIndex); }
    long double Width() const { return Get(WidthIndex); }
    void SetHeight(long double v) { SetValue(HeightIndex, v); }
    void SetWidth(long double v) { SetValue(WidthIndex, v); }

    // Gives the band pixel height and width round(Height) and round(Width) in Pixels.
    void UpdateParent() override;
    // Stored values are taken as they are; outside loading the owner follows at once.
    void SetValues(const std::vector<long double> &values) override;

private:
    TBRCustomBand &band_;
};

} // namespace report
