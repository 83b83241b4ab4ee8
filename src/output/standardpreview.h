#pragma once
// TBRStandardPreview, the preview window: a tool panel, the thumbnails and the search result
// in tabs beside the page view, and a status bar with the run's progress, the page shown and
// the preview status text. It shows the pages of one page output while the run still adds
// them, and tells the report when it closes (1028); from then on it never touches the page
// output again.

#include "output/previewsettings.h"

#include <QDialog>
#include <memory>

class QAbstractButton;
class QKeyEvent;
class QLabel;

namespace Ui {
class TBRStandardPreview;
}

namespace output {

class TBRPreview;
class TBRPrinter;
class TBRThumbGrid;

class TBRStandardPreview : public QDialog {
    Q_OBJECT
public:
    explicit TBRStandardPreview(const TBRPreviewRequest &request, QWidget *parent = nullptr);
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
    int ThumbWidth() const { return thumbWidth_; }
    int ThumbHeight() const { return thumbHeight_; }

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

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    TBRPrinter *output() const;

    std::unique_ptr<Ui::TBRStandardPreview> ui_;
    QLabel *panels_[3] = {};
    QObject *reportWindow_ = nullptr;
    bool landscape_ = false;
    int lastProgress_ = 0;
    int textHeight_ = 0;
    int thumbWidth_ = 0;
    int thumbHeight_ = 0;
    int horizontalMargin_ = 0;
    int verticalMargin_ = 0;
    bool showThumbs_ = true;
    bool showSearch_ = true;
    TBRZoomState initialZoom_ = TBRZoomState::brZoomToFit;
    int startZoom_ = 100;
    Qt::WindowStates initialState_ = Qt::WindowMaximized;
    bool shown_ = false;
    bool closed_ = false;
};

} // namespace output
