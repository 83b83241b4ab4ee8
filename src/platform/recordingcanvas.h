#pragma once
// A canvas that draws nothing and keeps a list of what was drawn on it, measuring text like
// every other canvas of the program. Tests read the list to check geometry to the pixel.

#include "platform/canvas.h"
#include "platform/units.h"

#include <string>
#include <vector>

namespace platform {

struct CanvasOp {
    enum class Kind { FillRect, TextOut, SetClip, ClearClip };
    Kind kind = Kind::FillRect;
    TRect rect;       // FillRect, SetClip
    TBrush brush;     // brush in force
    TPen pen;         // pen in force
    TFont font;       // font in force
    int x = 0, y = 0; // TextOut
    std::string text; // TextOut
    TTextAlign align = TTextAlign::Left;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(int pixelsPerInchX = screenDpi, int pixelsPerInchY = screenDpi);

    int pixelsPerInchX() const override { return dpiX_; }
    int pixelsPerInchY() const override { return dpiY_; }
    void fillRect(const TRect &rect) override;
    void textOut(int x, int y, std::string_view text, TTextAlign align = TTextAlign::Left) override;
    TSize textExtent(std::string_view text) override;
    void setClipRect(const TRect &rect) override;
    void clearClip() override;

    const std::vector<CanvasOp> &ops() const { return ops_; }
    std::vector<CanvasOp> fills() const;
    std::vector<CanvasOp> texts() const;
    void clear() { ops_.clear(); }

private:
    CanvasOp current(CanvasOp::Kind kind) const;

    int dpiX_;
    int dpiY_;
    std::vector<CanvasOp> ops_;
};

} // namespace platform
