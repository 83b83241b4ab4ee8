// Print: the run on the calling thread straight onto the printer.
#include "output/brprinter.h"
#include "report/customreport.h"
#include "report/services.h"

#include <QScopeGuard>

namespace report {

output::TBRPrinterDevice *TCustomBandReport::PrinterDevice()
{
    const auto &source = TBRServicesScope::Current().PrinterDevice;
    return source ? source() : nullptr;
}

TCustomBandReport::TBRPrintOutcome TCustomBandReport::Print()
{
    waitForFinishedPreviewRun();
    if (!available_)
        return {};
    output::TBRPrinterDevice *device = PrinterDevice();
    if (device == nullptr)
        return {}; // no printer installed: nothing is printed, nothing is reported

    return runOntoDevice(*device, false);
}

TCustomBandReport::TBRPrintOutcome
TCustomBandReport::runOntoDevice(output::TBRPrinterDevice &device, bool feedsExportFilter)
{
    // The preview's page output, if any, is kept aside for the length of the run.
    std::unique_ptr<output::TBRPrinter> previous = std::move(pageOutput_);
    pageOutput_ = makePageOutput(&device);
    if (previous != nullptr) {
        pageOutput_->SetClient(previous->Client());
        // Started from the preview: the progress window belongs to the preview window.
        if (previous->ProgressOwner != nullptr)
            pageOutput_->ProgressOwner = previous->ProgressOwner;
    }
    pageOutput_->Destination = output::TBRPrinter::TDestination::Printer;
    pageOutput_->FeedsExportFilter = feedsExportFilter;
    SetPageTarget(pageOutput_.get());
    std::unique_ptr<output::TBRProgressView> progress;
    const auto restore = qScopeGuard([&] {
        SetPageTarget(nullptr);
        progress.reset();
        pageOutput_ = std::move(previous);
        SetPageTarget(pageOutput_.get());
    });
    pageOutput_->ProgressNote = ProgressNote;
    progress = pageOutput_->OpenProgress(ShowProgress);
    RunReport();
    return {pageOutput_->Cancelled(), pageOutput_->PagesInJob()};
}

} // namespace report
