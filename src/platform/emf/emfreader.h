#pragma once
// One walker over the records of an enhanced metafile, feeding interchangeable handlers (the
// painter player, the text enumeration, the checks of the page store). Every size, offset and
// object index is checked against the data before use; records the walker does not know are
// skipped. A metafile that does not add up raises EmfError. The header's record count is only
// advisory (other writers leave records out of it): the header's byte length and the end
// record bound the walk.

#include "platform/canvas.h"
#include "platform/emf/emfwriter.h"
#include "platform/units.h"

#include <QPointF>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <optional>
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
    std::uint32_t Records = 0; // as its writer counted them: advisory, not every writer agrees
    std::uint32_t Handles = 0;
    std::uint32_t HeaderSize = 0;
    TSize Device;      // reference device, pixels
    TSize Millimeters; // reference device, millimetres
    TSize Micrometers; // the same more precisely; 0 × 0 when the header has no such extension
};

// Depth of the device context's save stack; deeper saves are ignored, by every handler alike.
inline constexpr std::size_t maxSavedStates = 1024;
// The stack depth left by a RestoreDC of `relative` with `depth` states saved (negative: that
// many back; positive: the absolute state number); none when the record asks for no saved
// state.
std::optional<std::size_t> restoredDepth(std::size_t depth, std::int32_t relative);

// The coordinate mapping of the device context: the map mode with its window and viewport turn
// logical coordinates into pixels of the reference device, and the header's reference device
// and frame turn those into the page's pixels (96 per inch, TMetafile's Width × Height grid).
class EmfMapping {
public:
    EmfMapping() = default;
    explicit EmfMapping(const EmfHeader &header);

    void setMapMode(std::uint32_t mode);
    void setWindowOrg(std::int32_t x, std::int32_t y);
    void setWindowExt(std::int32_t cx, std::int32_t cy);
    void setViewportOrg(std::int32_t x, std::int32_t y);
    void setViewportExt(std::int32_t cx, std::int32_t cy);

    std::uint32_t mapMode() const { return mode_; }
    QTransform logicalToDevice() const;
    QTransform deviceToPage() const;
    QTransform logicalToPage() const { return logicalToDevice() * deviceToPage(); }

private:
    void fixIsotropic();

    std::uint32_t mode_ = 1; // MM_TEXT
    double windowOrgX_ = 0, windowOrgY_ = 0, viewportOrgX_ = 0, viewportOrgY_ = 0;
    double windowExtX_ = 1, windowExtY_ = 1, viewportExtX_ = 1, viewportExtY_ = 1;
    // The reference device: pixels and micrometres across.
    double devicePixelsX_ = 1, devicePixelsY_ = 1;
    double deviceMicrometersX_ = static_cast<double>(micrometresPerInch) / screenDpi,
           deviceMicrometersY_ = static_cast<double>(micrometresPerInch) / screenDpi;
    double pageScaleX_ = 1, pageScaleY_ = 1, pageOffsetX_ = 0, pageOffsetY_ = 0;
};

struct EmfPoint {
    std::int32_t X = 0, Y = 0;
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
    // The mapping from logical coordinates, at the start and after every change (map mode,
    // window, viewport, RestoreDC). Every coordinate handed to the handler is logical.
    virtual void mapping(const EmfMapping &) {}
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
    // EMR_POLYGON and EMR_POLYGON16: a closed shape, filled with the brush, outlined with the pen.
    virtual void polygon(const std::vector<EmfPoint> &) {}
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
