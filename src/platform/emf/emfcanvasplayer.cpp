#include "platform/emf/emfcanvasplayer.h"

#include "platform/cp1252.h"
#include "platform/emf/emfformat.h"
#include "platform/fontmetrics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace platform {

using namespace emf;

namespace {
// Larger fonts than any page holds are drawn at this size (a hostile file could ask for more).
constexpr int maxFontPoints = 1000;

int whole(qreal v) { return static_cast<int>(std::lround(v)); }

TRect snapped(const QRectF &r)
{
    return {whole(r.left()), whole(r.top()), whole(r.right()), whole(r.bottom())};
}

std::string toCp1252(const EmfText &t)
{
    std::string bytes;
    bytes.reserve(t.Text.size());
    for (const char16_t c : t.Text) {
        const int byte = t.Wide ? unicodeToCp1252(c) : c;
        bytes.push_back(static_cast<char>(byte < 0 ? '?' : byte));
    }
    return bytes;
}

// The box of an upright rectangle given as its corners (closed or not), in logical units.
std::optional<TRect> uprightBox(const std::vector<EmfPoint> &points)
{
    std::vector<EmfPoint> corners = points;
    if (corners.size() == 5 && corners.front().X == corners.back().X &&
        corners.front().Y == corners.back().Y)
        corners.pop_back();
    if (corners.size() != 4)
        return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i) {
        const EmfPoint &a = corners[i], &b = corners[(i + 1) % 4];
        if (a.X != b.X && a.Y != b.Y)
            return std::nullopt; // a slanted side
    }
    const auto [minX, maxX] = std::minmax({corners[0].X, corners[1].X, corners[2].X, corners[3].X});
    const auto [minY, maxY] = std::minmax({corners[0].Y, corners[1].Y, corners[2].Y, corners[3].Y});
    return TRect{minX, minY, maxX, maxY};
}
} // namespace

EmfCanvasPlayer::EmfCanvasPlayer(Canvas &canvas, const TRect &target, const QSizeF &page)
    : canvas_(canvas), savedFont_(canvas.font()), savedBrush_(canvas.brush()),
      savedPen_(canvas.pen())
{
    const qreal sx = page.width() > 0 ? target.width() / page.width() : 1;
    const qreal sy = page.height() > 0 ? target.height() / page.height() : 1;
    page_ = QTransform(sx, 0, 0, sy, target.Left, target.Top);
    toCanvas_ = page_;
}

EmfCanvasPlayer::~EmfCanvasPlayer()
{
    canvas_.clearClip();
    canvas_.setFont(savedFont_);
    canvas_.setBrush(savedBrush_);
    canvas_.setPen(savedPen_);
}

QRectF EmfCanvasPlayer::onCanvas(const TRect &r) const
{
    return toCanvas_
        .mapRect(QRectF(r.Left, r.Top, qreal(r.Right) - r.Left, qreal(r.Bottom) - r.Top))
        .normalized();
}

void EmfCanvasPlayer::fill(const QRectF &rect, TColor color)
{
    const TRect cells = snapped(rect);
    if (cells.width() <= 0 || cells.height() <= 0)
        return;
    applyClip();
    canvas_.setBrush({color, TBrushStyle::bsSolid});
    canvas_.fillRect(cells);
}

void EmfCanvasPlayer::patternFill(const TRect &r, std::uint32_t rasterOperation)
{
    if (rasterOperation == BLACKNESS)
        fill(onCanvas(r), clBlack);
    else if (rasterOperation == WHITENESS)
        fill(onCanvas(r), clWhite);
    else if (rasterOperation == PATCOPY && !state_.brush.null)
        fill(onCanvas(r), state_.brush.color);
}

void EmfCanvasPlayer::drawBox(const QRectF &box)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    if (!state_.brush.null)
        fill(box, state_.brush.color);
    if (state_.pen.null)
        return;
    // The outline lies inside the box, as the page view draws it: four bands of the pen's width.
    const qreal w = std::max<qreal>(1, std::abs(toCanvas_.m11()) * state_.pen.width);
    const qreal h = std::max<qreal>(1, std::abs(toCanvas_.m22()) * state_.pen.width);
    const TColor c = state_.pen.color;
    fill(QRectF(box.left(), box.top(), box.width(), h), c);
    fill(QRectF(box.left(), box.bottom() - h, box.width(), h), c);
    fill(QRectF(box.left(), box.top(), w, box.height()), c);
    fill(QRectF(box.right() - w, box.top(), w, box.height()), c);
}

void EmfCanvasPlayer::rectangle(const TRect &box) { drawBox(onCanvas(box)); }

void EmfCanvasPlayer::polygon(const std::vector<EmfPoint> &points)
{
    if (const std::optional<TRect> box = uprightBox(points))
        drawBox(onCanvas(*box));
}

int EmfCanvasPlayer::pointSize() const
{
    return std::clamp(whole(fontPagePoints()), 1, maxFontPoints);
}

void EmfCanvasPlayer::text(const EmfText &t)
{
    if (t.Text.empty())
        return;
    if (t.Options & ETO_OPAQUE)
        fill(onCanvas(t.Rectangle), state_.bkColor);

    TFont font;
    font.Size = pointSize();
    font.Style = state_.font.style;
    font.Color = state_.textColor;
    canvas_.setFont(font);
    const std::string text = toCp1252(t);

    // The canvas places a text by its top edge and aligns it itself.
    const TTextAlign align = horizontalAlign();
    const FontMetrics &metrics = fontMetrics(font, canvas_.pixelsPerInchY());
    const QPointF anchor = toCanvas_.map(QPointF(t.X, t.Y));
    const int width = metrics.width(text);
    const QPointF topLeft = placeRun(QPointF(whole(anchor.x()), whole(anchor.y())), width, metrics,
                                     align, verticalAlign());
    if (state_.bkMode == OPAQUE)
        fill(QRectF(topLeft, QSizeF(width, metrics.height())), state_.bkColor);
    applyClip();
    canvas_.textOut(whole(anchor.x()), static_cast<int>(topLeft.y()), text, align);
}

void EmfCanvasPlayer::applyClip()
{
    if (!clipChanged_)
        return;
    clipChanged_ = false;
    if (state_.clip)
        canvas_.setClipRect(snapped(*state_.clip));
    else
        canvas_.clearClip();
}

void EmfCanvasPlayer::resetClip()
{
    state_.clip.reset();
    clipChanged_ = true;
}

void EmfCanvasPlayer::intersectClipRect(const TRect &r)
{
    // The clip stays where it was set on the page when the mapping changes later.
    const QRectF rect = onCanvas(r);
    state_.clip = state_.clip ? state_.clip->intersected(rect) : rect;
    clipChanged_ = true;
}

} // namespace platform
