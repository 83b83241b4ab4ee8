#pragma once
// TBRReportWindow: the report's window handle, never shown. It takes the numbered messages
// 1026 (print) and 1028 (end preview) on the thread that made the report.

#include <QObject>

namespace report {

class TCustomBandReport;

class TBRReportWindow : public QObject {
public:
    explicit TBRReportWindow(TCustomBandReport &report) : report_(report) {}
    bool event(QEvent *event) override;

private:
    TCustomBandReport &report_;
};

} // namespace report
