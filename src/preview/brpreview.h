#pragma once
// TBRPreview, the page view in the middle of the preview window: one page of a page output at
// a zoom, kept whole-page or page-wide when the view is resized, following the page output's
// messages (msgPageAvailable, msgProgress) while a run still adds pages. Its only child,
// TBRPreviewImage, holds the picture of the page shown and paints it.

#include "output/brprinter.h"
#include "output/previewsettings.h"
#include "platform/emf/emfmetafile.h"

#include <QAbstractScrollArea>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace preview {

class TBRPreview;

class TBRPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit TBRPreviewImage(TBRPreview &view, QWidget *parent);

    int PageNumber() const { return pageNumber_; }
    int Zoom() const { return zoom_; }
    void SetZoom(int zoom) { zoom_ = zoom; }
    bool HasPicture() const { return picture_ != nullptr; }
    const platform::TMetafile *Picture() const { return picture_.get(); }
    // Drops the picture held, takes page n from the page output (it may not be there yet) and
    // repaints at once.
    void ShowPage(int n);
    // Where the view's search text stands on the page shown, in the image's pixels: drawn
    // over the page here only, never into the page itself.
    std::vector<QRectF> Marks() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TBRPreview &view_;
    int pageNumber_ = 1;
    int zoom_ = 100;
    std::unique_ptr<platform::TMetafile> picture_;
    std::vector<QRectF> marks_; // in the page's pixels
};

class TBRPreview : public QAbstractScrollArea, private output::TBRPageOutputView {
    Q_OBJECT
public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 2000;
    // The image is the page plus its outline and shadow.
    static constexpr int ImageBorder = 4;
    static constexpr int LineStep = 20;

    explicit TBRPreview(QWidget *parent = nullptr);
    ~TBRPreview() override;

    // Attaches a page output (none detaches): the view becomes its client and marks it as
    // being previewed, and shows page 1.
    void SetPageOutput(output::TBRPrinter *output);
    output::TBRPrinter *PageOutput() const { return output_.load(); }

    int PageNumber() const { return pageNumber_; }
    void SetPageNumber(int page);
    int Zoom() const { return zoom_; }
    // Ignored outside 2..2000; otherwise a fixed zoom.
    void SetZoom(int zoom);
    output::TBRZoomState ZoomState() const { return zoomState_; }
    void ZoomToFit();
    void ZoomToWidth();
    void ApplyZoom();

    TBRPreviewImage &Image() const { return *image_; }
    // The text (Windows-1252) the last search looked for: every page shown marks where it
    // stands. An empty text marks nothing.
    void SetSearchMark(const std::string &text, bool caseMatters);
    const std::string &SearchText() const { return searchText_; }
    bool SearchCaseMatters() const { return searchCaseMatters_; }
    // The page's corner in the view when the view is not scrolled.
    QPoint ImageOrigin() const { return origin_; }

    // The vertical scroll bar as the keys move through a page: its position, and the range it
    // scrolls over (the image's bottom edge).
    int VerticalPosition() const;
    void SetVerticalPosition(int position);
    int VerticalRange() const;

    std::function<void(TBRPreview &sender, int pageNum)> OnPageAvailable;
    std::function<void(TBRPreview &sender, int progress)> OnProgressUpdate;
    std::function<void(TBRPreview &sender, Qt::MouseButton button)> OnMouseDown;
    // After every zoom applied, whichever way the zoom came.
    std::function<void(TBRPreview &sender)> OnZoomApplied;

protected:
    void customEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void PageOutputDestroyed(output::TBRPrinter &output) override;
    void detach();
    // The paper of the page output in native units, turned as the pages are.
    std::pair<long double, long double> paper() const;
    int paperPixels(long double native) const;
    void refit();
    void placeImage();

    std::atomic<output::TBRPrinter *> output_{nullptr};
    TBRPreviewImage *image_;
    int pageNumber_ = 1;
    int zoom_ = 100;
    output::TBRZoomState zoomState_ = output::TBRZoomState::brZoomOther;
    QPoint origin_;
    bool refitting_ = false;
    std::string searchText_;
    bool searchCaseMatters_ = false;
};

} // namespace preview
