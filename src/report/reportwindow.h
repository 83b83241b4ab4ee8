#pragma once
// TBRReportWindow: the report's window handle, never shown. It takes the numbered messages
// 1026 (print), 1028 (end preview), 1029 (stop the preview's run before its page output loads
// a file) and 1030 (print settings) on the thread that made the report.

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
