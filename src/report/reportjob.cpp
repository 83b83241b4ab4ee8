// The start of a run: the page output it draws into, the job around it and the report's
// availability; the run itself is the report's TBRReportRun.
#include "output/brprinter.h"
#include "report/customreport.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <utility>

namespace report {

namespace {
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

// Margins that leave no room are dropped, in the page's own units.
void dropMarginsWithoutRoom(TBRPage &page)
{
    if (page.Width() - page.LeftMargin() - page.RightMargin() < 0) {
        page.SetLeftMargin(0);
        page.SetRightMargin(0);
    }
    if (page.Length() - page.TopMargin() - page.BottomMargin() < 0) {
        page.SetTopMargin(0);
        page.SetBottomMargin(0);
    }
}
} // namespace

long long TCustomBandReport::AvailableSpace() const { return available_ ? 0 : run_.SpaceLeft(); }

void TCustomBandReport::OutputBand(TBRCustomBand *band) { run_.OutputBand(band); }
void TCustomBandReport::StartNewColumn() { run_.StartNewColumn(); }
void TCustomBandReport::StartNewPage() { run_.StartNewPage(); }
void TCustomBandReport::FinishPage() { run_.FinishPage(); }

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
    dropMarginsWithoutRoom(Page);
    available_ = false;
    cancelled_ = stopRequested_.load();
    run_.Prepare();
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
        run_.Execute();
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

} // namespace report
