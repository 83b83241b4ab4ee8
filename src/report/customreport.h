#pragma once
// TCustomBandReport: the report's definition and geometry — its page, its bands in band order,
// the printable controls placed on it, units and zoom fanned out to all of them, the band
// layout, text measuring for its labels and the frame around the printable area — and the runs
// it starts. A run is a TBRReportRun (reportrun.h) that the report starts inside the page
// output's job (reportjob.cpp); preview, print and export are in reportpreview.cpp,
// reportprint.cpp and reportexport.cpp; the print settings are a TBRPrintSetup (printsetup.h),
// shown from reportprintsetup.cpp.

#include "platform/canvas.h"
#include "platform/screen.h"
#include "platform/units.h"
#include "report/band.h"
#include "report/bandsflags.h"
#include "report/basepanel.h"
#include "report/controller.h"
#include "report/environment.h"
#include "report/page.h"
#include "report/printsetup.h"
#include "report/reportpreviewsettings.h"
#include "report/reportprintersettings.h"
#include "report/reportrun.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QObject;
class QPrinter;

namespace output {
class TBRExportFilter;
class TBRPageTarget;
class TBRPrinter;
class TBRPrinterDevice;
} // namespace output
namespace platform {
class FontMetrics;
}

namespace report {

class TBRPrintable;
class TBRCreateReportThread;
class TBRReportWindow;
class TCustomBandReport;

using TBRReportBeforePrintEvent = std::function<void(TCustomBandReport &Sender, bool &PrintReport)>;
using TBROnNeedDataEvent = std::function<void(TCustomBandReport &Sender, bool &MoreData)>;
using TBRNotifyEvent = std::function<void(TCustomBandReport &Sender)>;
using TBRPrinterChangedEvent =
    std::function<void(TCustomBandReport &Sender, const std::string &Printer, bool &PageChanged)>;

// The report's Options.
struct TBROptions {
    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    bool Compression = false;
};

inline constexpr int minZoom = 1;
inline constexpr int maxZoom = 300;

// Measures text for line breaking: on the printer canvas when the run prints directly,
// otherwise on the report's reference device (width plus one pixel).
class TBRTextMeasure {
public:
    TBRTextMeasure(const platform::FontMetrics &reference, platform::Canvas *printerCanvas)
        : reference_(&reference), printerCanvas_(printerCanvas)
    {}
    long double Width(std::string_view text) const;

private:
    const platform::FontMetrics *reference_;
    platform::Canvas *printerCanvas_;
};

class TCustomBandReport : public TBRBasePanel {
public:
    // A report without a paper of its own (none given) takes the paper of the system's
    // default printer, as the installed TBRServices lend it (A4 without a printer).
    explicit TCustomBandReport(std::optional<TBRPaperSize> paper = std::nullopt,
                               int resolution = platform::screenPixelsPerInch());
    ~TCustomBandReport() override;

    TBRPage Page;

    TCustomBandReport *ParentReport() override { return this; }

    // Units live in the page; setting them sets the units of the page, of every band's size
    // and of the size of every printable control in a band or on the report.
    TBRUnit Units() const { return Page.Units(); }
    void SetUnits(TBRUnit units);
    void SaveUnits(TBRUnit switchTo);
    void RestoreUnits();

    void SetZoom(int zoom);

    // The report control's pixel bounds. When they change the bands are laid out again; a
    // Custom paper takes a new pixel size as its Width and Length.
    void SetBounds(int left, int top, int width, int height) override;

    // The bands in band order: page headers, titles, column headers, details, summaries, page
    // footers, then all others; a child band follows its parent.
    const std::vector<TBRCustomBand *> &BandList() const { return bandOrder_; }
    // The first band of `type` in band order, or none.
    TBRCustomBand *FirstBand(TBRBandType type) const;

    // The band layout: gives every band its pixel bounds and its width.
    void ArrangeBands();

    // Defining a report: between BeginLoading and EndLoading stored values are taken as they
    // are; EndLoading runs the after-load updates of the report, its bands and its controls.
    void BeginLoading();
    void EndLoading();
    bool Loading() const { return loading_; }
    bool Destroying() const { return destroying_; }

    // Text measuring for the labels.
    int ReferenceResolution() const { return Page.Resolution(); }
    TBRTextMeasure Measure(const platform::TFont &font) const;
    platform::TSize ReferenceTextExtent(const platform::TFont &font, std::string_view text) const;

    // The page output of the current run, or none.
    output::TBRPageTarget *PageTarget() const { return pageTarget_; }
    void SetPageTarget(output::TBRPageTarget *target) { pageTarget_ = target; }
    // Bands and controls draw onto the page canvas (False only while an export filter re-runs).
    bool Rendering = true;
    // Native units left on the page for the run's next band; 0 when no run is in progress or
    // before the first page.
    virtual long long AvailableSpace() const;

    // The report's frame around the area inside the page margins of the current page.
    void PaintReportFrame();

