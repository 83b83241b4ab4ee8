#pragma once
// The drawing surface of a recorded page: every call is written as enhanced metafile records
// while the run draws. Texts are written as 16-bit text with the measured advance of every
// character, so that a replay at any scale keeps the positions measured while recording.
// Objects are written only when a drawing call needs them.

#include "platform/canvas.h"
#include "platform/emf/emfmetafile.h"
#include "platform/emf/emfwriter.h"
#include "platform/fontmetrics.h"
#include "platform/units.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class EmfCanvas : public Canvas {
public:
    // A page of widthPx × heightPx on a reference device with the given resolution (the
    // screen: 96 pixels per inch).
    EmfCanvas(int widthPx, int heightPx, int pixelsPerInch = screenDpi);
    ~EmfCanvas() override;

    int pixelsPerInchX() const override { return ppi_; }
    int pixelsPerInchY() const override { return ppi_; }
    void fillRect(const TRect &rect) override;
    void textOut(int x, int y, std::string_view text, TTextAlign align = TTextAlign::Left) override;
    TSize textExtent(std::string_view text) override;
    void setClipRect(const TRect &rect) override;
    void clearClip() override;

    // Completes the metafile; the canvas takes no more drawing afterwards.
    TMetafile finish();

    int width() const { return width_; }
    int height() const { return height_; }

private:
    void realizeBrush();
    void realizePen();
    void realizeFont();

    EmfWriter writer_;
    int width_, height_, ppi_;

    // What the metafile has selected at present.
    std::uint32_t fontHandle_ = 0, brushHandle_ = 0, penHandle_ = 0;
    bool fontWritten_ = false, brushWritten_ = false, penWritten_ = false;
    TFont writtenFont_;
    TBrush writtenBrush_;
    TPen writtenPen_;
    TColor writtenTextColor_ = clBlack;
    std::uint32_t writtenAlign_ = 0;
    const FontMetrics *metrics_ = nullptr; // of writtenFont_
    bool finished_ = false;
};

} // namespace platform
