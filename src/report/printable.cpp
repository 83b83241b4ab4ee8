#include "report/printable.h"

#include "output/pagetarget.h"
#include "report/customreport.h"

namespace report {

TBRPrintable::TBRPrintable() : Size(*this) {}

TBRPrintable::~TBRPrintable() { SetParent(nullptr); }

void TBRPrintable::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    if (alignToBand_)
        AlignToBandNow();
}

void TBRPrintable::SetAlignToBand(bool align)
{
    alignToBand_ = align;
    if (alignToBand_)
        AlignToBandNow();
}

void TBRPrintable::SetBounds(int left, int top, int width, int height)
{
    if (Size.ParentUpdating()) {
        bounds_ = {left, top, width, height};
        return;
    }
    if (loading_) {
        bounds_ = {left, top, width, height};
        const auto keep = [](int value, int &loaded) {
            if (value != 0)
                loaded = value;
        };
        keep(left, loadedBounds_.Left);
        keep(top, loadedBounds_.Top);
        keep(width, loadedBounds_.Width);
        keep(height, loadedBounds_.Height);
        return;
    }
    bounds_ = {left, top, width, height};
    Size.TakePixels(left, top, width, height);
    if (alignToBand_)
        AlignToBandNow();
}

void TBRPrintable::SetParent(TBRBasePanel *parent)
{
    if (parent == parent_)
        return;
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->AddControl(this);
        TCustomBandReport *report = parent_->ParentReport();
        if (report != nullptr && report->Loading())
            loading_ = true;
        SetParentReport(report);
        if (report != nullptr)
            SetZoom(report->Zoom());
        ParentChanged();
    } else {
        SetParentReport(nullptr);
    }
}

void TBRPrintable::SetParentReport(TCustomBandReport *report)
{
    parentReport_ = report;
    Size.SetParentReport(report);
}

TBRBasePanel *TBRPrintable::ParentBand() const
{
    return parent_ != nullptr && parent_->IsBand() ? parent_ : nullptr;
}

void TBRPrintable::SetZoom(int zoom)
{
    Size.SetZoom(zoom);
    Size.UpdateParent();
}

void TBRPrintable::Loaded()
{
    loading_ = false;
    Size.Loaded();
    PixelBounds b = bounds_;
    const auto fallBack = [](int &value, int loaded) {
        if (value == 0 && loaded != 0)
            value = loaded;
    };
    fallBack(b.Left, loadedBounds_.Left);
    fallBack(b.Top, loadedBounds_.Top);
    fallBack(b.Width, loadedBounds_.Width);
    fallBack(b.Height, loadedBounds_.Height);
    bounds_ = b;
}

void TBRPrintable::AlignToBandNow()
{
    if (!alignToBand_ || aligning_ || parent_ == nullptr)
        return;
    aligning_ = true;
    const int bandWidth = parent_->Bounds().Width;
    switch (alignment_) {
    case TAlignment::taLeftJustify:
        SetLeft(0);
        break;
    case TAlignment::taRightJustify:
        if (parent_->IsBand())
            SetLeft(bandWidth - bounds_.Width);
        break;
    case TAlignment::taCenter:
        if (parent_->IsBand())
            SetLeft((bandWidth - bounds_.Width) / 2);
        break;
    }
    aligning_ = false;
}

void TBRPrintable::BeginPrinting()
{
    printing_ = true;
    printer_ = parentReport_ != nullptr ? parentReport_->PageTarget() : nullptr;
}

bool TBRPrintable::Drawing() const
{
    return parentReport_ != nullptr && parentReport_->Rendering && printer_ != nullptr &&
           printer_->PageCanvas() != nullptr;
}

void TBRPrintable::PrintControl(long double offsetX, long double offsetY)
{
    if (!MayPrint() || !Drawing() || !Frame.AnySide())
        return;
    using platform::TLength;
    const TLength left = Size.LengthAt(TBRPrintableSize::LeftIndex) + TLength::fromNative(offsetX);
    const TLength top = Size.LengthAt(TBRPrintableSize::TopIndex) + TLength::fromNative(offsetY);
    const TLength width = Size.LengthAt(TBRPrintableSize::WidthIndex);
    const TLength height = Size.LengthAt(TBRPrintableSize::HeightIndex);
    output::TBRPageTarget &t = *printer_;
    Frame.PaintFrame(*t.PageCanvas(), t.ToDeviceRect(left, top, left + width, top + height),
                     t.HorizontalFactor, t.VerticalFactor);
}

} // namespace report
