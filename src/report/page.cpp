#include "report/page.h"

#include "platform/rounding.h"
#include "report/customreport.h"

namespace report {

namespace {
constexpr long double newPageMarginMM = 10.0L;
} // namespace

TBRPage::TBRPage(int resolution)
    : TBRUnitBase(resolution, std::vector<long double>(lengthCount, 0.0L),
                  {false, false, false, true, true, true, true})
{
    SetPaperSize(TBRPaperSize::A4);
    SetTopMargin(newPageMarginMM);
    SetBottomMargin(newPageMarginMM);
    SetLeftMargin(newPageMarginMM);
    SetRightMargin(newPageMarginMM);
}

void TBRPage::SetReport(TCustomBandReport *report)
{
    report_ = report;
    SetParentReport(report);
}

void TBRPage::SetValue(int index, long double value)
{
    if (index < 0 || index >= lengthCount)
        return;
    const long double native = ToNativeAt(index, value);
    if ((index == LengthIndex || index == WidthIndex) && paperSize_ != TBRPaperSize::Custom)
        return;
    StoreNative(index, native);
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
    SaveUnits(TBRUnit::MM);
    paperSize_ = TBRPaperSize::Custom;
    if (orientation_ == TBROrientation::poPortrait) {
        SetWidth(dimensions->WidthMM);
        SetLength(dimensions->LengthMM);
    } else {
        SetWidth(dimensions->LengthMM);
        SetLength(dimensions->WidthMM);
    }
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

void TBRPage::SetValues(const std::vector<long double> &values)
{
    TBRUnitBase::SetValues(values);
    UpdateParent();
}

void TBRPage::arrange()
{
    if (report_ != nullptr)
        report_->ArrangeBands();
}

} // namespace report
