#include "report/createreportthread.h"

#include "report/customreport.h"

namespace report {

TBRCreateReportThread::TBRCreateReportThread(TCustomBandReport &report)
    : thread_([&report] { report.runThreadBody(); })
{}

} // namespace report
