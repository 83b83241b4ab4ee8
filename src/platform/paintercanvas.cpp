#include "platform/paintercanvas.h"

#include "platform/cp1252.h"
#include "platform/fontface.h"
#include "platform/fontmetrics.h"
#include "platform/fonts.h"

#include <QColor>
#include <QFile>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QVector>
#include <stdexcept>

namespace platform {

namespace {
QColor toQColor(TColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
} // namespace

PainterCanvas::PainterCanvas(QPainter &painter, int pixelsPerInchX, int pixelsPerInchY)
    : painter_(painter), dpiX_(pixelsPerInchX), dpiY_(pixelsPerInchY)
{
    if (const QPaintDevice *device = painter.device()) {
        if (dpiX_ <= 0)
            dpiX_ = device->logicalDpiX();
        if (dpiY_ <= 0)
            dpiY_ = device->logicalDpiY();
    }
}

void PainterCanvas::fillRect(const TRect &rect)
{
    if (brush().Style == TBrushStyle::bsClear || rect.width() <= 0 || rect.height() <= 0)
        return;
    painter_.fillRect(QRect(rect.Left, rect.Top, rect.width(), rect.height()),
                      toQColor(brush().Color));
}

const QRawFont &PainterCanvas::rawFont(unsigned style, int em)
{
    auto &font = rawFonts_[{style, em}];
    if (!font.isValid()) {
        // Through the family registered from the project's files, so that PDF output embeds
        // the font and its text stays text; the positions are ours in any case.
        QFont qfont(loadProjectFonts());
        qfont.setPixelSize(em);
        qfont.setBold((style & fsBold) != 0);
        qfont.setItalic((style & fsItalic) != 0);
        qfont.setHintingPreference(QFont::PreferNoHinting);
        qfont.setStyleStrategy(QFont::NoFontMerging);
        font = QRawFont::fromFont(qfont);
        if (!font.isValid())
            font = QRawFont(QString::fromStdString(faceForStyle(style).path()), em,
                            QFont::PreferNoHinting);
        if (!font.isValid())
            throw std::runtime_error("cannot load font file " + faceForStyle(style).path());
    }
    return font;
}

void PainterCanvas::textOut(int x, int y, std::string_view text, TTextAlign align)
{
    if (text.empty())
        return;
    const FontMetrics &metrics = fontMetrics(font(), dpiY_);
    const int width = metrics.width(text);
    int left = x;
    if (align == TTextAlign::Right)
        left = x - width;
    else if (align == TTextAlign::Center)
        left = x - width / 2;

    const unsigned style = font().Style & (fsBold | fsItalic);
    const QRawFont &face = rawFont(style, metrics.em());
    const QString unicode = toQString(text);
    QVector<quint32> glyphs = face.glyphIndexesForString(unicode);
    QVector<QPointF> positions;
    positions.reserve(glyphs.size());
    int pen = 0;
    for (const char c : text) {
        positions.append(QPointF(pen, 0));
        pen += metrics.advance(static_cast<unsigned char>(c));
    }
    glyphs.resize(positions.size());

    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline((font().Style & fsUnderline) != 0);
    run.setStrikeOut((font().Style & fsStrikeOut) != 0);
    painter_.save();
    painter_.setPen(toQColor(font().Color));
    painter_.drawGlyphRun(QPointF(left, y + metrics.ascent()), run);
    painter_.restore();
}

TSize PainterCanvas::textExtent(std::string_view text)
{
    return fontMetrics(font(), dpiY_).extent(text);
}

void PainterCanvas::setClipRect(const TRect &rect)
{
    painter_.setClipRect(QRect(rect.Left, rect.Top, rect.width(), rect.height()));
}

void PainterCanvas::clearClip() { painter_.setClipping(false); }

} // namespace platform
