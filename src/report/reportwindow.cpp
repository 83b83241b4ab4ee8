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
    return QObject::event(event);
}

} // namespace report
