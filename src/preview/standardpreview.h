#pragma once
// TBRStandardPreview, the preview window: a tool panel, the thumbnails and the search result
// in tabs beside the page view, and a status bar with the run's progress, the page shown and
// the preview status text. It shows the pages of one page output while the run still adds
// them, and tells the report when it closes (EndPreview); from then on it never touches the page
// output again. Its commands search the pages' texts, save them as a saved report file or
// export them through the export filters it lists while it exists, load a saved report file
// in their place, print them and change the print settings. The rules of what "&Gem" writes
// are in savetargets.h, the search over the pages in searchdlg.h, the thumbnails' metrics in
// thumbgrid.h; the class's own code is in three files by job (standardpreview*.cpp).

#include "output/previewsettings.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QKeyEvent;
class QLabel;

namespace Ui {
class TBRStandardPreview;
}

namespace output {
class TBRExportFilterRegistration;
class TBRPrinter;
class TBRReportLink;
} // namespace output

namespace preview {

class TBRPreview;
class TBRThumbGrid;

class TBRStandardPreview : public QDialog {
    Q_OBJECT
public:
    explicit TBRStandardPreview(const output::TBRPreviewRequest &request,
                                QWidget *parent = nullptr);
    ~TBRStandardPreview() override;

    TBRPreview &Preview() const;
    TBRThumbGrid &Thumbs() const;
    // The text of status panel 0 (progress), 1 (page information) or 2 (status text).
    QString StatusPanel(int panel) const;
    bool ShowsThumbnails() const { return showThumbs_; }
    bool ShowsSearch() const { return showSearch_; }

    void ShowPageInfo();
    void GoToPage(int n);
    void ThumbGridResize();
    // Thumbnail metrics, as ThumbGridResize left them.
    int ThumbWidth() const;
    int ThumbHeight() const;

    void btnZoomClick(QAbstractButton *sender);
    void PrevPageClick();
    void NextPageClick();
    void FirstPageClick();
    void LastPageClick();
    void ExitClick();
    void ZoomToFitClick();
    // Returns true when the key is used up (Esc, which closes the window).
    bool FormKeyDown(QKeyEvent *event);
    void ThumbGridDrawCell(QPainter &painter, const QRect &cell, int row, bool selected);
    void ThumbGridSelectCell(int row);
    void BRPreviewMouseDown(Qt::MouseButton button);
    void BRPreviewPageAvailable(int pageNum);
    void BRPreviewProgressUpdate(int progress);

    // "&Søg": asks for the text (TSearchDlg, object name "SearchDlg"), then SearchPages.
    void FindButtonClick();
    // Shows the search dialog modally; false when "Afbryd" closed it.
    bool AskSearchText(QString &text, bool &caseMatters);
    // Lists every page holding `text` in the search tab ("Side N", data N), or the single item
    // "Ingen tekst fundet" with the list disabled. The active tab does not change.
    void SearchPages(const QString &text, bool caseMatters);
    void SearchResultBoxClick();
    // Empties the search result tab (the pages it named are gone).
    void ClearSearchResults();

    // "&Gem": the save dialog (object name "SaveDialog"), then SaveTo.
    void SaveClick();
    // The save dialog's filters in order: the own format, then one per export filter listed.
    QStringList SaveFilters() const;
    // The filter the save dialog preselects (1-based): the first export filter when there is
    // one, else the own format.
    int PreselectedSaveFilter() const;
    // Where a name typed in the save dialog goes, and as what (1-based filter index): an
    // extension a filter lists ("aj.brp", "aj.HTML") chooses that filter; any other name gets
    // the chosen filter's extension added, in lower case.
    static std::pair<QString, int> SaveTarget(const QString &typed, int filterIndex);
    // Filter 1 saves the pages as a saved report file (only a finished page output); filter
    // k >= 2 runs the report again into export filter k - 1 (only when the pages come from
    // the report and its run is available).
    void SaveTo(const QString &file, int filterIndex);

    // "&Hent": the open dialog (object name "LoadDialog"), then LoadFile.
    void LoadClick();
    // Loads a saved report file in place of the pages shown; a run still producing pages is
    // stopped and waited for first. A missing file: the message "File does not exist" and
    // nothing else. A file the page store cannot read throws, leaving the window usable.
    void LoadFile(const QString &file);

    // "&Udskriv": the report prints itself again, or the loaded pages are replayed to the
    // printer, with the progress window over this window. Nothing while one is going.
    void PrintClick();
    // "&Indstil": the report's printer setup for these pages.
    void PrintSetupClick();
    // True while a print or an export started here is going.
    bool Busy() const { return busy_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window's parts, made once: status panels, tabs, glyphs, the views' handlers and the
    // commands' connections.
    void FormCreate();
    void makeStatusPanels();
    void setGlyphs();
    void followViews();
    void connectCommands();
    // What the report asks of its preview: size, style, state, panes, zoom and status text.
    void takeReportSettings(const output::TBRPreviewRequest &request, QSize &size);
    // Shows `output`'s pages, titles the window after it and owns its progress window.
    void showPageOutput(output::TBRPrinter &output);
    // "Udskriftsvisning : " and the title (Windows-1252).
    void showTitle(const std::string &title);
    // The thumbnail and search panes the report asked for, the grid sized for `pageCount`.
    void arrangeTabs(int pageCount);
    void applyInitialZoom();
    void FormShow();
    void FormResize();
    void FormClose();
    output::TBRPrinter *output() const;
    // Runs a command handler: what it throws goes to the error display.
    void guarded(const std::function<void()> &handler);
    void refreshAfterLoad();
    // "&Indstil", "&Udskriv" and "&Gem" wait for the run's last page; their tooltips say so
    // meanwhile.
    void enableRunCommands(bool runEnded);
    // A print or export started here has ended: a close asked for meanwhile happens now.
    void beginBusy();
    void endBusy();
    void showFileCommands();
    // A command that waits says why in its tooltip: "hint – waiting".
    static void enableCommand(QAbstractButton &button, bool enabled, const QString &hint,
                              const QString &waiting);

    std::unique_ptr<Ui::TBRStandardPreview> ui_;
    // The export filter components: listed in the export filter library while the window lives.
    std::vector<std::unique_ptr<output::TBRExportFilterRegistration>> filterComponents_;
    QLabel *panels_[3] = {};
    output::TBRReportLink *report_ = nullptr;
    bool landscape_ = false;
    int lastProgress_ = 0;
    bool showThumbs_ = true;
    bool showSearch_ = true;
    output::TBRZoomState initialZoom_ = output::TBRZoomState::brZoomToFit;
    int startZoom_ = 100;
    Qt::WindowStates initialState_ = Qt::WindowMaximized;
    bool shown_ = false;
    bool closed_ = false;
    bool busy_ = false;
    bool runEnded_ = false; // every page of the run is there
    bool closeWhenIdle_ = false;
    bool listing_ = false; // the search fills the result list
};

} // namespace preview
