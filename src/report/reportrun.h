#pragma once
// TBRReportRun: one run of a report through its bands — the data loop's surroundings, the
// placement of bands down a column, across the columns and on to new pages — and the run's
// position on the page. The report owns one and starts it for every run (RunReport), after it
// has made the page output and started the job; the run reads the report's definition and
// draws through that page output.

#include "platform/length.h"

namespace report {

class TBRCustomBand;
class TCustomBandReport;

class TBRReportRun {
public:
    explicit TBRReportRun(TCustomBandReport &report) : report_(report) {}
    TBRReportRun(const TBRReportRun &) = delete;
    TBRReportRun &operator=(const TBRReportRun &) = delete;

    // A new run begins (before the report's BeforePrint).
    void Prepare();
    // The run proper, in native units, between the start and the end of the page output's job:
    // the data loop, then the last page finished.
    void Execute();

    // Native units left on the page for the next band; 0 before the first page.
    long long SpaceLeft() const;
    long long CurrentX() const { return currentX_; }
    long long CurrentY() const { return currentY_; }
    int CurrentColumn() const { return currentColumn_; }
    int PageNumber() const { return pageNumber_; }
    long long ColumnTop() const { return columnTop_; }
    platform::TLength PageFooterTotal() const { return pageFooterTotal_; }

    // Prints one band at the current position; nothing for no band.
    void OutputBand(TBRCustomBand *band);
    void StartNewColumn();
    void StartNewPage();
    void FinishPage();
    // The title or the first column header has just printed: a band that forces a new page
    // next starts no other.
    void TitlePrinted() { titlePrinted_ = true; }

private:
    platform::TLength paperLength() const;
    platform::TLength computePageFooterTotal() const;
    void printBand(TBRCustomBand &band);
    void spaceCheck(TBRCustomBand &band);
    void alignToBottom(TBRCustomBand &band);
    void forceNewPage();
    void forceNewColumn();
    long long columnPitch() const;

    TCustomBandReport &report_;
    long long currentX_ = 0;
    long long currentY_ = -1;
    int currentColumn_ = 1;
    int pageNumber_ = 0;
    long long columnTop_ = 0;
    platform::TLength pageFooterTotal_;
    bool titlePrinted_ = false;
    bool firstForcedColumn_ = false;
    bool lastPage_ = false;
};

} // namespace report
