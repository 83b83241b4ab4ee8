#pragma once
// The page canvas on a QPainter: printers, PDF files and the screen. Text is set glyph by glyph
// at the advances that the program's own measuring gives, from the same font files, so what is
// measured is what is drawn, on every device.

#include "platform/canvas.h"

#include <QRawFont>
#include <map>
#include <utility>

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
    const QRawFont &rawFont(unsigned style, int em);

    QPainter &painter_;
    int dpiX_;
    int dpiY_;
    std::map<std::pair<unsigned, int>, QRawFont> rawFonts_;
};

} // namespace platform
