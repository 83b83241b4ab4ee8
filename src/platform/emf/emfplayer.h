#pragma once
// Replays a metafile into any rectangle of a QPainter: the page's pixel grid is stretched over
// the rectangle, fonts are drawn at the scaled size and every character at its recorded
// position, so that the screen, thumbnails and paper show the same layout. Logical coordinates
// go through the metafile's mapping (map mode, window, viewport, reference device) as on the
// device that recorded it; text is laid out in that device's pixels and stays upright.

#include "platform/emf/emfdevicecontext.h"
#include "platform/textrun.h"

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

namespace platform {

class EmfPlayer : public EmfDeviceContext {
public:
    // `width` × `height`: the metafile's page in its own pixels.
    EmfPlayer(QPainter &painter, const QRectF &target, int width, int height);
    // The same with the page's size in those pixels as exactly as it is known.
    EmfPlayer(QPainter &painter, const QRectF &target, const QSizeF &page);
    ~EmfPlayer() override;

    void patternFill(const TRect &rect, std::uint32_t rasterOperation) override;
    void rectangle(const TRect &box) override;
    void polygon(const std::vector<EmfPoint> &points) override;
    void text(const EmfText &t) override;
    void resetClip() override;
    void intersectClipRect(const TRect &rect) override;

private:
    void mappingChanged() override { useLogical(); }
    void stateRestored() override { applyClip(); }
    void applyClip();
    // Draws the text with its reference point at the origin, in device pixels.
    void drawText(const EmfText &t, int em, qreal advanceScale);
    // The painter's transform for logical coordinates.
    void useLogical();

    QPainter &painter_;
    QTransform page_; // the page's pixels into the target
    TextPainter text_;
};

} // namespace platform
