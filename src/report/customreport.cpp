#include "report/customreport.h"

#include "output/brprinter.h"
#include "output/pagetarget.h"
#include "platform/fontmetrics.h"
#include "platform/rounding.h"
#include "report/createreportthread.h"
#include "report/printable.h"
#include "report/reportwindow.h"
#include "report/services.h"

#include <algorithm>

namespace report {

namespace {
constexpr int defaultFontPoints = 10;

bool spansFullWidth(TBRBandType type)
{
    switch (type) {
    case TBRBandType::rbTitle:
    case TBRBandType::rbPageHeader:
    case TBRBandType::rbPageFooter:
    case TBRBandType::rbSummary:
    case TBRBandType::rbOverlay:
        return true;
    default:
        return false;
    }
}

int rounded(long double value) { return static_cast<int>(platform::roundHalfEven(value)); }
} // namespace

long double TBRTextMeasure::Width(std::string_view text) const
{
    if (printerCanvas_ != nullptr) {
        // Scaled to the standard screen, so that a label breaks its lines alike on the printer
        // and on the reference device.
        const int dpi = printerCanvas_->pixelsPerInchX();
        return platform::roundHalfEven(
            static_cast<long double>(printerCanvas_->textExtent(text).cx) * platform::screenDpi /
            dpi);
    }
    return reference_->width(text) + 1;
}

namespace {
TBRPaperSize defaultPrinterPaper()
{
    output::TBRPrinterDevice *device = TCustomBandReport::PrinterDevice();
    const int size = device != nullptr ? device->DefaultPaperSize() : output::paperA4;
    return PaperDimensions(static_cast<TBRPaperSize>(size)) ? static_cast<TBRPaperSize>(size)
                                                            : TBRPaperSize::A4;
}
} // namespace

TCustomBandReport::TCustomBandReport(std::optional<TBRPaperSize> paper, int resolution)
    : Page(resolution), window_(std::make_unique<TBRReportWindow>(*this))
{
    Font.Name = "Arial";
    Font.Size = defaultFontPoints;
    // Every new report starts its previews without a loaded saved file.
    TBRServicesScope::SetLoadedFile(false);
    Page.SetReport(this);
    Page.SetPaperSize(paper ? *paper : defaultPrinterPaper());
}

TCustomBandReport::~TCustomBandReport()
{
    // Nothing of the report goes while its preview's run thread can still reach it.
    StopRun();
    pageOutput_.reset();
    destroying_ = true;
    ownedControls_.clear();
    ownedBands_.clear();
    for (TBRPrintable *control : std::vector<TBRPrintable *>(controls_))
        control->SetParent(nullptr);
    for (TBRCustomBand *band : std::vector<TBRCustomBand *>(bands_))
        band->SetParent(nullptr);
}

void TCustomBandReport::SetUnits(TBRUnit units)
{
    Page.SetUnits(units);
    for (TBRCustomBand *band : bands_)
        band->Size.SetUnits(units);
    for (TBRPrintable *control : AllControls())
        control->Size.SetUnits(units);
}

void TCustomBandReport::SaveUnits(TBRUnit switchTo)
{
    Page.SaveUnits(switchTo);
    for (TBRCustomBand *band : bands_)
        band->Size.SaveUnits(switchTo);
    for (TBRPrintable *control : AllControls())
        control->Size.SaveUnits(switchTo);
}

void TCustomBandReport::RestoreUnits()
{
    Page.RestoreUnits();
    for (TBRCustomBand *band : bands_)
        band->Size.RestoreUnits();
    for (TBRPrintable *control : AllControls())
        control->Size.RestoreUnits();
}

void TCustomBandReport::SetZoom(int zoom)
{
    if (zoom < minZoom || zoom > maxZoom)
        return;
    zoom_ = zoom;
    for (TBRPrintable *control : controls_)
        control->SetZoom(zoom);
    for (TBRCustomBand *band : bands_)
        band->SetZoom(zoom);
    Page.SetZoom(zoom);
    Page.UpdateParent();
    ArrangeBands();
}

void TCustomBandReport::SetBounds(int left, int top, int width, int height)
{
    const PixelBounds old = bounds_;
    bounds_ = {left, top, width, height};
    if (!Page.ParentUpdating() && !loading_ && Page.PaperSize() == TBRPaperSize::Custom &&
        (width != old.Width || height != old.Height)) {
        Page.SaveUnits(TBRUnit::Pixels);
        Page.SetWidth(width);
        Page.SetLength(height);
        Page.RestoreUnits();
    }
    if (!(bounds_ == old))
        ArrangeBands();
}

TBRCustomBand *TCustomBandReport::FirstBand(TBRBandType type) const
{
    for (TBRCustomBand *band : bandOrder_)
        if (band->BandType() == type)
            return band;
    return nullptr;
}

void TCustomBandReport::ArrangeBands()
{
    if (loading_ || destroying_ || arranging_)
        return;
    arranging_ = true;
    SaveUnits(TBRUnit::Pixels);
    const int available = bounds_.Width - rounded(Page.LeftMargin() + Page.RightMargin());
    const int columns = Page.Columns();
    const int columnWidth = (available - rounded(Page.ColumnSpace()) * (columns - 1)) / columns;
    const int left = rounded(Page.LeftMargin());
    int top = rounded(Page.TopMargin());
    for (TBRCustomBand *band : std::vector<TBRCustomBand *>(bandOrder_)) {
        band->BeingPlaced = true;
        const PixelBounds &b = band->Bounds();
        band->SetBounds(left, b.Top, b.Width, b.Height);
        band->SetBounds(left, top, b.Width, b.Height);
        band->Size.SetWidth(spansFullWidth(band->EffectiveType()) ? available : columnWidth);
        band->BeingPlaced = false;
        top += band->Bounds().Height;
    }
    RestoreUnits();
    arranging_ = false;
}

void TCustomBandReport::BeginLoading()
{
    loading_ = true;
    for (TBRCustomBand *band : bands_)
        band->BeginLoading();
    for (TBRPrintable *control : AllControls())
        control->BeginLoading();
}

void TCustomBandReport::EndLoading()
{
    if (!loading_)
        return;
    Loaded();
    for (TBRCustomBand *band : std::vector<TBRCustomBand *>(bandOrder_))
        if (band->Loading())
            band->Loaded();
    for (TBRPrintable *control : AllControls())
        if (control->Loading())
            control->Loaded();
}

void TCustomBandReport::Loaded()
{
    loading_ = false;
    Page.UpdateParent();
    ArrangeBands();
}

TBRTextMeasure TCustomBandReport::Measure(const platform::TFont &font) const
{
    platform::Canvas *printerCanvas = nullptr;
    if (pageTarget_ != nullptr && pageTarget_->DrawsToPrinter() &&
        pageTarget_->PageCanvas() != nullptr) {
        printerCanvas = pageTarget_->PageCanvas();
        printerCanvas->setFont(font);
    }
    return TBRTextMeasure(platform::fontMetrics(font, ReferenceResolution()), printerCanvas);
}

platform::TSize TCustomBandReport::ReferenceTextExtent(const platform::TFont &font,
                                                       std::string_view text) const
{
    return platform::fontMetrics(font, ReferenceResolution()).extent(text);
}

void TCustomBandReport::PaintReportFrame()
{
    if (pageTarget_ == nullptr || !Rendering || pageTarget_->PageCanvas() == nullptr)
        return;
    const auto length = [this](int index) { return Page.LengthAt(index); };
    const output::TBRPageTarget &t = *pageTarget_;
    const platform::TRect rect =
        t.ToDeviceRect(length(TBRPage::LeftMarginIndex), length(TBRPage::TopMarginIndex),
                       length(TBRPage::WidthIndex) - length(TBRPage::RightMarginIndex),
                       length(TBRPage::LengthIndex) - length(TBRPage::BottomMarginIndex));
    Frame.PaintFrame(*pageTarget_->PageCanvas(), rect, t.HorizontalFactor, t.VerticalFactor);
}

TBRBand &TCustomBandReport::CreateBand(TBRBandType type)
{
    auto band = std::make_unique<TBRBand>();
    TBRBand &result = *band;
    ownedBands_.push_back(std::move(band));
    result.SetBandType(type);
    result.SetParent(this);
    return result;
}

void TCustomBandReport::DestroyBand(TBRCustomBand *band)
{
    if (band == nullptr)
        return;
    const auto owned = std::find_if(ownedBands_.begin(), ownedBands_.end(),
                                    [band](const auto &b) { return b.get() == band; });
    if (owned != ownedBands_.end())
        ownedBands_.erase(owned);
    else
        band->SetParent(nullptr);
}

std::vector<TBRPrintable *> TCustomBandReport::AllControls() const
{
    std::vector<TBRPrintable *> all;
    for (TBRCustomBand *band : bandOrder_)
        all.insert(all.end(), band->Controls().begin(), band->Controls().end());
    all.insert(all.end(), controls_.begin(), controls_.end());
    return all;
}

void TCustomBandReport::AddBand(TBRCustomBand *band)
{
    bands_.push_back(band);
    BandsChanged();
}

void TCustomBandReport::RemoveBand(TBRCustomBand *band)
{
    bands_.erase(std::remove(bands_.begin(), bands_.end(), band), bands_.end());
    BandsChanged();
}

void TCustomBandReport::BandsChanged()
{
    rebuildBandOrder();
    ArrangeBands();
}

void TCustomBandReport::rebuildBandOrder()
{
    static constexpr TBRBandType order[] = {TBRBandType::rbPageHeader,   TBRBandType::rbTitle,
                                            TBRBandType::rbColumnHeader, TBRBandType::rbDetail,
                                            TBRBandType::rbSummary,      TBRBandType::rbPageFooter};
    bandOrder_.clear();
    const auto place = [this](TBRCustomBand *band) {
        // A band and its chain of child bands.
        for (TBRCustomBand *b = band; b != nullptr; b = b->ChildBand()) {
            if (std::find(bands_.begin(), bands_.end(), b) == bands_.end() ||
                std::find(bandOrder_.begin(), bandOrder_.end(), b) != bandOrder_.end())
                break;
            bandOrder_.push_back(b);
        }
    };
    const auto isChild = [](const TBRCustomBand *b) {
        return b->BandType() == TBRBandType::rbChild && b->ParentBand() != nullptr;
    };
    for (TBRBandType type : order)
        for (TBRCustomBand *band : bands_)
            if (band->BandType() == type && !isChild(band))
                place(band);
    for (TBRCustomBand *band : bands_)
        if (!isChild(band))
            place(band);
    for (TBRCustomBand *band : bands_) // children whose parent is in no report
        place(band);
}

} // namespace report
