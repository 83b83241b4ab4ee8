#pragma once
// The page output of one report run. Recording, each page is drawn on an EMF-recording canvas
// and appended to the page store, which the preview reads while the run goes on; printing,
// each page is drawn on the printer. The client object (the preview's page view or the
// progress window) receives the progress (msgProgress) and the count of completed pages
// (msgPageAvailable) as posted events, so the run never waits for the user-interface thread.

#include "output/pagestore/pagelist.h"
#include "output/pagetarget.h"
#include "output/printerdevice.h"
#include "output/printersettings.h"
#include "output/progressview.h"
#include "output/reportlink.h"
#include "platform/emf/emfcanvas.h"
#include "platform/emf/emfmetafile.h"
#include "platform/length.h"
#include "platform/screen.h"

#include <QEvent>
#include <QObject>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace output {

class TBRExportFilter;
class TBRPrinter;

// A control that shows a page output (the preview's page view). The page output tells it when
// it is destroyed, on the thread that destroys it, so that the control never reaches it again;
// the control only forgets the page output there.
class TBRPageOutputView {
public:
    virtual void PageOutputDestroyed(TBRPrinter &output) = 0;

protected:
    ~TBRPageOutputView() = default;
};

class TBRPrinter : public TBRPageTarget {
public:
    enum class TDestination { Record, Printer };
    enum class TOutputState { Idle, Running, Finished };

    static constexpr long double MinimumFactor = 0.1L;

    // `reportSettings`: the report's printer settings (memory limit, standard printer);
    // `device`: the printer when the system has one, else nullptr.
    explicit TBRPrinter(const TPrinterSettings &reportSettings = {},
                        TBRPrinterDevice *device = nullptr);
    ~TBRPrinter() override;
    TBRPrinter(const TBRPrinter &) = delete;
    TBRPrinter &operator=(const TBRPrinter &) = delete;

    platform::Canvas *PageCanvas() override;
    bool DrawsToPrinter() const override { return Destination == TDestination::Printer; }

    void StartJob();
    void NewPage();
    void FinishJob();
    void CancelJob() { cancelled_ = true; }
    void AbortJob();
    void Reset();

    int Progress() const { return progress_; }
    void SetProgress(int percent);
    int AvailablePageCount() const { return available_; }
    void SetAvailablePageCount(int count);

    // Page n as a new metafile for the caller, or nullptr when it is not stored (yet).
    std::unique_ptr<platform::TMetafile> GetPage(int n);
    // Replaces the pages by a saved report file's. A run of the linked report that still draws
    // into this page output is stopped first (the link's StopRun) and its thread waited for.
    void LoadPages(const std::filesystem::path &file);
    void SavePages(const std::filesystem::path &file);

    // Prints the stored pages of the page range on the printer. Pages a report produced (and
    // that were not loaded from a file) are printed by the report itself with a new run: the
    // report is asked to print (ReportLink's PrintLater) instead. Nothing while a replay is going.
    void ReplayToPrinter();
    // Replays the stored pages, the whole paper of each, into the export filter and finishes
    // its file: how pages without a report to run again (loaded from a saved report file)
    // are exported. False, and no file, when it was stopped from the progress window or a
    // replay is already going. Throws EBRError before the pages are complete.
    bool ExportPages(TBRExportFilter &filter);
    // The report that produced the pages, set by the report; none for pages loaded from a file
    // with no report behind them.
    TBRReportLink *ReportLink = nullptr;
    // The paper of stored pages in native units, for ReplayToPrinter: the report's page when
    // one is linked; by default the settings' paper (a loaded file's paper guess).
    std::function<std::pair<platform::TLength, platform::TLength>()> PagePaper;

    // The progress window of a print or replay on this output: made by the provider (none:
    // nothing is shown) for the window that started the run.
    TBRProgressProvider ProgressProvider;
    QObject *ProgressOwner = nullptr;
    // What the progress window says above its gauge (Windows-1252); empty: nothing.
    std::string ProgressNote;
    std::unique_ptr<TBRProgressView> OpenProgress(bool show);

    void SetClient(QObject *client);
    QObject *Client() const;
    // The control that shows this page output, told when it is destroyed; none at first.
    void SetView(TBRPageOutputView *view);
    TBRPageOutputView *View() const;
    // A preview that shows this output sets the flag; clearing it cancels a running job and
    // calls the after-preview hook.
    void SetBeingPreviewed(bool on);
    bool BeingPreviewed() const { return beingPreviewed_; }

    bool Cancelled() const { return cancelled_; }
    int PageNumber() const { return pageNumber_; }
    int PagesInJob() const { return pagesInJob_; }
    TOutputState OutputState() const { return state_; }
    bool Loaded() const { return loaded_; }
    bool HasPrinters() const { return device_ != nullptr; }
    // Selects the printer of `index` (-1: the default) with its driver's defaults and reads its
    // settings; nothing without a printer.
    void SelectPrinter(int index);
    // The same, but the pages keep their paper and orientation (a choice made for pages that
    // are already there).
    void SelectPrinterKeepingPaper(int index);

    TPrinterSettings &Settings() { return settings_; }
    const TPrinterSettings &Settings() const { return settings_; }
    TBRPageList &PageList() { return pageList_; }

    TDestination Destination = TDestination::Record;
    // The settings and the title are written before a preview's run thread starts, or by the
    // thread that runs the job; while a job runs on another thread they are only read.
    std::string Title;
    // Set by the run from the report's options at the start of every job.
    bool Compression = false;
    // True while the run feeds an export filter: an abandoned page is then not stored.
    bool FeedsExportFilter = false;

    std::function<void()> OnAfterPrint;
    std::function<void()> OnAfterPreview;
    std::function<void()> OnPrinterSetup;
    // Runs the report again into the filter (the preview's export command).
    std::function<void(TBRExportFilter &)> OnExport;

private:
    bool insideRange(int page) const;
    // Replays pages first..last onto the device with `settings`; false when stopped.
    bool replay(TBRPrinterDevice &device, TPrinterSettings &settings, int first, int last);
    void startRecordedPage();
    void startPrinterPage();
    void storeCurrentPage();
    void post(QEvent::Type type, int wParam);
    void guessPaper(const platform::TMetafile &page);

    long double screenFactor() const
    {
        return platform::TLength::pixelsPerNative(screenPixelsPerInch_);
    }

    TPrinterSettings settings_;
    TBRPrinterDevice *device_;
    // The screen is the reference device of recorded pages. Read once, on the thread that
    // creates the page output, so that a run on another thread never asks the window system.
    const int screenPixelsPerInch_;
    TBRPageList pageList_;
    std::unique_ptr<platform::EmfCanvas> recording_;
    platform::Canvas *printerCanvas_ = nullptr;

    std::atomic<TOutputState> state_{TOutputState::Idle};
    std::atomic<int> pageNumber_{0};
    std::atomic<int> pagesInJob_{0};
    std::atomic<int> available_{0};
    std::atomic<int> progress_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> beingPreviewed_{false};
    bool loaded_ = false;
    bool replaying_ = false;

    mutable std::mutex clientMutex_;
    QObject *client_ = nullptr;
    TBRPageOutputView *view_ = nullptr;
};

} // namespace output
