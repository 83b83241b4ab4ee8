#include "preview/brpreview.h"

#include "output/brmessage.h"
#include "output/pagepaint.h"
#include "output/pagesearch.h"
#include "platform/length.h"
#include "platform/rounding.h"
#include "platform/screen.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace preview {

using output::FetchPage;
using output::msgPageAvailable;
using output::msgProgress;
using output::PaintPage;
using output::receivedMessage;
using output::TBRMessage;
using output::TBRPrinter;
using output::TBRZoomState;
using output::TPrinterSettings;

namespace {
// The messages carry their number in the low word, as the window messages always did.
constexpr std::intptr_t lowWord = 0xFFFF;
// Without a page output a letter-sized sheet at 100 % stands in, in screen pixels.
constexpr long double standInWidth = 215.9L;
constexpr long double standInLength = 279.4L;
// Whole page: the page takes 95 % of the limiting dimension; page width: 90 % of the width.
constexpr int fitShare = 95;
constexpr int widthShare = 90;
constexpr int percent = 100;
constexpr QSize initialViewSize(250, 250);
constexpr QSize initialImageSize(100, 50);
} // namespace

TBRPreviewImage::TBRPreviewImage(TBRPreview &view, QWidget *parent) : QWidget(parent), view_(view)
{
    resize(initialImageSize);
}

void TBRPreviewImage::ShowPage(int n)
{
    pageNumber_ = n;
    picture_.reset(); // only the page shown is held
    marks_.clear();
    if (TBRPrinter *output = view_.PageOutput())
        picture_ = FetchPage(*output, n);
    if (picture_ != nullptr && !view_.SearchText().empty())
        marks_ = output::TextHitBoxes(view_.SearchText(), *picture_, view_.SearchCaseMatters());
    update();
}

std::vector<QRectF> TBRPreviewImage::Marks() const
{
    std::vector<QRectF> shown;
    if (picture_ == nullptr || picture_->Width() <= 0 || picture_->Height() <= 0)
        return shown;
    // The page is stretched over the whole image.
    const qreal sx = width() / static_cast<qreal>(picture_->Width());
    const qreal sy = height() / static_cast<qreal>(picture_->Height());
    for (const QRectF &box : marks_)
        shown.emplace_back(box.x() * sx, box.y() * sy, box.width() * sx, box.height() * sy);
    return shown;
}

void TBRPreviewImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintPage(picture_.get(), painter, rect(), false);
    // A marker pen's yellow, translucent, so that the text stays legible under it.
    const QColor marker(255, 200, 0, 110);
    for (const QRectF &mark : Marks())
        painter.fillRect(mark.adjusted(-1, 0, 1, 0), marker);
}

TBRPreview::TBRPreview(QWidget *parent)
    : QAbstractScrollArea(parent), image_(new TBRPreviewImage(*this, viewport()))
{
    setFrameShape(QFrame::NoFrame);
    resize(initialViewSize);
    image_->move(0, 0);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setSingleStep(LineStep);
    verticalScrollBar()->setSingleStep(LineStep);
    setAccessibleName(QStringLiteral("Udskriftsvisning"));
}

TBRPreview::~TBRPreview() { detach(); }

void TBRPreview::detach()
{
    TBRPrinter *old = output_.load();
    if (old == nullptr)
        return;
    old->SetView(nullptr);
    if (old->Client() == this) {
        old->SetBeingPreviewed(false); // cancels a running job, raises the after-preview hook
        old->SetClient(nullptr);
    }
    output_ = nullptr;
}

void TBRPreview::PageOutputDestroyed(TBRPrinter &output)
{
    // Called on the destroying thread, which may be the run thread while the user-interface
    // thread waits for it: forget the page output and nothing else.
    TBRPrinter *expected = &output;
    output_.compare_exchange_strong(expected, nullptr);
}

void TBRPreview::SetPageOutput(TBRPrinter *output)
{
    detach();
    output_ = output;
    if (output != nullptr) {
        output->SetClient(this);
        output->SetView(this);
        output->SetBeingPreviewed(true);
    }
    SetPageNumber(1);
    image_->ShowPage(1);
    viewport()->update();
}

