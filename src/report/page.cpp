#include "report/page.h"

#include "platform/rounding.h"
#include "report/customreport.h"

namespace report {

namespace {
constexpr platform::TLength newPageMargin = platform::TLength::fromMm(10);
} // namespace

TBRPage::TBRPage(int resolution)
    : TBRUnitBase(resolution, std::vector<platform::TLength>(lengthCount),
                  {false, false, false, true, true, true, true})
{
    SetPaperSize(TBRPaperSize::A4);
    // A new page is in millimetres.
    SetTopMargin(newPageMargin.mm());
    SetBottomMargin(newPageMargin.mm());
    SetLeftMargin(newPageMargin.mm());
    SetRightMargin(newPageMargin.mm());
}

void TBRPage::SetReport(TCustomBandReport *report)
{
    report_ = report;
    SetParentReport(report);
}

bool TBRPage::TakesValue(int index) const
{
    return !((index == LengthIndex || index == WidthIndex) && paperSize_ != TBRPaperSize::Custom);
}

void TBRPage::ValueSet(int index)
{
    if (index == BottomMarginIndex || index == LengthIndex || index == WidthIndex)
        UpdateParent();
    arrange();
}

void TBRPage::SetColumns(int columns)
{
    if (columns <= 0 || columns == columns_)
        return;
    columns_ = columns;
    arrange();
}

void TBRPage::SetOrientation(TBROrientation orientation)
{
    // Placing the bands again would round their heights to whole pixels once more: a sheet
    // that fits six rows might then hold five. The same orientation changes nothing.
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    SetPaperSize(paperSize_);
}

void TBRPage::SetPaperSize(TBRPaperSize size)
{
    const auto dimensions = PaperDimensions(size);
    if (!dimensions) {
        paperSize_ = size;
        return;
    }
    SaveUnits(TBRUnit::Native);
    paperSize_ = TBRPaperSize::Custom;
    const bool portrait = orientation_ == TBROrientation::poPortrait;
    SetWidth((portrait ? dimensions->Width : dimensions->Length).native());
    SetLength((portrait ? dimensions->Length : dimensions->Width).native());
    RestoreUnits();
    arrange();
    paperSize_ = size;
}

void TBRPage::UpdateParent()
{
    if (ParentUpdating() || report_ == nullptr)
        return;
    const UpdatingGuard guard(*this);
    const auto pixels = [this](int index) {
        return static_cast<int>(
            platform::roundHalfEven(FromNative(Native(index), TBRUnit::Pixels, Horizontal(index))));
    };
    const PixelBounds &b = report_->Bounds();
    report_->SetBounds(b.Left, b.Top, pixels(WidthIndex), b.Height);
    report_->SetBounds(b.Left, b.Top, b.Width, pixels(LengthIndex));
}

void TBRPage::arrange()
{
    if (report_ != nullptr)
        report_->ArrangeBands();
}

} // namespace report
