#include "report/loadedprintsetup.h"

#include "output/brprinter.h"
#include "platform/printer.h"
#include "report/services.h"

#include <QPrinter>
#include <algorithm>

namespace report {

bool LoadedPagesPrinterSetup(output::TBRPrinter &pages)
{
    const auto &dialog = TBRServicesScope::Current().PrintDialog;
    if (!dialog || pages.OutputState() != output::TBRPrinter::TOutputState::Finished)
        return false;
    output::TPrinterSettings &settings = pages.Settings();
    const int pageCount = pages.PageList().PageCount();

    QPrinter printer(QPrinter::HighResolution);
    if (!settings.DeviceName.empty())
        printer.setPrinterName(QString::fromStdString(settings.DeviceName));
    printer.setPageOrientation(settings.Orientation() == output::TOrientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    printer.setCopyCount(std::max(1, settings.Copies()));
    printer.setFromTo(1, pageCount);
    std::string paperSource = settings.PaperSource;
    if (!dialog(printer, 1, pageCount, paperSource))
        return false;

    const std::vector<std::string> printers = platform::TPrinter::Printers();
    const auto listed =
        std::find(printers.begin(), printers.end(), printer.printerName().toStdString());
    // The printer's defaults come with it; the pages' paper and orientation stay theirs.
    pages.SelectPrinterKeepingPaper(
        listed != printers.end() ? static_cast<int>(listed - printers.begin()) : -1);

    output::TJobOptions job = settings.JobOptions();
    job.Copies = printer.copyCount();
    job.Collate = printer.collateCopies() ? 1 : 0;
    job.PaperSource = paperSource;
    const bool range = printer.printRange() == QPrinter::PageRange;
    job.FirstPage = range ? printer.fromPage() : 0;
    job.LastPage = range ? printer.toPage() : 0;
    settings.SetJobOptions(job);
    return true;
}

} // namespace report
