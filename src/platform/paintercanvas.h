#pragma once
// The page canvas on a QPainter: printers, PDF files and the screen. Text is set glyph by glyph
// at the advances that the program's own measuring gives, from the same font files, so what is
// measured is what is drawn, on every device; the text painter is the one the EMF player uses.

#include "platform/canvas.h"
#include "platform/textrun.h"

class QPainter;

namespace platform {

class PainterCanvas : public Canvas {
public:
    // Draws through `painter` (which must outlive the canvas) in the painter's device pixels;
    // the resolution is the device's unless given.
    explicit PainterCanvas(QPainter &painter, int pixelsPerInchX = 0, int pixelsPerInchY = 0);

    int pixelsPerInchX() const override { return dpiX_; }
    int pixelsPerInchY() const override { return dpiY_; }
    void fillRect(const TRect &rect) override;
    void textOut(int x, int y, std::string_view text, TTextAlign align = TTextAlign::Left) override;
    TSize textExtent(std::string_view text) override;
    void setClipRect(const TRect &rect) override;
    void clearClip() override;

private:
    QPainter &painter_;
    int dpiX_;
    int dpiY_;
    TextPainter text_;
};

} // namespace platform
