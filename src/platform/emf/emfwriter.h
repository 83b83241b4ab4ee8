#pragma once
// Writes the records of one enhanced metafile into memory: the header first (completed by
// finish() with byte, record and handle counts and the drawing bounds), EMR_EOF last.
// Object handles are numbered from 1 and reused once deleted, as GDI does.

#include "platform/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct EmfLogFont {
    std::int32_t Height = 0; // negative: character height in pixels
    std::int32_t Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::u16string FaceName;
};

class EmfWriter {
public:
    // A page of widthPx × heightPx pixels of a reference device with the given resolution.
    EmfWriter(int widthPx, int heightPx, int pixelsPerInchX, int pixelsPerInchY);

    std::uint32_t createFont(const EmfLogFont &font);
    std::uint32_t createBrush(std::uint32_t style, TColor color);
    std::uint32_t createPen(std::uint32_t style, int width, TColor color);
    void selectObject(std::uint32_t handle);
    void deleteObject(std::uint32_t handle);

    void setTextColor(TColor color);
    void setBkColor(TColor color);
    void setBkMode(std::uint32_t mode);
    void setTextAlign(std::uint32_t align);

    // A fill of the destination with the selected brush: BitBlt with a raster operation that
    // uses no source bitmap (PATCOPY).
    void patternBlt(const TRect &rect, std::uint32_t rasterOperation);
    // Rectangle with the selected pen and brush; `box` as passed to GDI.
    void rectangle(const TRect &box);
    // Text at reference point (x, y); `advances` holds one advance per character.
    void extTextOutW(int x, int y, const std::u16string &text,
                     const std::vector<std::int32_t> &advances, const TRect &bounds,
                     std::uint32_t options = 0);
    void extTextOutA(int x, int y, const std::string &text,
                     const std::vector<std::int32_t> &advances, const TRect &bounds,
                     std::uint32_t options = 0);

    void resetClip();
    void intersectClipRect(const TRect &rect);
    void saveDC();
    void restoreDC(std::int32_t relative);

    // Appends EMR_EOF, completes the header and hands over the bytes.
    std::vector<std::uint8_t> finish();

    int recordCount() const { return records_; }

private:
    std::size_t beginRecord(std::uint32_t type);
    void endRecord(std::size_t start);
    void put32(std::uint32_t value);
    void putI32(std::int32_t value) { put32(static_cast<std::uint32_t>(value)); }
    void putRect(const TRect &rect);
    void putAt(std::size_t offset, std::uint32_t value);
    void putRectAt(std::size_t offset, const TRect &rect);
    void putSizeAt(std::size_t offset, int cx, int cy);
    void addBounds(const TRect &inclusive);
    std::uint32_t allocateHandle();
    void textRecord(std::uint32_t type, int x, int y, const std::uint8_t *chars, std::size_t count,
                    std::size_t charSize, const std::vector<std::int32_t> &advances,
                    const TRect &bounds, std::uint32_t options);

    std::vector<std::uint8_t> bytes_;
    std::vector<bool> handlesInUse_{true}; // index 0 is the metafile itself
    int records_ = 0;
    int width_, height_, ppiX_, ppiY_;
    bool hasBounds_ = false;
    TRect bounds_;
    bool finished_ = false;
};

} // namespace platform
