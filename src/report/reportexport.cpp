// Export: the run on the calling thread into an export filter, which the page output drives as
// it drives a printer.
#include "output/brprinter.h"
#include "output/exportfilter.h"
#include "report/customreport.h"

#include <QScopeGuard>

namespace report {

void TCustomBandReport::Export(output::TBRExportFilter &filter)
{
    if (!available_)
        return;
    // The preview's page output is kept aside for the length of the export.
    std::unique_ptr<output::TBRPrinter> previous = std::move(pageOutput_);
    pageOutput_ = makePageOutput(&filter);
    if (previous != nullptr)
        pageOutput_->SetClient(previous->Client());
    pageOutput_->Destination = output::TBRPrinter::TDestination::Printer;
    pageOutput_->FeedsExportFilter = true;
    SetPageTarget(pageOutput_.get());
    std::unique_ptr<output::TBRProgressView> progress;
    const auto restore = qScopeGuard([&] {
        SetPageTarget(nullptr);
        progress.reset();
        pageOutput_ = std::move(previous);
        SetPageTarget(pageOutput_.get());
    });
    progress = pageOutput_->OpenProgress(ShowProgress);
    RunReport();
    // A print stopped from the progress window keeps the pages so far; an export stopped there
    // leaves no file.
    if (pageOutput_->Cancelled())
        filter.Abort();
}

} // namespace report