    // Bands and controls made and owned by the report (a definition may also own them itself
    // and give them a parent).
    TBRBand &CreateBand(TBRBandType type);
    template <class T> T &CreateControl(TBRBasePanel &parent)
    {
        auto control = std::make_unique<T>();
        T &result = *control;
        ownedControls_.push_back(std::move(control));
        result.SetParent(&parent);
        return result;
    }

    // Every printable control, those in bands (in band order) and those on the report.
    std::vector<TBRPrintable *> AllControls() const;

    // Called by bands as they join, leave or change type.
    void AddBand(TBRCustomBand *band);
    void RemoveBand(TBRCustomBand *band);
    void BandsChanged();

    // Destroys a band the report made itself; a band owned elsewhere only leaves the report.
    void DestroyBand(TBRCustomBand *band);

    // ---- Definition used by the run ----
    TBRBands Bands{*this};
    TBROptions Options;
    bool PrintIfEmpty = true;
    std::string ReportTitle; // Windows-1252
    bool ShowProgress = true;
    // The window that starts the runs (the selection window, the preview): the progress window
    // of a print belongs to it, so that a modal owner does not block "Afbryd".
    QObject *ProgressOwner = nullptr;
    // A line the progress window of a print shows above its gauge (Windows-1252), such as which
    // name of a run over several the print is; none by default.
    std::string ProgressNote;
    TBandReportPrinterSettings PrinterSettings;
    TBRPreviewSettings PreviewSettings;
    TBRReportBeforePrintEvent BeforePrint;
    TBROnNeedDataEvent OnNeedData;
    TBRNotifyEvent OnStartPage;
    TBRNotifyEvent OnEndPage;
    TBRNotifyEvent AfterPrint;
    TBRNotifyEvent AfterPreview;
    // The print settings dialog changed the paper or the orientation: a definition that sizes
    // its bands from the page sizes them again here, before the preview records anew.
    TBRNotifyEvent OnPageChanged;
    // The print settings dialog chose another printer (its queue name, Windows-1252) than the
    // one the pages were made for: a definition whose page depends on the printer changes it
    // here and sets PageChanged, and the preview records anew.
    TBRPrinterChangedEvent OnPrinterChanged;
    // Called instead of the installed preview provider when set.
    TBRPreviewProvider OnPreview;
    TBREnvironment Environment;
    TBRController &Controller() { return controller_; }

    // ---- Run state ----
    // True when no run is in progress; a run is refused while it is False.
    bool Available() const { return available_.load(); }
    bool Cancelled() const { return cancelled_.load(); }
    long long CurrentX() const { return run_.CurrentX(); }
    long long CurrentY() const { return run_.CurrentY(); }
    int CurrentColumn() const { return run_.CurrentColumn(); }
    int PageNumber() const { return run_.PageNumber(); }
    long long ColumnTop() const { return run_.ColumnTop(); }
    long double PageFooterTotal() const { return run_.PageFooterTotal().native(); }

    // ---- The run ----
    // One run into the current page output (a recording one is made when there is none): the
    // report makes the page output ready and starts its TBRReportRun (reportrun.h) inside
    // the job; the steps below hand over to that run.
    void RunReport();
    // Prints one band at the current position; nothing for no band.
    void OutputBand(TBRCustomBand *band);
    void StartNewColumn();
    void StartNewPage();
    void FinishPage();
    // Only while a run is in progress: sets Cancelled and cancels the page output.
    void Cancel();

    // ---- Page output ----
    output::TBRPrinter *PageOutput() const { return pageOutput_.get(); }
    // Gives the report a page output of the caller's (the command-line tool records into one
    // and saves it) or takes it back. Only while no run is in progress.
    void SetPageOutput(std::unique_ptr<output::TBRPrinter> output);
    std::unique_ptr<output::TBRPrinter> TakePageOutput();

    // ---- Preview and print ----
    // Runs the report on its own thread into a new recording page output and hands that page
    // output to the preview (OnPreview, else the process-wide provider). Returns when the
    // preview has returned and the run thread has ended. Without any provider it waits for
    // the run and keeps the finished page output.
    void Preview();
    // What became of a print: stopped by "Afbryd" in its progress window or not, and the pages
    // the job holds (the sheets begun, for a stopped one).
    struct TBRPrintOutcome {
        bool Stopped = false;
        int Pages = 0;
    };
    // Runs the report on the calling thread straight onto the printer. Nothing is printed
    // without a printer or while another run goes on: an empty outcome.
    TBRPrintOutcome Print();
    // Runs the report on the calling thread into `filter`, which the caller finishes; the
    // progress window shows when ShowProgress is set. Nothing while a run is in progress.
    void Export(output::TBRExportFilter &filter);
    // The preview window is closing (its link's EndPreview with the page output it showed). After
    // this the window must not touch that page output again: it has been released, by the report
    // for a finished run, by the run thread for a cancelled one, which is waited for here.
    void EndPreview(output::TBRPrinter *output);
    // The link through which the report's page outputs and their preview windows reach it.
    output::TBRReportLink *Link() const;
    // Cancels a run thread that is still going and waits for it to end. A definition whose
    // handlers use data of its own calls this before that data goes.
    void StopRun();
    // The failure that ended the last preview run, if any.
    std::exception_ptr RunFailure() const { return runFailure_; }
    // How often a preview's page output was released (by the report or its run thread).
    int ReleasedPreviewOutputs() const { return releasedPreviewOutputs_.load(); }

