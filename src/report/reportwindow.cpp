#include "report/reportwindow.h"

#include "output/brmessage.h"
#include "output/brprinter.h"
#include "report/customreport.h"

#include <QCoreApplication>
#include <cstdint>

namespace report {

namespace {

// The report window's messages, numbered after the page output's own (progress and pages
// available). The page output concerned, if any, travels as LParam.
constexpr QEvent::Type msgPrintReport = static_cast<QEvent::Type>(output::WM_USER + 2);
constexpr QEvent::Type msgEndPreview = static_cast<QEvent::Type>(output::WM_USER + 4);
constexpr QEvent::Type msgStopRun = static_cast<QEvent::Type>(output::WM_USER + 5);
constexpr QEvent::Type msgPrinterSetup = static_cast<QEvent::Type>(output::WM_USER + 6);

std::intptr_t lParamOf(output::TBRPrinter &output)
{
    return reinterpret_cast<std::intptr_t>(&output);
}

output::TBRPrinter *outputOf(const QEvent *event)
{
    const auto *message = dynamic_cast<const output::TBRMessage *>(event);
    return message != nullptr ? reinterpret_cast<output::TBRPrinter *>(message->LParam) : nullptr;
}

} // namespace

void TBRReportWindow::PrintLater()
{
    QCoreApplication::postEvent(this, new output::TBRMessage(msgPrintReport, 0, 0));
}

void TBRReportWindow::Print()
{
    output::TBRMessage message(msgPrintReport, 0, 0);
    QCoreApplication::sendEvent(this, &message);
}

void TBRReportWindow::EndPreview(output::TBRPrinter &output)
{
    output::TBRMessage message(msgEndPreview, 0, lParamOf(output));
    QCoreApplication::sendEvent(this, &message);
}

void TBRReportWindow::StopRun(output::TBRPrinter &output)
{
    output::TBRMessage message(msgStopRun, 0, lParamOf(output));
    QCoreApplication::sendEvent(this, &message);
}

void TBRReportWindow::PrinterSetup(output::TBRPrinter &output)
{
    output::TBRMessage message(msgPrinterSetup, 0, lParamOf(output));
    QCoreApplication::sendEvent(this, &message);
}

bool TBRReportWindow::event(QEvent *event)
{
    if (event->type() == msgEndPreview) {
        if (output::TBRPrinter *output = outputOf(event))
            report_.EndPreview(output);
        return true;
    }
    if (event->type() == msgPrintReport) {
        report_.Print();
        return true;
    }
    if (event->type() == msgStopRun) {
        // Only a run into the page output that asks: the run of this report's preview.
        if (output::TBRPrinter *output = outputOf(event);
            output != nullptr && output == report_.PageOutput())
            report_.StopRun();
        return true;
    }
    if (event->type() == msgPrinterSetup) {
        report_.PrinterSetup(outputOf(event));
        return true;
    }
    return QObject::event(event);
}

} // namespace report
