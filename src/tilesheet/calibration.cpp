#include "tilesheet/calibration.h"

#include "platform/length.h"
#include "platform/rounding.h"
#include "tilesheet/rapform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tilesheet {
namespace {

double toMm(long double native)
{
    return static_cast<double>(platform::TLength::fromNative(native).mm());
}

double clampMargin(double mm)
{
    return std::clamp(mm, -static_cast<double>(kMarginLimitMm),
                      static_cast<double>(kMarginLimitMm));
}

double tenth(double mm) { return std::round(mm * 10.0) / 10.0; }

double corrected(double current, const std::optional<double> &measured, double target)
{
    return measured ? clampMargin(current + (target - *measured)) : current;
}

} // namespace

OuterLines OuterCuttingLines(const Margins &margins)
{
    TRapFormInputs inputs;
    SetMargins(inputs, margins);
    inputs.CutFrames = true;
    const TRapForm sheet(inputs);
    const report::TBRPage &page = sheet.BRBrikker.Page;
    const auto pageNative = [&page](int index) { return page.Native(index); };
    const long double height = sheet.BrikDetail.Size.Native(report::TBRBandSize::HeightIndex);
    const long double width = sheet.BrikDetail.Size.Native(report::TBRBandSize::WidthIndex);
    const auto whole = [](long double v) {
        return static_cast<long double>(platform::roundHalfEven(v));
    };
    // The run starts a page at the rounded margins and advances by the rounded band height down
    // a column and by the rounded band width across; the last band's frame ends its own size
    // (and the overhang) further on.
    const long double top = whole(pageNative(report::TBRPage::TopMarginIndex));
    const long double left = whole(pageNative(report::TBRPage::LeftMarginIndex));
    const long double bottomLine = top + (TRapForm::rowsPerColumn - 1) * whole(height) + height +
                                   report::TBRCustomBand::FrameOverhang;
    const long double rightLine = left + (TRapForm::columnsPerPage - 1) * whole(width) + width;
    return {toMm(pageNative(report::TBRPage::TopMarginIndex)),
            toMm(pageNative(report::TBRPage::LeftMarginIndex)),
            toMm(pageNative(report::TBRPage::LengthIndex) - bottomLine),
            toMm(pageNative(report::TBRPage::WidthIndex) - rightLine)};
}

OuterLines CalibrationTargets()
{
    const OuterLines exact = OuterCuttingLines(kStandardMargins);
    return {tenth(exact.top), tenth(exact.left), tenth(exact.bottom), tenth(exact.right)};
}

Margins CorrectedMargins(const Margins &current, const MeasuredLines &measured,
                         const OuterLines &targets)
{
    return {corrected(current.top, measured.top, targets.top),
            corrected(current.left, measured.left, targets.left),
            corrected(current.bottom, measured.bottom, targets.bottom),
            corrected(current.right, measured.right, targets.right)};
}

std::string millimetreText(double mm)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", tenth(mm) == 0.0 ? 0.0 : tenth(mm));
    std::string result = text;
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

} // namespace tilesheet
