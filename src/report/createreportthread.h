#pragma once
// TBRCreateReportThread: runs a report into its page output on a thread of its own while the
// preview window shows the pages as they arrive. It starts at once. The report owns it and
// waits for it before the report (or anything its handlers use) goes away.

#include "platform/workerthread.h"

namespace report {

class TCustomBandReport;

class TBRCreateReportThread {
public:
    explicit TBRCreateReportThread(TCustomBandReport &report);
    ~TBRCreateReportThread() { Wait(); }
    TBRCreateReportThread(const TBRCreateReportThread &) = delete;
    TBRCreateReportThread &operator=(const TBRCreateReportThread &) = delete;

    void Wait() { thread_.join(); }

private:
    platform::WorkerThread thread_;
};

} // namespace report
