#include "reportfixtures.h"

using namespace report;

namespace reporttest {

namespace {
constexpr long double px = nativePerScreenPixel;

void defineLabel(TBRLabel &label, int points, std::array<long double, 4> values,
                 TAlignment alignment)
{
    label.SetFont({"Arial", points, 0, platform::clBlack});
    label.SetParentFont(false);
    label.Color = platform::clWhite;
    label.WordWrap = true;
    label.AutoSize = false;
    label.AutoStretch = false;
    label.SetAlignment(alignment);
    label.FontSize = points;
    label.Size.SetValues({values.begin(), values.end()});
    label.SetCaption("K V A D R I X");
}
} // namespace

TileSheet::TileSheet(long double top, long double bottom, long double left, long double right,
                     bool heightFirst, bool fitLabels)
{
    report.BeginLoading();
    report.SetZoom(60);
    report.Page.SetColumns(10);
    report.Page.SetValues({90.0L, 2970.0L, 85.0L, 2100.0L, 120.0L, 195.0L, 0.0L});
    detail = &report.CreateBand(TBRBandType::rbDetail);
    detail->Color = platform::clWhite;
    detail->Size.SetValues({466.0L, 176.3888888888889L});
    const std::array<int, 5> points{9, 9, 9, 9, 6};
    const std::array<long double, 5> tops{20 * px, 36 * px, 52 * px, 68 * px, 119 * px};
    const std::array<long double, 5> heights{16 * px, 16 * px, 16 * px, 16 * px, 11 * px};
    const std::array<TAlignment, 5> alignments{
        TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taLeftJustify,
        TAlignment::taRightJustify, TAlignment::taLeftJustify};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i] = &report.CreateControl<TBRLabel>(*detail);
        defineLabel(*labels[i], points[i], {heights[i], 6 * px, tops[i], 49 * px}, alignments[i]);
    }
    sideLabel = &report.CreateControl<TBRLabel>(report);
    defineLabel(*sideLabel, 6, {195.79L, 1989.67L, 2701.4L, 26.46L}, TAlignment::taLeftJustify);
    sideLabel->AutoStretch = true;
    fileLabel = &report.CreateControl<TBRLabel>(report);
    defineLabel(*fileLabel, 6, {30.87L, 123.47L, 2897.19L, 127.88L}, TAlignment::taLeftJustify);
    fileLabel->AutoSize = true;
    report.EndLoading();

    // Creation: the margins, then the band height, from the same units as the definition.
    report.SetUnits(TBRUnit::MM);
    const auto setHeight = [this] {
        detail->Size.SetHeight(
            (report.Page.Length() - report.Page.TopMargin() - report.Page.BottomMargin()) / 6 -
            0.05L);
    };
    if (heightFirst)
        setHeight();
    report.Page.SetTopMargin(top);
    report.Page.SetBottomMargin(bottom);
    report.Page.SetLeftMargin(left);
    report.Page.SetRightMargin(right);
    if (!heightFirst)
        setHeight();
    for (TBRLabel *label : labels) {
        if (!fitLabels)
            break;
        label->SetWidth(detail->Bounds().Width - 12);
        label->SetLeft(6);
    }
}

} // namespace reporttest
