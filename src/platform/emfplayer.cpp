#include "platform/emfplayer.h"

#include "platform/emfformat.h"
#include "platform/fontface.h"
#include "platform/fontmetrics.h"

#include <QGlyphRun>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

using namespace emf;

namespace {
// Bounds of the save stack and of the object table that a hostile file could inflate.
constexpr std::size_t maxSavedStates = 1024;
constexpr int defaultFontPixels = 12;
constexpr int boldFromWeight = 600;
constexpr std::uint32_t BLACK_BRUSH = 4;
constexpr std::uint32_t WHITE_PEN = 6;
// Larger fonts than any page holds are drawn at this size (a hostile file could ask for more).
constexpr int maxFontPixels = 2000;
// Glyphs go through Qt's glyph cache only at sizes and shapes a page view or a printer uses;
// others are filled as outlines (the cache fails on extreme, very uneven scales) and glyphs
// smaller than a device pixel are not drawn.
constexpr qreal maxCachedGlyphPixels = 400;
constexpr qreal maxCachedGlyphStretch = 4;
constexpr qreal minVisibleGlyphPixels = 0.5;

QColor toQColor(TColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
} // namespace

EmfPlayer::EmfPlayer(QPainter &painter, const QRectF &target, int width, int height)
    : painter_(painter)
{
    painter_.save();
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.translate(target.topLeft());
    if (width > 0 && height > 0)
        painter_.scale(target.width() / width, target.height() / height);
    state_.font.em = defaultFontPixels;
}

EmfPlayer::~EmfPlayer() { painter_.restore(); }

void EmfPlayer::header(const EmfHeader &h) { objects_.assign(h.Handles, std::monostate{}); }

void EmfPlayer::createFont(std::uint32_t index, const EmfLogFont &lf)
{
    FontObject font;
    font.em =
        lf.Height == 0 ? defaultFontPixels : std::clamp(std::abs(lf.Height), 1, maxFontPixels);
    font.style = (lf.Weight >= boldFromWeight ? fsBold : 0u) | (lf.Italic ? fsItalic : 0u) |
                 (lf.Underline ? fsUnderline : 0u) | (lf.StrikeOut ? fsStrikeOut : 0u);
    objects_[index] = font;
}

const QRawFont &EmfPlayer::rawFont(unsigned style, int em)
{
    QRawFont &font = rawFonts_[{style, em}];
    if (!font.isValid()) {
        font = QRawFont(QString::fromStdString(faceForStyle(style).path()), em,
                        QFont::PreferNoHinting);
        if (!font.isValid())
            throw std::runtime_error("cannot load font file " + faceForStyle(style).path());
    }
    return font;
}

void EmfPlayer::createBrush(std::uint32_t index, std::uint32_t style, TColor color)
{
    objects_[index] = BrushObject{style == BS_NULL, color};
}

void EmfPlayer::createPen(std::uint32_t index, std::uint32_t style, int width, TColor color)
{
    objects_[index] = PenObject{(style & PS_STYLE_MASK) == PS_NULL, std::max(width, 1), color};
}

void EmfPlayer::selectObject(std::uint32_t index)
{
    if (index & stockObjectFlag) {
        switch (index & ~stockObjectFlag) {
        case WHITE_BRUSH:
            state_.brush = {false, clWhite};
            break;
        case BLACK_BRUSH:
            state_.brush = {false, clBlack};
            break;
        case NULL_BRUSH:
            state_.brush = {true, clWhite};
            break;
        case BLACK_PEN:
            state_.pen = {false, 1, clBlack};
            break;
        case WHITE_PEN:
            state_.pen = {false, 1, clWhite};
            break;
        case NULL_PEN:
            state_.pen = {true, 1, clBlack};
            break;
        default:
            break;
        }
        return;
    }
    const Object &object = objects_[index];
    if (const auto *f = std::get_if<FontObject>(&object))
        state_.font = *f;
    else if (const auto *b = std::get_if<BrushObject>(&object))
        state_.brush = *b;
    else if (const auto *p = std::get_if<PenObject>(&object))
        state_.pen = *p;
}

void EmfPlayer::deleteObject(std::uint32_t index) { objects_[index] = std::monostate{}; }

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

void EmfPlayer::text(const EmfText &t)
{
    if (t.Text.empty())
        return;
    const unsigned faceStyle = state_.font.style & (fsBold | fsItalic);
    const QRawFont &font = rawFont(faceStyle, state_.font.em);
    const FontMetrics metrics(faceForStyle(faceStyle), state_.font.em);
    const QString unicode(reinterpret_cast<const QChar *>(t.Text.data()),
                          static_cast<qsizetype>(t.Text.size()));
    QList<quint32> glyphs = font.glyphIndexesForString(unicode);
    glyphs.resize(static_cast<qsizetype>(t.Text.size()));
    const QList<QPointF> fontAdvances = font.advancesForGlyphIndexes(glyphs);

    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal total = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        positions.append(QPointF(total, 0));
        total += static_cast<std::size_t>(i) < t.Dx.size() ? t.Dx[static_cast<std::size_t>(i)]
                                                           : fontAdvances[i].x();
    }
    qreal x = t.X;
    const std::uint32_t horizontal = state_.textAlign & TA_HORIZONTAL_MASK;
    if (horizontal == TA_CENTER)
        x -= std::trunc(total / 2); // whole pixels, as the device computes it
    else if (horizontal == TA_RIGHT)
        x -= total;
    qreal top = t.Y;
    const std::uint32_t vertical = state_.textAlign & TA_VERTICAL_MASK;
    if (vertical == TA_BASELINE)
        top -= metrics.ascent();
    else if (vertical == TA_BOTTOM)
        top -= metrics.height();

