#include "platform/emf/emfplayer.h"

#include "platform/colour.h"
#include "platform/emf/emfformat.h"
#include "platform/fontmetrics.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

using namespace emf;

namespace {
// Larger fonts than any page holds are drawn at this size (a hostile file could ask for more).
constexpr int maxFontPixels = 2000;
} // namespace

EmfPlayer::EmfPlayer(QPainter &painter, const QRectF &target, int width, int height)
    : EmfPlayer(painter, target, QSizeF(width, height))
{}

EmfPlayer::EmfPlayer(QPainter &painter, const QRectF &target, const QSizeF &page)
    : painter_(painter)
{
    painter_.save();
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.translate(target.topLeft());
    if (page.width() > 0 && page.height() > 0)
        painter_.scale(target.width() / page.width(), target.height() / page.height());
    page_ = painter_.transform();
}

EmfPlayer::~EmfPlayer() { painter_.restore(); }

void EmfPlayer::useLogical() { painter_.setTransform(mapping_.logicalToPage() * page_); }

void EmfPlayer::patternFill(const TRect &r, std::uint32_t rasterOperation)
{
    const QRectF rect(r.Left, r.Top, r.width(), r.height());
    if (rasterOperation == BLACKNESS)
        painter_.fillRect(rect, Qt::black);
    else if (rasterOperation == WHITENESS)
        painter_.fillRect(rect, Qt::white);
    else if (rasterOperation == PATCOPY && !state_.brush.null)
        painter_.fillRect(rect, toQColor(state_.brush.color));
}

void EmfPlayer::rectangle(const TRect &box)
{
    const long long w = static_cast<long long>(box.Right) - box.Left;
    const long long h = static_cast<long long>(box.Bottom) - box.Top;
    if (w <= 0 || h <= 0)
        return;
    const QRectF rect(box.Left, box.Top, static_cast<qreal>(w), static_cast<qreal>(h));
    if (!state_.brush.null)
        painter_.fillRect(rect, toQColor(state_.brush.color));
    if (!state_.pen.null) {
        const qreal pw = state_.pen.width;
        painter_.setPen(QPen(toQColor(state_.pen.color), pw));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(rect.adjusted(pw / 2, pw / 2, -pw / 2, -pw / 2));
    }
}

void EmfPlayer::polygon(const std::vector<EmfPoint> &points)
{
    if (points.size() < 2)
        return;
    QPolygonF shape;
    shape.reserve(static_cast<qsizetype>(points.size()));
    for (const EmfPoint &p : points)
        shape.append(QPointF(p.X, p.Y));
    painter_.setBrush(state_.brush.null ? QBrush(Qt::NoBrush)
                                        : QBrush(toQColor(state_.brush.color)));
    if (state_.pen.null)
        painter_.setPen(Qt::NoPen);
    else
        painter_.setPen(QPen(toQColor(state_.pen.color), state_.pen.width));
    painter_.drawPolygon(shape, Qt::OddEvenFill); // ALTERNATE, a new device context's fill mode
}

void EmfPlayer::text(const EmfText &t)
{
    if (t.Text.empty())
        return;
    // The device lays the text out in its own pixels: the font's height and the advances are
    // scaled from logical units, the reference point is mapped, and the text reads upright
    // and left to right whichever way the mapping's axes point.
    const QTransform toDevice = mapping_.logicalToDevice();
    const qreal scaleX = std::abs(toDevice.m11());
    const qreal scaleY = std::abs(toDevice.m22());
    const int em = state_.font.height == 0
                       ? defaultFontPixels
                       : static_cast<int>(std::clamp(std::round(state_.font.height * scaleY), 1.0,
                                                     static_cast<double>(maxFontPixels)));
    const QPointF anchor = toDevice.map(QPointF(t.X, t.Y));
    if (t.Options & ETO_OPAQUE) {
        const TRect &r = t.Rectangle;
        painter_.fillRect(QRectF(r.Left, r.Top, qreal(r.Right) - r.Left, qreal(r.Bottom) - r.Top),
                          toQColor(state_.bkColor));
    }
    painter_.setTransform(QTransform::fromTranslate(anchor.x(), anchor.y()) *
                          mapping_.deviceToPage() * page_);
    drawText(t, em, scaleX);
    useLogical();
}

void EmfPlayer::drawText(const EmfText &t, int em, qreal advanceScale)
{
    const FontMetrics &metrics = fontMetrics(state_.font.style, em);
    TextRun run{t.Text, {}};
    run.advances.reserve(t.Text.size());
    const std::vector<qreal> own = t.Dx.size() < t.Text.size()
                                       ? text_.glyphAdvances(t.Text, state_.font.style, em)
                                       : std::vector<qreal>{};
    for (std::size_t i = 0; i < t.Text.size(); ++i)
        run.advances.push_back(i < t.Dx.size() ? t.Dx[i] * advanceScale : own[i]);

    const QPointF topLeft =
        placeRun(QPointF(0, 0), run.width(), metrics, horizontalAlign(), verticalAlign());
    if (state_.bkMode == OPAQUE)
        painter_.fillRect(QRectF(topLeft, QSizeF(run.width(), metrics.height())),
                          toQColor(state_.bkColor));
    text_.draw(painter_, run, topLeft, metrics, state_.font.style, state_.textColor);
}

void EmfPlayer::applyClip()
{
    if (state_.clip) {
        painter_.setTransform(page_);
        painter_.setClipRect(*state_.clip, Qt::ReplaceClip);
        useLogical();
    } else {
        painter_.setClipping(false);
    }
}

void EmfPlayer::resetClip()
{
    state_.clip.reset();
    applyClip();
}

void EmfPlayer::intersectClipRect(const TRect &r)
{
    // The clip stays where it was set on the page when the mapping changes later.
    const QRectF rect = mapping_.logicalToPage().mapRect(
        QRectF(r.Left, r.Top, qreal(r.Right) - r.Left, qreal(r.Bottom) - r.Top).normalized());
    state_.clip = state_.clip ? state_.clip->intersected(rect) : rect;
    applyClip();
}

} // namespace platform
