#include "report/band.h"

#include "output/pagetarget.h"
#include "report/customreport.h"
#include "report/printable.h"

namespace report {

using platform::TLength;

TBRCustomBand::TBRCustomBand() : Size(*this) { bounds_.Height = newBandPixelHeight; }

TBRCustomBand::~TBRCustomBand()
{
    if (childBand_ != nullptr)
        childBand_->parentBand_ = nullptr;
    if (parentBand_ != nullptr)
        parentBand_->childBand_ = nullptr;
    for (TBRPrintable *control : std::vector<TBRPrintable *>(controls_))
        control->SetParent(nullptr);
    SetParent(nullptr);
}

void TBRCustomBand::SetBandType(TBRBandType type)
{
    bandType_ = type;
    if (report_ != nullptr)
        report_->BandsChanged();
}

TBRBandType TBRCustomBand::EffectiveType() const
{
    const TBRCustomBand *band = this;
    while (band->bandType_ == TBRBandType::rbChild && band->parentBand_ != nullptr)
        band = band->parentBand_;
    return band->bandType_;
}

void TBRCustomBand::SetChildBand(TBRCustomBand *child)
{
    if (childBand_ != nullptr)
        childBand_->parentBand_ = nullptr;
    childBand_ = child;
    if (child != nullptr)
        child->parentBand_ = this;
    if (report_ != nullptr)
        report_->BandsChanged();
}

void TBRCustomBand::SetParent(TBRBasePanel *parent)
{
    // Bands are always direct children of the report.
    TCustomBandReport *report = parent != nullptr ? parent->ParentReport() : nullptr;
    if (report == report_)
        return;
    if (report_ != nullptr)
        leaveReport();
    if (report != nullptr)
        joinReport(report);
}

void TBRCustomBand::joinReport(TCustomBandReport *report)
{
    report_ = report;
    if (report->Loading())
        loading_ = true;
    report->AddBand(this);
    Size.SetParentReport(report);
    for (TBRPrintable *control : controls_)
        control->SetParentReport(report);
    SetZoom(report->Zoom());
}

void TBRCustomBand::leaveReport()
{
    TCustomBandReport *report = report_;
    report_ = nullptr;
    Size.SetParentReport(nullptr);
    for (TBRPrintable *control : controls_)
        control->SetParentReport(nullptr);
    report->RemoveBand(this);
}

void TBRCustomBand::SetZoom(int zoom)
{
    zoom_ = zoom;
    Size.SetZoom(zoom);
    for (TBRPrintable *control : controls_)
        control->SetZoom(zoom);
    Size.UpdateParent();
}

void TBRCustomBand::SetBounds(int left, int top, int width, int height)
{
    if (Size.ParentUpdating()) {
        // The band's own size push: taken as it is.
        bounds_ = {left, top, width, height};
        if (report_ != nullptr && !BeingPlaced)
            report_->ArrangeBands();
        realignControls();
        return;
    }
    if (report_ == nullptr || loading_) {
        bounds_ = {left, top, width, height};
        if (loading_ && !BeingPlaced)
            StreamPixelHeight = height;
        return;
    }
    // Bounds from outside: the height becomes a whole number of pixels; a width given here is
    // ignored, only Size.Width (set by the band layout) changes it.
    Size.SaveUnits(TBRUnit::Pixels);
    if (Size.Height() != height)
        Size.SetHeight(height);
    if (left != bounds_.Left || top != bounds_.Top) {
        bounds_.Left = left;
        bounds_.Top = top;
        if (!BeingPlaced)
            report_->ArrangeBands();
    }
    Size.RestoreUnits();
}

void TBRCustomBand::realignControls()
{
    for (TBRPrintable *control : controls_)
        if (control->AlignToBand())
            control->BandBoundsChanged();
}

void TBRCustomBand::Loaded()
{
    loading_ = false;
    Size.Loaded();
}

void TBRCustomBand::Draw(long double x, long double y)
{
    output::TBRPageTarget *target = report_ != nullptr ? report_->PageTarget() : nullptr;
    if (target == nullptr)
        return;
    const TLength left = TLength::fromNative(x);
    const TLength top = TLength::fromNative(y);
    const TLength w = Size.LengthAt(TBRBandSize::WidthIndex);
    const TLength h = PreCaluculateBandHeight ? TLength::fromNative(PrecalculatedHeight)
                                              : Size.LengthAt(TBRBandSize::HeightIndex);
    if (!TransparentBand && enabled_)
        BandFrameRect = target->ToDeviceRect(left, top, left + w, top + h);
    if (bounds_.Height == 0 || !enabled_)
        return;
    platform::Canvas *canvas = target->PageCanvas();
    if (!TransparentBand && report_->Rendering && canvas != nullptr) {
        canvas->setBrush({Color, platform::TBrushStyle::bsSolid});
        canvas->fillRect(BandFrameRect);
    }
    Expanded = 0;
    for (TBRPrintable *control : std::vector<TBRPrintable *>(controls_))
        if (control->Enabled)
            control->PrintControl(x, y);
    drawFrame(left, top);
}

void TBRCustomBand::DrawUnfinished(long double x, long double y)
{
    if (report_ == nullptr || report_->PageTarget() == nullptr)
        return;
    Expanded = 0;
    for (TBRPrintable *control : std::vector<TBRPrintable *>(controls_))
        if (!control->PrintFinished)
            control->PrintControl(x, y);
    drawFrame(TLength::fromNative(x), TLength::fromNative(y));
}

bool TBRCustomBand::ControlsFinished() const
{
    for (const TBRPrintable *control : controls_)
        if (!control->PrintFinished)
            return false;
    return true;
}

void TBRCustomBand::drawFrame(TLength left, TLength top)
{
    output::TBRPageTarget &target = *report_->PageTarget();
    const TLength w = Size.LengthAt(TBRBandSize::WidthIndex);
    const TLength h = Size.LengthAt(TBRBandSize::HeightIndex);
    BandFrameRect = target.ToDeviceRect(left, top, left + w,
                                        top + h + TLength::fromNative(Expanded) + FrameOverhang);
    platform::Canvas *canvas = target.PageCanvas();
    if (report_->Rendering && canvas != nullptr)
        Frame.PaintFrame(*canvas, BandFrameRect, target.HorizontalFactor, target.VerticalFactor);
}

} // namespace report
