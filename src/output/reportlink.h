#pragma once
// TBRReportLink: what a page output and the preview window that shows it may ask of the report
// that produced the pages. The report implements it with its own window (the report's window
// messages are built, sent and read there, and nowhere else); a page output without a report
// behind it has no link.

namespace output {

class TBRPrinter;

class TBRReportLink {
public:
    // The report prints itself with a new run, from its thread's event loop once the caller has
    // returned (the page output's print command asks from within its own replay step).
    virtual void PrintLater() = 0;
    // The report prints itself with a new run now, on the calling thread, and returns when the
    // run has ended; the preview keeps its pages.
    virtual void Print() = 0;
    // The preview window showing `output` closes: the report releases it before this returns (a
    // running job is cancelled and its thread has ended by then). The caller never touches
    // `output` again.
    virtual void EndPreview(TBRPrinter &output) = 0;
    // `output` is about to load a saved report file while a run of the report may still draw
    // into it: that run is stopped and its thread has ended when this returns. A run into any
    // other page output goes on.
    virtual void StopRun(TBRPrinter &output) = 0;
    // The report's print settings command for the pages of `output`: the print dialog, then the
    // chosen settings for the report and for `output`.
    virtual void PrinterSetup(TBRPrinter &output) = 0;

protected:
    ~TBRReportLink() = default;
};

} // namespace output