    if (t.Options & ETO_OPAQUE) {
        const TRect &r = t.Rectangle;
        painter_.fillRect(QRectF(r.Left, r.Top, qreal(r.Right) - r.Left, qreal(r.Bottom) - r.Top),
                          toQColor(state_.bkColor));
    }
    if (state_.bkMode == OPAQUE)
        painter_.fillRect(QRectF(x, top, total, metrics.height()), toQColor(state_.bkColor));

    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline((state_.font.style & fsUnderline) != 0);
    run.setStrikeOut((state_.font.style & fsStrikeOut) != 0);
    const QTransform &m = painter_.worldTransform();
    const qreal emX = state_.font.em * std::hypot(m.m11(), m.m12());
    const qreal emY = state_.font.em * std::hypot(m.m21(), m.m22());
    if (emX < minVisibleGlyphPixels || emY < minVisibleGlyphPixels)
        return;
    const QPointF origin(x, top + metrics.ascent());
    if (emX <= maxCachedGlyphPixels && emY <= maxCachedGlyphPixels &&
        emX <= emY * maxCachedGlyphStretch && emY <= emX * maxCachedGlyphStretch) {
        painter_.setPen(toQColor(state_.textColor));
        painter_.drawGlyphRun(origin, run);
        return;
    }
    QPainterPath outlines;
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        outlines.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    painter_.fillPath(outlines, toQColor(state_.textColor));
}

void EmfPlayer::applyClip()
{
    if (state_.clip)
        painter_.setClipRect(*state_.clip, Qt::ReplaceClip);
    else
        painter_.setClipping(false);
}

void EmfPlayer::resetClip()
{
    state_.clip.reset();
    applyClip();
}

void EmfPlayer::intersectClipRect(const TRect &r)
{
    const QRectF rect(r.Left, r.Top, qreal(r.Right) - r.Left, qreal(r.Bottom) - r.Top);
    state_.clip = state_.clip ? state_.clip->intersected(rect) : rect;
    applyClip();
}

void EmfPlayer::saveDC()
{
    if (saved_.size() < maxSavedStates)
        saved_.push_back(state_);
}

void EmfPlayer::restoreDC(std::int32_t relative)
{
    // Negative: that many states back; positive: the absolute state number.
    std::size_t keep;
    if (relative < 0) {
        const std::size_t back = static_cast<std::size_t>(-static_cast<long long>(relative));
        if (back > saved_.size())
            return;
        keep = saved_.size() - back;
    } else {
        if (relative < 1 || static_cast<std::size_t>(relative) > saved_.size())
            return;
        keep = static_cast<std::size_t>(relative) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
    applyClip();
}

} // namespace platform
