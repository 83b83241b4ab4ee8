#include "platform/recordingcanvas.h"

#include "platform/fontmetrics.h"

#include <algorithm>
#include <iterator>

namespace platform {

RecordingCanvas::RecordingCanvas(int pixelsPerInchX, int pixelsPerInchY)
    : dpiX_(pixelsPerInchX), dpiY_(pixelsPerInchY)
{}

CanvasOp RecordingCanvas::current(CanvasOp::Kind kind) const
{
    CanvasOp op;
    op.kind = kind;
    op.brush = brush();
    op.pen = pen();
    op.font = font();
    return op;
}

void RecordingCanvas::fillRect(const TRect &rect)
{
    CanvasOp op = current(CanvasOp::Kind::FillRect);
    op.rect = rect;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::textOut(int x, int y, std::string_view text, TTextAlign align)
{
    CanvasOp op = current(CanvasOp::Kind::TextOut);
    op.x = x;
    op.y = y;
    op.text = std::string(text);
    op.align = align;
    ops_.push_back(std::move(op));
}

TSize RecordingCanvas::textExtent(std::string_view text)
{
    return fontMetrics(font(), dpiY_).extent(text);
}

void RecordingCanvas::setClipRect(const TRect &rect)
{
    CanvasOp op = current(CanvasOp::Kind::SetClip);
    op.rect = rect;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::clearClip() { ops_.push_back(current(CanvasOp::Kind::ClearClip)); }

std::vector<CanvasOp> RecordingCanvas::fills() const
{
    std::vector<CanvasOp> out;
    std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(out),
                 [](const CanvasOp &op) { return op.kind == CanvasOp::Kind::FillRect; });
    return out;
}

std::vector<CanvasOp> RecordingCanvas::texts() const
{
    std::vector<CanvasOp> out;
    std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(out),
                 [](const CanvasOp &op) { return op.kind == CanvasOp::Kind::TextOut; });
    return out;
}

} // namespace platform
