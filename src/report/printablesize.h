#pragma once
// TBRPrintableSize, a printable control's Size: Height (0), Left (1), Top (2), Width (3).
// Left and Top count from the top left corner of the band, or of the paper for a control
// placed on the report itself.

#include "platform/screen.h"
#include "report/unitbase.h"

namespace report {

class TBRPrintable;

class TBRPrintableSize : public TBRUnitBase {
public:
    enum Index { HeightIndex, LeftIndex, TopIndex, WidthIndex };

    explicit TBRPrintableSize(TBRPrintable &control,
                              int resolution = platform::screenPixelsPerInch());

    long double Height() const { return GetValue(HeightIndex); }
    long double Left() const { return GetValue(LeftIndex); }
    long double Top() const { return GetValue(TopIndex); }
    long double Width() const { return GetValue(WidthIndex); }
    void SetHeight(long double v) { SetValue(HeightIndex, v); }
    void SetLeft(long double v) { SetValue(LeftIndex, v); }
    void SetTop(long double v) { SetValue(TopIndex, v); }
    void SetWidth(long double v) { SetValue(WidthIndex, v); }

    // Stores whole-pixel bounds as native lengths (the control's bounds set from outside).
    void TakePixels(int left, int top, int width, int height);

    // Gives the control the pixel bounds that its lengths round to.
    void UpdateParent() override;

protected:
    // Stored values are taken as they are; outside loading the owner follows at once.
    void ValuesTaken() override;

private:
    TBRPrintable &control_;
};

} // namespace report
