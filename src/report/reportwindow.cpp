#include "report/reportwindow.h"

#include "output/brprinter.h"
#include "report/customreport.h"
#include "report/reportmessages.h"

namespace report {

bool TBRReportWindow::event(QEvent *event)
{
    if (event->type() == msgEndPreview) {
        const auto *message = dynamic_cast<const output::TBRMessage *>(event);
        if (message != nullptr)
            report_.EndPreview(reinterpret_cast<output::TBRPrinter *>(message->LParam));
        return true;
    }
    if (event->type() == msgPrintReport) {
        report_.Print();
        return true;
    }
    if (event->type() == msgStopRun) {
        // Only a run into the page output that asks: the run of this report's preview.
        const auto *message = dynamic_cast<const output::TBRMessage *>(event);
        if (message != nullptr &&
            reinterpret_cast<output::TBRPrinter *>(message->LParam) == report_.PageOutput())
            report_.StopRun();
        return true;
    }
    if (event->type() == msgPrinterSetup) {
        const auto *message = dynamic_cast<const output::TBRMessage *>(event);
        report_.PrinterSetup(
            message != nullptr ? reinterpret_cast<output::TBRPrinter *>(message->LParam) : nullptr);
        return true;
    }
    return QObject::event(event);
}

} // namespace report
