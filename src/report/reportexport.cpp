// Export: the run on the calling thread into an export filter, which the page output drives as
// it drives a printer.
#include "output/brprinter.h"
#include "output/exportfilter.h"
#include "output/progressform.h"
#include "report/customreport.h"

#include <QApplication>

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
    std::unique_ptr<output::TBRProgressForm> progress;
    const auto restore = [&] {
        SetPageTarget(nullptr);
        progress.reset();
        pageOutput_ = std::move(previous);
        SetPageTarget(pageOutput_.get());
    };
    try {
        // A window needs a widget application; the command-line tool exports without one.
        if (qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr)
            progress = std::make_unique<output::TBRProgressForm>(*pageOutput_, ShowProgress);
        RunReport();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

} // namespace report
