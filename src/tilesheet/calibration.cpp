#include "tilesheet/calibration.h"

#include "platform/length.h"
#include "platform/rounding.h"
#include "tilesheet/rapform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tilesheet {
namespace {

using platform::TLength;

double toMm(TLength length) { return static_cast<double>(length.mm()); }

double clampMargin(double mm) { return std::clamp(mm, -kMarginLimitMm, kMarginLimitMm); }

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
    const auto pageLength = [&page](int index) { return page.LengthAt(index); };
    const TLength height = sheet.BrikDetail.Size.LengthAt(report::TBRBandSize::HeightIndex);
    const TLength width = sheet.BrikDetail.Size.LengthAt(report::TBRBandSize::WidthIndex);
    const auto whole = [](TLength v) { return TLength::fromNative(v.roundedNative()); };
    // The run starts a page at the rounded margins and advances by the rounded band height down
    // a column and by the rounded band width across; the last band's frame ends its own size
    // (and the overhang) further on.
    const TLength top = whole(pageLength(report::TBRPage::TopMarginIndex));
    const TLength left = whole(pageLength(report::TBRPage::LeftMarginIndex));
    const TLength bottomLine = top + (TRapForm::rowsPerColumn - 1) * whole(height) + height +
                               report::TBRCustomBand::FrameOverhang;
    const TLength rightLine = left + (TRapForm::columnsPerPage - 1) * whole(width) + width;
    return {toMm(pageLength(report::TBRPage::TopMarginIndex)),
            toMm(pageLength(report::TBRPage::LeftMarginIndex)),
            toMm(pageLength(report::TBRPage::LengthIndex) - bottomLine),
            toMm(pageLength(report::TBRPage::WidthIndex) - rightLine)};
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
