#include "output/pagepaint.h"

#include "output/brprinter.h"

#include <exception>

namespace output {

namespace {
constexpr int shadowWidth = 2;
} // namespace

void PaintPage(const platform::TMetafile *picture, QPainter &painter, const QRect &rect, bool frame)
{
    if (picture == nullptr && !frame)
        return;
    const int l = rect.left(), t = rect.top();
    const int w = rect.width(), h = rect.height();
    const int r = l + w, b = t + h;
    painter.save();
    // The paper, outline and shadow lie on whole pixels and are drawn without smoothing, so
    // their edges stay sharp at every zoom; the page itself is smoothed.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(l, t, w - shadowWidth, h - shadowWidth), Qt::white);
    if (picture != nullptr) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        picture->play(painter, QRectF(rect));
        painter.restore();
    }
    // The outline through (l, t), (l, b - 2), (r - 2, b - 2), (r - 2, t), one pixel wide.
    const int right = l + w - shadowWidth, bottom = t + h - shadowWidth;
    painter.fillRect(QRect(l, t, right - l + 1, 1), Qt::black);
    painter.fillRect(QRect(l, bottom, right - l + 1, 1), Qt::black);
    painter.fillRect(QRect(l, t, 1, bottom - t + 1), Qt::black);
    painter.fillRect(QRect(right, t, 1, bottom - t + 1), Qt::black);
    // The drop shadow: (r - 2, t + 2)-(r, b) and (l + 2, b - 2)-(r, b).
    painter.fillRect(QRect(right, t + shadowWidth, r - right, b - t - shadowWidth), Qt::black);
    painter.fillRect(QRect(l + shadowWidth, bottom, r - l - shadowWidth, b - bottom), Qt::black);
    painter.restore();
}

std::unique_ptr<platform::TMetafile> FetchPage(TBRPrinter &output, int n)
{
    try {
        return output.GetPage(n);
    } catch (const std::exception &) {
        return nullptr; // the page's record or drawing does not add up: nothing to show
    }
}

} // namespace output
