#include "platform/textrun.h"

#include "platform/colour.h"
#include "platform/cp1252.h"
#include "platform/fontmetrics.h"
#include "platform/fonts.h"

#include <QColor>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numeric>

namespace platform {

namespace {
// Glyphs go through Qt's glyph cache only at sizes and shapes a page view or a printer uses;
// others are filled as outlines (the cache fails on extreme, very uneven scales) and glyphs
// smaller than a device pixel are not drawn.
constexpr qreal maxCachedGlyphPixels = 400;
constexpr qreal maxCachedGlyphStretch = 4;
constexpr qreal minVisibleGlyphPixels = 0.5;

QString unicodeOf(const std::u16string &text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}
} // namespace

qreal TextRun::width() const { return std::accumulate(advances.begin(), advances.end(), qreal{0}); }

TextRun measuredRun(std::string_view text, const FontMetrics &metrics)
{
    TextRun run;
    run.text.reserve(text.size());
    run.advances.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        run.text.push_back(cp1252ToUnicode(byte));
        run.advances.push_back(metrics.advance(byte));
    }
    return run;
}

QPointF placeRun(const QPointF &reference, qreal width, const FontMetrics &metrics,
                 TTextAlign align, TextVertical vertical)
{
    qreal left = reference.x();
    if (align == TTextAlign::Right)
        left -= width;
    else if (align == TTextAlign::Center)
        left -= std::trunc(width / 2);
    qreal top = reference.y();
    if (vertical == TextVertical::Baseline)
        top -= metrics.ascent();
    else if (vertical == TextVertical::Bottom)
        top -= metrics.height();
    return {left, top};
}

const QRawFont &TextPainter::face(unsigned style, int em)
{
    QRawFont &font = faces_[{style & (fsBold | fsItalic), em}];
    if (!font.isValid())
        font = rawFont(style & (fsBold | fsItalic), em);
    return font;
}

std::vector<qreal> TextPainter::glyphAdvances(const std::u16string &text, unsigned style, int em)
{
    const QRawFont &font = face(style, em);
    const QList<QPointF> advances =
        font.advancesForGlyphIndexes(font.glyphIndexesForString(unicodeOf(text)));
    std::vector<qreal> out(text.size(), 0);
    for (qsizetype i = 0; i < advances.size() && static_cast<std::size_t>(i) < out.size(); ++i)
        out[static_cast<std::size_t>(i)] = advances[i].x();
    return out;
}

void TextPainter::draw(QPainter &painter, const TextRun &run, const QPointF &topLeft,
                       const FontMetrics &metrics, unsigned style, TColor color)
{
    if (run.text.empty())
        return;
    const int em = metrics.em();
    const QTransform &m = painter.worldTransform();
    const qreal emX = em * std::hypot(m.m11(), m.m12());
    const qreal emY = em * std::hypot(m.m21(), m.m22());
    if (emX < minVisibleGlyphPixels || emY < minVisibleGlyphPixels)
        return;

    const QRawFont &font = face(style, em);
    QList<quint32> glyphs = font.glyphIndexesForString(unicodeOf(run.text));
    glyphs.resize(static_cast<qsizetype>(run.text.size()));
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal pen = 0;
    for (const qreal advance : run.advances) {
        positions.append(QPointF(pen, 0));
        pen += advance;
    }
    positions.resize(glyphs.size());

    const QColor qcolor = toQColor(color);
    const QPointF origin(topLeft.x(), topLeft.y() + metrics.ascent());
    painter.save();
    if (emX <= maxCachedGlyphPixels && emY <= maxCachedGlyphPixels &&
        emX <= emY * maxCachedGlyphStretch && emY <= emX * maxCachedGlyphStretch) {
        QGlyphRun glyphRun;
        glyphRun.setRawFont(font);
        glyphRun.setGlyphIndexes(glyphs);
        glyphRun.setPositions(positions);
        glyphRun.setUnderline((style & fsUnderline) != 0);
        glyphRun.setStrikeOut((style & fsStrikeOut) != 0);
        painter.setPen(qcolor);
        painter.drawGlyphRun(origin, glyphRun);
    } else {
        QPainterPath outlines;
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            outlines.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
        painter.fillPath(outlines, qcolor);
    }
    painter.restore();
}

} // namespace platform
