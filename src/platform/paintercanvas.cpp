#include "platform/paintercanvas.h"

#include "platform/colour.h"
#include "platform/fontmetrics.h"

#include <QPaintDevice>
#include <QPainter>

namespace platform {

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

void PainterCanvas::textOut(int x, int y, std::string_view text, TTextAlign align)
{
    const FontMetrics &metrics = fontMetrics(font(), dpiY_);
    const TextRun run = measuredRun(text, metrics);
    text_.draw(painter_, run, placeRun(QPointF(x, y), run.width(), metrics, align), metrics,
               font().Style, font().Color);
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
