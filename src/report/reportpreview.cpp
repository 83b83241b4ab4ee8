// Preview: the run on a thread of its own into a recording page output, handed to the preview
// window while it runs, and the release of that page output when the window closes.
#include "output/brprinter.h"
#include "output/export/exportfilter.h"
#include "report/createreportthread.h"
#include "report/customreport.h"
#include "report/reportwindow.h"
#include "report/services.h"

namespace report {

output::TBRReportLink *TCustomBandReport::Link() const { return window_.get(); }

std::unique_ptr<output::TBRPrinter>
TCustomBandReport::makePageOutput(output::TBRPrinterDevice *device)
{
    output::TPrinterSettings settings;
    settings.MemoryLimit = PrinterSettings.MemoryLimit;
    settings.UseStandardprinter = PrinterSettings.UseStandardprinter;
    auto made = std::make_unique<output::TBRPrinter>(settings, device);
    if (pageOutput_ != nullptr)
        made->SetClient(pageOutput_->Client());
    made->OnAfterPreview = [this] {
        if (AfterPreview)
            AfterPreview(*this);
    };
    made->OnAfterPrint = [this] {
        if (AfterPrint)
            AfterPrint(*this);
    };
    // The report behind the pages: the page output's and the preview's print commands ask it
    // to print itself.
    made->ReportLink = window_.get();
    made->ProgressProvider = TBRServicesScope::Current().Progress;
    made->ProgressOwner = ProgressOwner;
    made->PagePaper = [this] {
        return std::pair{Page.LengthAt(TBRPage::WidthIndex), Page.LengthAt(TBRPage::LengthIndex)};
    };
    return made;
}

void TCustomBandReport::runThreadBody()
{
    try {
        RunReport();
    } catch (...) {
        runFailure_ = std::current_exception(); // ends the thread; read after it has ended
    }
    std::unique_ptr<output::TBRPrinter> released;
    {
        const std::lock_guard lock(previewMutex_);
        threadActive_ = false;
        // The window closed during the run and left the page output to this thread.
        if (previewClosed_) {
            SetPageTarget(nullptr);
            released = std::move(pageOutput_);
        }
    }
    if (released != nullptr) {
        released.reset();
        ++releasedPreviewOutputs_;
    }
}

void TCustomBandReport::joinRunThread()
{
    if (runThread_ != nullptr) {
        runThread_->Wait();
        runThread_.reset();
    }
}

void TCustomBandReport::waitForFinishedPreviewRun()
{
    if (pageOutput_ != nullptr &&
        pageOutput_->OutputState() == output::TBRPrinter::TOutputState::Finished)
        joinRunThread();
}

void TCustomBandReport::startPreviewRun(output::TBRPrinter &output)
{
    // The paper, the printer values and the title go to the page output here, before the run
    // thread starts: the window reads them while the run goes on, so the run must not write
    // them again. (A BeforePrint handler that changed the paper would therefore not reach a
    // preview's page output; the tile sheet's sets only the margins.)
    giveOutputPrinterValues();
    outputValuesGivenTo_ = &output;
    {
        const std::lock_guard lock(previewMutex_);
        threadActive_ = true;
        previewClosed_ = false;
    }
    stopRequested_ = false;
    runThread_ = std::make_unique<TBRCreateReportThread>(*this);
}

void TCustomBandReport::recordAgain(output::TBRPrinter &output)
{
    joinRunThread();
    output.Reset(); // the pages of the old paper go; the window shows the new ones as they come
    startPreviewRun(output);
}

void TCustomBandReport::Preview()
{
    if (!available_ || previewing_)
        return;
    joinRunThread();
    runFailure_ = nullptr;
    // The system printer, so that pages loaded into the preview can be printed from it.
    std::unique_ptr<output::TBRPrinter> made = makePageOutput(PrinterDevice());
    made->Destination = output::TBRPrinter::TDestination::Record;
    made->Title = ReportTitle;
    // The preview's export command: a new run into the filter, which is then complete.
    made->OnExport = [this](output::TBRExportFilter &filter) {
        Export(filter);
        filter.Finish();
    };
    output::TBRPrinter *output = made.get();
    pageOutput_ = std::move(made);
    SetPageTarget(output);
    selectReportPrinter();
    previewing_ = true;
    startPreviewRun(*output);

    const TBRPreviewProvider &provider =
        OnPreview ? OnPreview : TBRServicesScope::Current().Preview;
    if (!provider) {
        // Nobody shows the pages: wait for them and keep them.
        joinRunThread();
        previewing_ = false;
        return;
    }
    try {
        provider(TBRPreviewRequest{*output, window_.get(), PreviewSettings, ReportTitle,
                                   Page.Orientation() == TBROrientation::poLandscape, Zoom()});
    } catch (...) {
        EndPreview(output);
        previewing_ = false;
        throw;
    }
    // A provider that returned without closing the preview closes it here.
    EndPreview(output);
    previewing_ = false;
}

void TCustomBandReport::EndPreview(output::TBRPrinter *output)
{
    // A run whose pages are all there may still be ending its thread: the close waits for
    // that, so that it counts as a close after the run and not as a cancel.
    if (output != nullptr && output == pageOutput_.get())
        waitForFinishedPreviewRun();
    std::unique_ptr<output::TBRPrinter> released;
    bool waitForThread = false;
    {
        const std::lock_guard lock(previewMutex_);
        if (output == nullptr || output != pageOutput_.get())
            return; // not this report's page output, or released already
        previewClosed_ = true;
        if (threadActive_) {
            // The run goes on: cancel it; the run thread releases the page output at its end.
            stopRequested_ = true;
            cancelled_ = true;
            output->CancelJob();
            waitForThread = true;
        } else {
            SetPageTarget(nullptr);
            released = std::move(pageOutput_);
        }
    }
    if (waitForThread) {
        // The run stops before its next record; once the thread has ended the page output is
        // gone and the window must not touch it.
        joinRunThread();
        return;
    }
    joinRunThread(); // the thread may still be between its run and its end
    if (released->BeingPreviewed())
        released->SetBeingPreviewed(false); // raises AfterPreview
    released.reset();
    ++releasedPreviewOutputs_;
}

void TCustomBandReport::StopRun()
{
    {
        const std::lock_guard lock(previewMutex_);
        if (threadActive_) {
            stopRequested_ = true;
            cancelled_ = true;
            if (pageOutput_ != nullptr)
                pageOutput_->CancelJob();
        }
    }
    joinRunThread();
    // The stopped run is over: a later run of this report (a print from the preview) is not.
    stopRequested_ = false;
}

} // namespace report
