// The report run: the data loop's surroundings, the placement of bands down a column, across
// the columns and on to new pages, and the page output the pages go to.
#include "output/brprinter.h"
#include "platform/rounding.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/printable.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <utility>

namespace report {

namespace {
using platform::TLength;

long long rounded(TLength length) { return length.roundedNative(); }

// True while a detail band's space check, or a band re-started on a new column, is starting a
// new column or page; every band print clears it when it ends. One flag for the whole process,
// as the engine has always kept it; atomic because a preview runs on a thread of its own.
std::atomic<bool> pageStarting{false};

bool isPageBoundType(TBRBandType type)
{
    return type == TBRBandType::rbTitle || type == TBRBandType::rbPageHeader ||
           type == TBRBandType::rbPageFooter || type == TBRBandType::rbOverlay;
}

// Where the unfinished labels of a band stand in their lines.
std::vector<int> unfinishedLineCursors(const TBRCustomBand &band)
{
    std::vector<int> cursors;
    for (const TBRPrintable *control : band.Controls())
        if (!control->PrintFinished)
            if (const auto *label = dynamic_cast<const TBRCustomLabel *>(control))
                cursors.push_back(label->LineCursor());
    return cursors;
}

// Switches the report to native units for the life of the guard.
class NativeUnits {
public:
    explicit NativeUnits(TCustomBandReport &report) : report_(report)
    {
        report_.SaveUnits(TBRUnit::Native);
    }
    ~NativeUnits() { report_.RestoreUnits(); }
    NativeUnits(const NativeUnits &) = delete;
    NativeUnits &operator=(const NativeUnits &) = delete;

private:
    TCustomBandReport &report_;
};
} // namespace

long long TCustomBandReport::AvailableSpace() const
{
    if (available_ || currentY_ == -1)
        return 0;
    return rounded(paperLength() - Page.LengthAt(TBRPage::BottomMarginIndex) - pageFooterTotal_ -
                   TLength::fromNative(currentY_));
}

TLength TCustomBandReport::paperLength() const
{
    const output::TPrinterSettings &settings = pageOutput_->Settings();
    // A custom paper is taken as the page gives it, already turned.
    if (settings.PaperSize() == output::paperCustom)
        return TLength::fromNative(settings.CustomLength);
    return TLength::fromNative(settings.PaperLength());
}

bool TCustomBandReport::outputCancelled() const
{
    return cancelled_ || (pageOutput_ != nullptr && pageOutput_->Cancelled());
}

void TCustomBandReport::processMessages() const
{
    // On a preview's run thread there is no event loop, and this does nothing.
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

void TCustomBandReport::Cancel()
{
    if (available_)
        return;
    cancelled_ = true;
    if (pageOutput_ != nullptr)
        pageOutput_->CancelJob();
}

void TCustomBandReport::SetPageOutput(std::unique_ptr<output::TBRPrinter> output)
{
    if (!available_)
        return;
    pageOutput_ = std::move(output);
    SetPageTarget(pageOutput_.get());
}

std::unique_ptr<output::TBRPrinter> TCustomBandReport::TakePageOutput()
{
    if (!available_)
        return nullptr;
    SetPageTarget(nullptr);
    return std::move(pageOutput_);
}

void TCustomBandReport::RunReport()
{
    if (!available_)
        return;
    // Margins that leave no room are dropped, in the page's own units.
    if (Page.Width() - Page.LeftMargin() - Page.RightMargin() < 0) {
        Page.SetLeftMargin(0);
        Page.SetRightMargin(0);
    }
    if (Page.Length() - Page.TopMargin() - Page.BottomMargin() < 0) {
        Page.SetTopMargin(0);
        Page.SetBottomMargin(0);
    }
    available_ = false;
    cancelled_ = stopRequested_.load();
    titlePrinted_ = false;
    firstForcedColumn_ = false;
    lastPage_ = false;
    if (pageOutput_ == nullptr)
        pageOutput_ = makePageOutput();
    SetPageTarget(pageOutput_.get());
    // A preview gave its page output the printer values before this run's thread started.
    const bool valuesGiven = std::exchange(outputValuesGivenTo_, nullptr) == pageOutput_.get();

    bool printReport = true;
    bool jobStarted = false;
    const auto endJob = [this, &jobStarted] {
        if (!jobStarted)
            return;
        if (cancelled_)
            pageOutput_->AbortJob();
        else
            pageOutput_->FinishJob();
    };
    // A failing run still ends its job; the report then stays unavailable, so it is not run
    // again. The run's own failure is the one reported: one from ending the job after it is
    // dropped, as an exception cannot leave the guard while another is on its way.
    auto endFailedJob = qScopeGuard([&endJob] {
        try {
            endJob();
        } catch (...) {
        }
    });
    if (BeforePrint)
        BeforePrint(*this, printReport);
    if (printReport) {
        const NativeUnits native(*this);
        if (!valuesGiven)
            giveOutputPrinterValues();
        pageOutput_->StartJob();
        jobStarted = true;
        runBody();
    }
    endFailedJob.dismiss();
    endJob();
    available_ = true;
}

void TCustomBandReport::selectReportPrinter()
{
    if (pageOutput_->HasPrinters() && !PrinterSettings.UseStandardprinter)
        pageOutput_->SelectPrinter(PrinterSettings.PrinterIndex);
}

void TCustomBandReport::giveOutputPrinterValues()
{
    // The report's own printer, with its driver's defaults, unless it prints on the standard
    // printer as that stands. The system printer belongs to the user-interface thread: a
    // recording run (a preview's, on its own thread) finds it selected by Preview.
    if (pageOutput_->DrawsToPrinter())
        selectReportPrinter();
    output::TPrinterSettings &settings = pageOutput_->Settings();
    const int paper = static_cast<int>(Page.PaperSize());
    settings.SetPaperSize(paper);
    if (settings.PaperSize() == output::paperCustom) {
        settings.CustomWidth = static_cast<int>(Page.LengthAt(TBRPage::WidthIndex).roundedNative());
        settings.CustomLength =
            static_cast<int>(Page.LengthAt(TBRPage::LengthIndex).roundedNative());
    }
    settings.SetOrientation(Page.Orientation() == TBROrientation::poLandscape
                                ? output::TOrientation::Landscape
                                : output::TOrientation::Portrait);
    settings.SetJobOptions(PrinterSettings);
    pageOutput_->Title = ReportTitle;
    pageOutput_->Compression = Options.Compression;
}

TLength TCustomBandReport::computePageFooterTotal() const
{
    TLength total;
    for (TBRCustomBand *band : BandList()) {
        if (band->BandType() != TBRBandType::rbPageFooter || !band->Enabled())
            continue;
        for (TBRCustomBand *b = band; b != nullptr; b = b->ChildBand())
            total += b->Size.LengthAt(TBRBandSize::HeightIndex);
    }
    return total;
}

void TCustomBandReport::runBody()
{
    currentY_ = -1;
    pageNumber_ = 0;
    currentColumn_ = Page.Columns();
    pageFooterTotal_ = computePageFooterTotal();
    for (TBRPrintable *control : AllControls())
        control->SetParentReport(this);
    currentX_ = rounded(Page.LengthAt(TBRPage::LeftMarginIndex));

    controller_.Prepare();
    Environment.Set(envPageNumber, "0");
    Environment.Set(envColumnNumber, "0");
    Environment.Set(envReportTitle, "'" + ReportTitle + "'");
    const std::vector<TBRPrintable *> controls = AllControls();
    for (TBRPrintable *control : controls)
        control->BeginPrinting();

    controller_.DetailBand = FirstBand(TBRBandType::rbDetail);
    controller_.HeaderBand = FirstBand(TBRBandType::rbTitle);
    controller_.FooterBand = FirstBand(TBRBandType::rbSummary);
    controller_.OnNeedData = OnNeedData;
    controller_.PrintIfEmpty = PrintIfEmpty;
    controller_.Execute();

    currentX_ = rounded(Page.LengthAt(TBRPage::LeftMarginIndex));
    lastPage_ = true;
    if (!cancelled_)
        FinishPage();

    for (TBRPrintable *control : controls)
        control->EndPrinting();
    controller_.Unprepare();
}

void TCustomBandReport::OutputBand(TBRCustomBand *band)
{
    if (band == nullptr)
        return;
    if (band->AlignToBottom)
        alignToBottom(*band);
    printBand(*band);
}

void TCustomBandReport::alignToBottom(TBRCustomBand &band)
{
    if (band.BandType() == TBRBandType::rbSummary && !Options.LastPageFooter)
        pageFooterTotal_ = {};
    const TLength p = paperLength();
    const TLength h = band.Size.LengthAt(TBRBandSize::HeightIndex);
    const TLength bottom = Page.LengthAt(TBRPage::BottomMarginIndex);
    if (p - TLength::fromNative(currentY_) >=
        TLength::fromNative(rounded(h + bottom + pageFooterTotal_)))
        currentY_ = rounded(p) - rounded(h) - rounded(bottom + pageFooterTotal_);
}

void TCustomBandReport::printBand(TBRCustomBand &band)
{
    bool printBand = band.Enabled();
    if (band.Enabled() && band.BeforePrint)
        band.BeforePrint(band, printBand);
    if (printBand) {
        const TBRBandType type = band.EffectiveType();
        if (band.ForceNewPage && !pageStarting && !isPageBoundType(type) && pageNumber_ > 0) {
            forceNewPage();
            pageStarting = false;
        } else if (band.ForceNewColumn && !isPageBoundType(type) && pageNumber_ > 0) {
            forceNewColumn();
        } else {
            spaceCheck(band);
        }
        if (band.KeepOnOnePage && band.PrecalculatedHeight > AvailableSpace())
            StartNewColumn();

        const TLength height = band.Size.LengthAt(TBRBandSize::HeightIndex);
        band.Draw(currentX_, currentY_);
        std::vector<int> lastCursors;
        while (!band.ControlsFinished()) {
            // A stretching control goes on in the next column. One whose next line is taller
            // than a whole column would begin pages for ever: it ends where it is.
            const std::vector<int> before = unfinishedLineCursors(band);
            if (!before.empty() && before == lastCursors) {
                for (TBRPrintable *control : band.Controls())
                    control->PrintFinished = true;
                break;
            }
            lastCursors = before;
            pageStarting = true;
            StartNewColumn();
            pageStarting = false;
            if (band.Size.LengthAt(TBRBandSize::HeightIndex) != height)
                band.Size.SetHeight(height.native());
            band.Expanded = 0;
            band.DrawUnfinished(currentX_, currentY_);
        }
        if (band.Bounds().Height != 0)
            currentY_ += rounded(band.Size.LengthAt(TBRBandSize::HeightIndex) +
                                 TLength::fromNative(band.Expanded));
        if (band.Size.LengthAt(TBRBandSize::HeightIndex) != height)
            band.Size.SetHeight(height.native());
    }
    if (band.AfterPrint)
        band.AfterPrint(band, printBand);
    if (band.ChildBand() != nullptr)
        OutputBand(band.ChildBand());
    pageStarting = false;
}

void TCustomBandReport::spaceCheck(TBRCustomBand &band)
{
    const long long h = rounded(band.Size.LengthAt(TBRBandSize::HeightIndex));
    const TLength printableHeight =
        Page.LengthAt(TBRPage::LengthIndex) -
        (Page.LengthAt(TBRPage::TopMarginIndex) + Page.LengthAt(TBRPage::BottomMarginIndex));
    // A band taller than the printable height never waits for a better place.
    const bool fits = band.EffectiveType() == TBRBandType::rbPageFooter || AvailableSpace() >= h ||
                      TLength::fromNative(h) > printableHeight;
    if (fits && pageNumber_ != 0) {
        if (band.BandType() == TBRBandType::rbDetail)
            pageStarting = false;
        return;
    }
    pageStarting = band.BandType() == TBRBandType::rbDetail;
    StartNewColumn();
}

long long TCustomBandReport::columnPitch() const
{
    if (const TBRCustomBand *detail = FirstBand(TBRBandType::rbDetail))
        return rounded(detail->Size.LengthAt(TBRBandSize::WidthIndex));
    const int columns = Page.Columns();
    const long long space = rounded(Page.LengthAt(TBRPage::ColumnSpaceIndex));
    return (rounded(Page.LengthAt(TBRPage::WidthIndex) -
                    (Page.LengthAt(TBRPage::LeftMarginIndex) +
                     Page.LengthAt(TBRPage::RightMarginIndex))) -
            space * (columns - 1)) /
           columns;
}

void TCustomBandReport::StartNewColumn()
{
    if (currentColumn_ >= Page.Columns()) {
        currentColumn_ = 1;
        currentX_ = rounded(Page.LengthAt(TBRPage::LeftMarginIndex));
        StartNewPage();
    } else {
        currentX_ += rounded(Page.LengthAt(TBRPage::ColumnSpaceIndex)) + columnPitch();
        currentY_ = columnTop_;
        ++currentColumn_;
    }
    Environment.Set(envColumnNumber, std::to_string(currentColumn_));
    if (!(currentColumn_ == 1 && pageNumber_ == 1))
        OutputBand(FirstBand(TBRBandType::rbColumnHeader));
}

void TCustomBandReport::StartNewPage()
{
    FinishPage();
    ++pageNumber_;
    Environment.Set(envPageNumber, std::to_string(pageNumber_));
    pageOutput_->NewPage();
    currentY_ = rounded(Page.LengthAt(TBRPage::TopMarginIndex));
    if (OnStartPage)
        OnStartPage(*this);
    if (pageNumber_ > 1 || Options.FirstPageHeader)
        OutputBand(FirstBand(TBRBandType::rbPageHeader));
    columnTop_ = currentY_;
    if (pageNumber_ == 1)
        if (const TBRCustomBand *title = FirstBand(TBRBandType::rbTitle))
            columnTop_ += rounded(title->Size.LengthAt(TBRBandSize::HeightIndex));
}

void TCustomBandReport::FinishPage()
{
    if (pageNumber_ <= 0)
        return;
    currentY_ = rounded(Page.LengthAt(TBRPage::LengthIndex) -
                        Page.LengthAt(TBRPage::BottomMarginIndex) - pageFooterTotal_);
    currentX_ = rounded(Page.LengthAt(TBRPage::LeftMarginIndex));
    if (!(lastPage_ && !Options.LastPageFooter))
        OutputBand(FirstBand(TBRBandType::rbPageFooter));
    for (TBRPrintable *control : std::vector<TBRPrintable *>(Controls()))
        control->PrintControl(0, 0);
    PaintReportFrame();
    if (OnEndPage)
        OnEndPage(*this);
}

void TCustomBandReport::forceNewPage()
{
    if (available_)
        return;
    if (titlePrinted_) {
        titlePrinted_ = false; // the title or column header just printed starts this page
        return;
    }
    do {
        StartNewColumn();
    } while (currentColumn_ != 1);
}

void TCustomBandReport::forceNewColumn()
{
    if (available_)
        return;
    if (firstForcedColumn_ || currentColumn_ > 1)
        StartNewColumn();
    else
        firstForcedColumn_ = true;
}

} // namespace report
