#pragma once
// TBRPage, the report's Page: paper, margins, columns. Every length is indexed; the index
// also says which way the Characters unit counts.

#include "platform/screen.h"
#include "report/reportpaper.h"
#include "report/unitbase.h"

namespace report {

enum class TBROrientation { poPortrait, poLandscape };

class TBRPage : public TBRUnitBase {
public:
    enum Index {
        BottomMarginIndex,
        LengthIndex,
        TopMarginIndex,
        WidthIndex,
        LeftMarginIndex,
        RightMarginIndex,
        ColumnSpaceIndex
    };
    static constexpr int lengthCount = 7;

    explicit TBRPage(int resolution = platform::screenPixelsPerInch());

    // Lengths in Units. Setting Length or Width does nothing unless PaperSize is Custom.
    long double BottomMargin() const { return GetValue(BottomMarginIndex); }
    long double Length() const { return GetValue(LengthIndex); }
    long double TopMargin() const { return GetValue(TopMarginIndex); }
    long double Width() const { return GetValue(WidthIndex); }
    long double LeftMargin() const { return GetValue(LeftMarginIndex); }
    long double RightMargin() const { return GetValue(RightMarginIndex); }
    long double ColumnSpace() const { return GetValue(ColumnSpaceIndex); }
    void SetBottomMargin(long double v) { SetValue(BottomMarginIndex, v); }
    void SetLength(long double v) { SetValue(LengthIndex, v); }
    void SetTopMargin(long double v) { SetValue(TopMarginIndex, v); }
    void SetWidth(long double v) { SetValue(WidthIndex, v); }
    void SetLeftMargin(long double v) { SetValue(LeftMarginIndex, v); }
    void SetRightMargin(long double v) { SetValue(RightMarginIndex, v); }
    void SetColumnSpace(long double v) { SetValue(ColumnSpaceIndex, v); }

    int Columns() const { return columns_; }
    void SetColumns(int columns);
    TBROrientation Orientation() const { return orientation_; }
    void SetOrientation(TBROrientation orientation);
    TBRPaperSize PaperSize() const { return paperSize_; }
    void SetPaperSize(TBRPaperSize size);
    // A design aid on the report's own surface, which this program never shows.
    bool Ruler = true;

    TCustomBandReport *Report() const { return report_; }
    void SetReport(TCustomBandReport *report);

    // Pushes Width and Length into the report control's pixel bounds.
    void UpdateParent() override;

protected:
    bool TakesValue(int index) const override;
    // A margin or the paper changed: the report's bounds and its band layout follow.
    void ValueSet(int index) override;
    // Stored values are taken as they are; the page then pushes itself into the report.
    void ValuesTaken() override { UpdateParent(); }

private:
    void arrange();

    int columns_ = 1;
    TBROrientation orientation_ = TBROrientation::poPortrait;
    TBRPaperSize paperSize_ = TBRPaperSize::Default;
    TCustomBandReport *report_ = nullptr;
};

} // namespace report
