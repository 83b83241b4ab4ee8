// The preview's print settings command: the platform's print dialog on the system printer,
// its answer taken by the report's TBRPrintSetup (printsetup.h), and the pages recorded anew
// for a changed paper.
#include "output/brprinter.h"
#include "report/customreport.h"
#include "report/services.h"

#include <QPrinter>

namespace report {

void TCustomBandReport::PreparePrintDialog(QPrinter &printer, int &minPage, int &maxPage) const
{
    printSetup_.PrepareDialog(printer, minPage, maxPage);
}

void TCustomBandReport::PrinterSetup(output::TBRPrinter *output)
{
    // The run reads the page and the printer settings on its own thread: nothing changes them
    // while it goes.
    waitForFinishedPreviewRun();
    {
        const std::lock_guard lock(previewMutex_);
        if (threadActive_)
            return;
    }
    if (!available_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    int minPage = 0, maxPage = 0;
    PreparePrintDialog(printer, minPage, maxPage);
    const auto &dialog = TBRServicesScope::Current().PrintDialog;
    std::string paperSource = PrinterSettings.PaperSource;
    const bool accepted = dialog && dialog(printer, minPage, maxPage, paperSource);
    const bool pageChanged = TakePrinterSetup(accepted ? &printer : nullptr, output, paperSource);
    // The preview shows the pages of the new paper before anything prints. Pages loaded from a
    // file are what they are.
    if (pageChanged && output != nullptr && output == pageOutput_.get() && !output->Loaded() &&
        !TBRServicesScope::LoadedFile())
        recordAgain(*output);
}

bool TCustomBandReport::TakePrinterSetup(const QPrinter *chosen, output::TBRPrinter *output,
                                         const std::string &paperSource)
{
    return printSetup_.Take(chosen, output, paperSource);
}

} // namespace report