void TBRPreview::SetPageNumber(int page)
{
    TBRPrinter *output = PageOutput();
    if ((page == pageNumber_ && image_->HasPicture()) || page <= 0 || output == nullptr ||
        page > output->PageNumber())
        return;
    image_->ShowPage(page);
    pageNumber_ = page;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TBRPreview::SetSearchMark(const std::string &text, bool caseMatters)
{
    searchText_ = text;
    searchCaseMatters_ = caseMatters;
    image_->ShowPage(image_->PageNumber());
}

void TBRPreview::SetZoom(int zoom)
{
    if (zoom < MinZoom || zoom > MaxZoom)
        return;
    zoomState_ = TBRZoomState::brZoomOther;
    zoom_ = zoom;
    ApplyZoom();
}

std::pair<long double, long double> TBRPreview::paper() const
{
    const TBRPrinter *output = PageOutput();
    if (output == nullptr)
        return {0, 0};
    const TPrinterSettings &settings = output->Settings();
    return {settings.PaperWidth(), settings.PaperLength()};
}

int TBRPreview::paperPixels(long double native) const
{
    return static_cast<int>(
        platform::TLength::fromNative(native).roundedPixels(platform::screenPixelsPerInch()));
}

void TBRPreview::ZoomToFit()
{
    long double pw = standInWidth, ph = standInLength;
    if (PageOutput() != nullptr) {
        const auto [w, l] = paper();
        pw = paperPixels(w);
        ph = paperPixels(l);
    }
    if (pw > 0 && ph > 0) {
        const auto fw = static_cast<int>(platform::roundHalfEven(width() / pw * fitShare));
        const auto fh = static_cast<int>(platform::roundHalfEven(height() / ph * fitShare));
        const int z = fw < fh ? fw : fh;
        if (z >= MinZoom && z <= MaxZoom)
            zoom_ = z;
    }
    ApplyZoom();
    zoomState_ = TBRZoomState::brZoomToFit;
}

void TBRPreview::ZoomToWidth()
{
    long double pw = standInWidth;
    if (PageOutput() != nullptr)
        pw = paperPixels(paper().first);
    if (pw > 0) {
        const auto z = static_cast<int>(platform::roundHalfEven(width() / pw * widthShare));
        if (z >= MinZoom && z <= MaxZoom)
            zoom_ = z;
    }
    ApplyZoom();
    zoomState_ = TBRZoomState::brZoomToWidth;
}

void TBRPreview::ApplyZoom()
{
    long double w = 0, h = 0;
    if (PageOutput() != nullptr) {
        const auto [pw, pl] = paper();
        const long double ppi = platform::screenPixelsPerInch();
        w = pw * zoom_ / percent * ppi / platform::nativePerInch;
        h = pl * zoom_ / percent * ppi / platform::nativePerInch;
    } else {
        w = standInWidth * zoom_ / percent;
        h = standInLength * zoom_ / percent;
    }
    const int iw = static_cast<int>(platform::roundHalfEven(w)) + ImageBorder;
    const int ih = static_cast<int>(platform::roundHalfEven(h)) + ImageBorder;
    image_->SetZoom(zoom_);
    image_->resize(iw, ih);
    origin_ =
        QPoint(iw < width() ? (width() - iw) / 2 : 0, ih < height() ? (height() - ih) / 2 : 0);
    horizontalScrollBar()->setRange(0, std::max(0, origin_.x() + iw - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, origin_.y() + ih - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    placeImage();
    if (OnZoomApplied)
        OnZoomApplied(*this);
}

void TBRPreview::placeImage()
{
    image_->move(origin_.x() - horizontalScrollBar()->value(),
                 origin_.y() - verticalScrollBar()->value());
}

int TBRPreview::VerticalPosition() const { return verticalScrollBar()->value(); }

void TBRPreview::SetVerticalPosition(int position) { verticalScrollBar()->setValue(position); }

int TBRPreview::VerticalRange() const { return origin_.y() + image_->height(); }

void TBRPreview::refit()
{
    // Showing or hiding a scroll bar resizes the viewport, which comes back here.
    if (refitting_)
        return;
    refitting_ = true;
    if (zoomState_ == TBRZoomState::brZoomToFit)
        ZoomToFit();
    else if (zoomState_ == TBRZoomState::brZoomToWidth)
        ZoomToWidth();
    ApplyZoom();
    refitting_ = false;
}

void TBRPreview::customEvent(QEvent *event)
{
    const TBRMessage *message = receivedMessage(event);
    if (message == nullptr) {
        QAbstractScrollArea::customEvent(event);
        return;
    }
    const int value = static_cast<int>(message->WParam & lowWord);
    if (message->type() == msgPageAvailable) {
        TBRPrinter *output = PageOutput();
        if (value == pageNumber_ && !image_->HasPicture() && output != nullptr &&
            output->AvailablePageCount() >= image_->PageNumber())
            image_->ShowPage(image_->PageNumber());
        if (OnPageAvailable)
            OnPageAvailable(*this, value);
    } else if (message->type() == msgProgress) {
        if (OnProgressUpdate)
            OnProgressUpdate(*this, value);
    }
}

void TBRPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    refit();
}

void TBRPreview::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    refit();
}

void TBRPreview::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(*this, event->button());
    event->accept();
}

void TBRPreview::scrollContentsBy(int, int) { placeImage(); }

void TBRPreview::keyPressEvent(QKeyEvent *event)
{
    // The keys that move through the pages belong to the preview window; the view leaves them
    // alone instead of scrolling a second time.
    event->ignore();
}

} // namespace preview
