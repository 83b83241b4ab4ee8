#pragma once
// Replays a metafile onto a page canvas, for devices that draw only through the canvas (the
// export filters): a page kept in the page store, or loaded from a saved report file, reaches
// a file the way a report run draws it. The page's pixel grid is stretched over a rectangle of
// the canvas; fills become filled rectangles, texts are drawn again at their reference points
// in the font size of the recording (whole points) and laid out by the canvas, and clipping
// follows the page's. A canvas draws no slanted shapes: a polygon that is not an upright
// rectangle is left out (the page store records none).

#include "platform/canvas.h"
#include "platform/emf/emfdevicecontext.h"

#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <optional>
#include <vector>

namespace platform {

class EmfCanvasPlayer : public EmfDeviceContext {
public:
    // `page`: the metafile's page in its own pixels; `target`: where it goes on the canvas.
    EmfCanvasPlayer(Canvas &canvas, const TRect &target, const QSizeF &page);
    // The canvas gets back its font, brush, pen and an unclipped page.
    ~EmfCanvasPlayer() override;
    EmfCanvasPlayer(const EmfCanvasPlayer &) = delete;
    EmfCanvasPlayer &operator=(const EmfCanvasPlayer &) = delete;

    void patternFill(const TRect &rect, std::uint32_t rasterOperation) override;
    void rectangle(const TRect &box) override;
    void polygon(const std::vector<EmfPoint> &points) override;
    void text(const EmfText &t) override;
    void resetClip() override;
    void intersectClipRect(const TRect &rect) override;

private:
    void mappingChanged() override { toCanvas_ = mapping_.logicalToPage() * page_; }
    void stateRestored() override { clipChanged_ = true; }
    // A logical rectangle (right column and bottom row excluded) in canvas pixels.
    QRectF onCanvas(const TRect &logical) const;
    void fill(const QRectF &rect, TColor color);
    // The box filled with the brush and outlined with the pen, as a device draws a rectangle.
    void drawBox(const QRectF &box);
    // The font's size in whole points, from its height on the recording device.
    int pointSize() const;
    // The clip goes to the canvas when something is drawn under it: a reset followed by a new
    // rectangle is one change.
    void applyClip();

    Canvas &canvas_;
    const TFont savedFont_;
    const TBrush savedBrush_;
    const TPen savedPen_;
    QTransform page_;     // the page's pixels onto the canvas
    QTransform toCanvas_; // logical coordinates onto the canvas
    bool clipChanged_ = false;
};

} // namespace platform
