#pragma once
// TBRReportWindow: the report's window, never shown, and the report's side of the link from its
// page outputs and their preview windows. Each request becomes one of the window's messages
// (print, print later, end preview, stop the run, print settings), sent or posted to the window
// and carried out on the thread that made the report.

#include "output/reportlink.h"

#include <QObject>

namespace report {

class TCustomBandReport;

class TBRReportWindow : public QObject, public output::TBRReportLink {
public:
    explicit TBRReportWindow(TCustomBandReport &report) : report_(report) {}

    void PrintLater() override;
    void Print() override;
    void EndPreview(output::TBRPrinter &output) override;
    void StopRun(output::TBRPrinter &output) override;
    void PrinterSetup(output::TBRPrinter &output) override;

    bool event(QEvent *event) override;

private:
    TCustomBandReport &report_;
};

} // namespace report