    // The printer Print would use now (from the installed TBRServices); nullptr when there is
    // none.
    static output::TBRPrinterDevice *PrinterDevice();

    // ---- Print settings (the preview's "&Indstil") ----
    // 0 after an accepted print settings dialog, 1 after a cancelled one.
    int Tag = 0;
    // What the print settings dialog recorded; a copy of PrinterSettings until it first runs.
    TBRRecordedPrintSettings RecordedPrintSettings;
    // The platform's print dialog on the system printer (object name "PrintDialog"), then
    // TakePrinterSetup with its answer for the preview's page output `output`.
    void PrinterSetup(output::TBRPrinter *output);
    // Makes `printer` and the dialog's page bounds what PrinterSetup shows: the report's
    // printer, paper, orientation and copies; bounds 0..9999, or 1..page count, from 1 to the
    // page count, when the page output has finished.
    void PreparePrintDialog(QPrinter &printer, int &minPage, int &maxPage) const;
    // The settings after the dialog: `chosen` is the dialog's printer when the user accepted,
    // nullptr when they cancelled. Accepted: PrinterSettings and RecordedPrintSettings take
    // the choice and Tag becomes 0; cancelled: Tag becomes 1. Then `output` (unless its run
    // still goes) takes the printer and the recorded settings, and, unless the pages were
    // loaded from a file, PrinterSettings takes the recorded settings as a whole. A paper or
    // orientation the user changed becomes the page's (OnPageChanged follows); the same paper
    // and orientation leave the page and its band layout exactly as they are. Another printer
    // than the one before (the standard printer for none chosen) is told to OnPrinterChanged.
    // True when the page changed.
    // `paperSource` is the tray chosen with it (see TBRServices::PrintDialog).
    bool TakePrinterSetup(const QPrinter *chosen, output::TBRPrinter *output,
                          const std::string &paperSource = {});

protected:
    virtual void Loaded();

private:
    friend class TBRController;
    friend class TBRCreateReportThread;

    void rebuildBandOrder();
    // The start of a run.
    void selectReportPrinter();
    void giveOutputPrinterValues();
    bool outputCancelled() const;
    void processMessages() const;
    // Preview.
    std::unique_ptr<output::TBRPrinter> makePageOutput(output::TBRPrinterDevice *device = nullptr);
    void runThreadBody();
    // Runs the report on the calling thread onto `device` (a printer or an export filter) with
    // a page output of its own.
    TBRPrintOutcome runOntoDevice(output::TBRPrinterDevice &device, bool feedsExportFilter);
    void joinRunThread();
    // A preview's run whose page output has finished is only ending: waits for its thread, so
    // that a command from the preview finds the report available.
    void waitForFinishedPreviewRun();
    // Starts the preview's run again into its page output `output`, which shows the new pages
    // as they come, like the first run.
    void recordAgain(output::TBRPrinter &output);
    void startPreviewRun(output::TBRPrinter &output);

    std::vector<TBRCustomBand *> bands_; // in joining order
    std::vector<TBRCustomBand *> bandOrder_;
    bool loading_ = false;
    bool destroying_ = false;
    bool arranging_ = false;
    output::TBRPageTarget *pageTarget_ = nullptr;
    std::vector<std::unique_ptr<TBRPrintable>> ownedControls_;
    std::vector<std::unique_ptr<TBRBand>> ownedBands_;

    TBRController controller_{*this};
    std::unique_ptr<output::TBRPrinter> pageOutput_;
    std::unique_ptr<TBRReportWindow> window_;

    std::atomic<bool> available_{true};
    std::atomic<bool> cancelled_{false};
    TBRReportRun run_{*this};
    TBRPrintSetup printSetup_{*this};

    // The preview's run thread. `previewMutex_` guards the hand-over of the page output between
    // the run thread's end and the end of the preview, so that it is released exactly once.
    std::mutex previewMutex_;
    std::unique_ptr<TBRCreateReportThread> runThread_;
    bool threadActive_ = false;  // guarded by previewMutex_
    bool previewClosed_ = false; // guarded by previewMutex_
    // A stop asked for before the run thread reached its run keeps that run cancelled.
    std::atomic<bool> stopRequested_{false};
    bool previewing_ = false; // a preview window is open (user-interface thread only)
    // The page output a preview gave its printer values before the run thread started; the run
    // into it then leaves them alone. Read and cleared at the start of every run.
    const output::TBRPrinter *outputValuesGivenTo_ = nullptr;
    std::exception_ptr runFailure_;
    std::atomic<int> releasedPreviewOutputs_{0};
};

// The published report of definitions.
class TBandReport : public TCustomBandReport {
public:
    using TCustomBandReport::TCustomBandReport;
};

} // namespace report
