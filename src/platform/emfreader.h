#pragma once
// One walker over the records of an enhanced metafile, feeding interchangeable handlers (the
// painter player, the text enumeration, the checks of the page store). Every size, count,
// offset and object index is checked against the data before use; records the walker does
// not know are skipped. A metafile that does not add up raises EmfError.

#include "platform/canvas.h"
#include "platform/emfwriter.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class EmfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct EmfHeader {
    TRect Bounds; // inclusive, device pixels
    TRect Frame;  // inclusive, hundredths of a millimetre
    std::uint32_t Bytes = 0;
    std::uint32_t Records = 0;
    std::uint32_t Handles = 0;
    std::uint32_t HeaderSize = 0;
    TSize Device;      // reference device, pixels
    TSize Millimeters; // reference device, millimetres
};

struct EmfText {
    bool Wide = true; // EMR_EXTTEXTOUTW; false for the 8-bit EMR_EXTTEXTOUTA
    int X = 0, Y = 0; // reference point
    std::uint32_t Options = 0;
    TRect Rectangle;              // clipping or opaquing rectangle (Options)
    std::u16string Text;          // 16-bit text; an 8-bit text holds its bytes widened
    std::vector<std::int32_t> Dx; // advance of each character, empty when not recorded
};

class EmfHandler {
public:
    virtual ~EmfHandler() = default;
    virtual void header(const EmfHeader &) {}
    virtual void createFont(std::uint32_t, const EmfLogFont &) {}
    virtual void createBrush(std::uint32_t, std::uint32_t /*style*/, TColor) {}
    virtual void createPen(std::uint32_t, std::uint32_t /*style*/, int /*width*/, TColor) {}
    virtual void selectObject(std::uint32_t) {}
    virtual void deleteObject(std::uint32_t) {}
    virtual void setTextColor(TColor) {}
    virtual void setBkColor(TColor) {}
    virtual void setBkMode(std::uint32_t) {}
    virtual void setTextAlign(std::uint32_t) {}
    // A BitBlt without source: `rect` excludes its right column and bottom row.
    virtual void patternFill(const TRect &, std::uint32_t /*rasterOperation*/) {}
    // EMR_RECTANGLE: the box as given to GDI.
    virtual void rectangle(const TRect &) {}
    virtual void text(const EmfText &) {}
    virtual void resetClip() {}
    virtual void intersectClipRect(const TRect &) {}
    virtual void saveDC() {}
    virtual void restoreDC(std::int32_t) {}
};

// Checks the header at the start of `data` and returns it. `size` is what is available; the
// metafile itself may be shorter (its header tells its length).
EmfHeader readEmfHeader(const std::uint8_t *data, std::size_t size);

// Walks every record of the metafile at the start of `data`.
void walkEmf(const std::uint8_t *data, std::size_t size, EmfHandler &handler);

inline std::uint32_t readLe32(const std::uint8_t *p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace platform
