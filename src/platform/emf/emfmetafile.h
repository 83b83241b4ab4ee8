#pragma once
// One recorded page: the bytes of a complete enhanced metafile in its standard file layout,
// checked when it is made, with its size in pixels, its replay and its texts.

#include "platform/emf/emfreader.h"

#include <QPainter>
#include <QRectF>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class TMetafile {
public:
    // Checks every record; throws EmfError for a metafile that does not add up. Bytes after
    // the length given in the header are dropped.
    explicit TMetafile(std::vector<std::uint8_t> bytes);

    const std::vector<std::uint8_t> &bytes() const { return bytes_; }
    const EmfHeader &header() const { return header_; }
    // The page in pixels at 96 pixels per inch, from the frame in its header.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Replays the page stretched over `target`.
    void play(QPainter &painter, const QRectF &target) const;
    // The same onto a page canvas, over `target` in its pixels.
    void play(Canvas &canvas, const TRect &target) const;
    // The texts of the text-output records (8-bit and 16-bit), in drawing order, as
    // Windows-1252.
    std::vector<std::string> texts() const;
    // The same walk into any handler.
    void walk(EmfHandler &handler) const;

    bool operator==(const TMetafile &other) const { return bytes_ == other.bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    EmfHeader header_;
    int width_ = 0;
    int height_ = 0;
};

// The texts of every text-output record of a metafile, in drawing order, with their reference
// points in the page's pixels (the grid of Width() × Height()), mapped as the player maps them.
class EmfTextEnumerator : public EmfHandler {
public:
    void mapping(const EmfMapping &m) override { mapping_ = m; }
    void text(const EmfText &t) override;
    std::vector<std::string> Texts;
    std::vector<QPointF> Positions;

private:
    EmfMapping mapping_;
};

} // namespace platform
