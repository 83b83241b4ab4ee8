#include "platform/emf/emfwriter.h"

#include "platform/emf/emfformat.h"
#include "platform/rounding.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace platform {

using namespace emf;

namespace {
constexpr std::uint32_t headerReservedAndDescription = 0; // no description text

// `pixels` at `ppi` as a length in units of which `perInch` make an inch, rounded.
int lengthAt(int pixels, long double perInch, int ppi)
{
    return static_cast<int>(roundHalfEven(static_cast<long double>(pixels) * perInch / ppi));
}

int toHundredthsMm(int pixels, int ppi) { return lengthAt(pixels, hundredthsMmPerInch, ppi); }
} // namespace

EmfWriter::EmfWriter(int widthPx, int heightPx, int pixelsPerInchX, int pixelsPerInchY)
    : width_(widthPx), height_(heightPx), ppiX_(pixelsPerInchX), ppiY_(pixelsPerInchY)
{
    if (widthPx <= 0 || heightPx <= 0 || pixelsPerInchX <= 0 || pixelsPerInchY <= 0)
        throw std::invalid_argument("metafile page size and resolution must be positive");
    bytes_.reserve(4096);
    const std::size_t start = beginRecord(EMR_HEADER);
    bytes_.resize(start + headerWrittenSize, 0); // filled in by finish()
    endRecord(start);
}

std::size_t EmfWriter::beginRecord(std::uint32_t type)
{
    if (finished_)
        throw std::logic_error("metafile already finished");
    const std::size_t start = bytes_.size();
    put32(type);
    put32(0);
    ++records_;
    return start;
}

void EmfWriter::endRecord(std::size_t start)
{
    while (bytes_.size() % 4 != 0)
        bytes_.push_back(0);
    putAt(start + recordSizeOffset, static_cast<std::uint32_t>(bytes_.size() - start));
}

void EmfWriter::put32(std::uint32_t value)
{
    const std::uint8_t le[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    bytes_.insert(bytes_.end(), le, le + 4);
}

void EmfWriter::putAt(std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void EmfWriter::putRectAt(std::size_t offset, const TRect &rect)
{
    putAt(offset + rectLeftOffset, static_cast<std::uint32_t>(rect.Left));
    putAt(offset + rectTopOffset, static_cast<std::uint32_t>(rect.Top));
    putAt(offset + rectRightOffset, static_cast<std::uint32_t>(rect.Right));
    putAt(offset + rectBottomOffset, static_cast<std::uint32_t>(rect.Bottom));
}

void EmfWriter::putSizeAt(std::size_t offset, int cx, int cy)
{
    putAt(offset + sizeCxOffset, static_cast<std::uint32_t>(cx));
    putAt(offset + sizeCyOffset, static_cast<std::uint32_t>(cy));
}

void EmfWriter::putRect(const TRect &rect)
{
    putI32(rect.Left);
    putI32(rect.Top);
    putI32(rect.Right);
    putI32(rect.Bottom);
}

void EmfWriter::addBounds(const TRect &r)
{
    if (r.Right < r.Left || r.Bottom < r.Top)
        return;
    if (!hasBounds_) {
        bounds_ = r;
        hasBounds_ = true;
        return;
    }
    bounds_.Left = std::min(bounds_.Left, r.Left);
    bounds_.Top = std::min(bounds_.Top, r.Top);
    bounds_.Right = std::max(bounds_.Right, r.Right);
    bounds_.Bottom = std::max(bounds_.Bottom, r.Bottom);
}

std::uint32_t EmfWriter::allocateHandle()
{
    for (std::size_t i = 1; i < handlesInUse_.size(); ++i)
        if (!handlesInUse_[i]) {
            handlesInUse_[i] = true;
            return static_cast<std::uint32_t>(i);
        }
    handlesInUse_.push_back(true);
    return static_cast<std::uint32_t>(handlesInUse_.size() - 1);
}

std::uint32_t EmfWriter::createFont(const EmfLogFont &font)
{
    const std::uint32_t handle = allocateHandle();
    const std::size_t start = beginRecord(EMR_EXTCREATEFONTINDIRECTW);
    put32(handle);
    const std::size_t logFont = start + fontLogFontOffset;
    bytes_.resize(logFont + logFontPanoseSize, 0);
    putAt(logFont + logFontHeightOffset, static_cast<std::uint32_t>(font.Height));
    putAt(logFont + logFontWeightOffset, static_cast<std::uint32_t>(font.Weight));
    bytes_[logFont + logFontItalicOffset] = font.Italic ? 1 : 0;
    bytes_[logFont + logFontUnderlineOffset] = font.Underline ? 1 : 0;
    bytes_[logFont + logFontStrikeOutOffset] = font.StrikeOut ? 1 : 0;
    bytes_[logFont + logFontCharSetOffset] = DEFAULT_CHARSET;
    const std::size_t chars = std::min<std::size_t>(font.FaceName.size(), faceNameChars - 1);
    const std::size_t faceName = logFont + logFontFaceNameOffset;
    for (std::size_t i = 0; i < chars; ++i) {
        bytes_[faceName + 2 * i] = static_cast<std::uint8_t>(font.FaceName[i]);
        bytes_[faceName + 2 * i + 1] = static_cast<std::uint8_t>(font.FaceName[i] >> 8);
    }
    endRecord(start);
    return handle;
}

std::uint32_t EmfWriter::createBrush(std::uint32_t style, TColor color)
{
    const std::uint32_t handle = allocateHandle();
    const std::size_t start = beginRecord(EMR_CREATEBRUSHINDIRECT);
    put32(handle);
    put32(style);
    put32(color);
    put32(0); // hatch
    endRecord(start);
    return handle;
}

std::uint32_t EmfWriter::createPen(std::uint32_t style, int width, TColor color)
{
    const std::uint32_t handle = allocateHandle();
    const std::size_t start = beginRecord(EMR_CREATEPEN);
    put32(handle);
    put32(style);
    putI32(width);
    putI32(0);
    put32(color);
    endRecord(start);
    return handle;
}

void EmfWriter::selectObject(std::uint32_t handle)
{
    const std::size_t start = beginRecord(EMR_SELECTOBJECT);
    put32(handle);
    endRecord(start);
}

void EmfWriter::deleteObject(std::uint32_t handle)
{
    const std::size_t start = beginRecord(EMR_DELETEOBJECT);
    put32(handle);
    endRecord(start);
    if (handle < handlesInUse_.size())
        handlesInUse_[handle] = false;
}

void EmfWriter::setTextColor(TColor color)
{
    const std::size_t start = beginRecord(EMR_SETTEXTCOLOR);
    put32(color);
    endRecord(start);
}

void EmfWriter::setBkColor(TColor color)
{
    const std::size_t start = beginRecord(EMR_SETBKCOLOR);
    put32(color);
    endRecord(start);
}

void EmfWriter::setBkMode(std::uint32_t mode)
{
    const std::size_t start = beginRecord(EMR_SETBKMODE);
    put32(mode);
    endRecord(start);
}

void EmfWriter::setTextAlign(std::uint32_t align)
{
    const std::size_t start = beginRecord(EMR_SETTEXTALIGN);
    put32(align);
    endRecord(start);
}

void EmfWriter::patternBlt(const TRect &rect, std::uint32_t rasterOperation)
{
    const std::size_t start = beginRecord(EMR_BITBLT);
    const TRect inclusive{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1};
    putRect(inclusive);
    putI32(rect.Left);
    putI32(rect.Top);
    putI32(rect.width());
    putI32(rect.height());
    put32(rasterOperation);
    putI32(0); // xSrc
    putI32(0); // ySrc
    const float identity[6] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    for (float f : identity) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        put32(bits);
    }
    put32(0); // background colour of the source
    put32(0); // usage
    for (int i = 0; i < 4; ++i)
        put32(0); // no bitmap: offsets and sizes 0
    endRecord(start);
    addBounds(inclusive);
}

void EmfWriter::rectangle(const TRect &box)
{
    const std::size_t start = beginRecord(EMR_RECTANGLE);
    putRect(box);
    endRecord(start);
    addBounds({box.Left, box.Top, box.Right - 1, box.Bottom - 1});
}

void EmfWriter::textRecord(std::uint32_t type, int x, int y, const std::uint8_t *chars,
                           std::size_t count, std::size_t charSize,
                           const std::vector<std::int32_t> &advances, const TRect &bounds,
                           std::uint32_t options)
{
    if (advances.size() != count)
        throw std::invalid_argument("one advance per character");
    const std::size_t start = beginRecord(type);
    putRect(bounds);
    put32(GM_COMPATIBLE);
    const float scaleX = static_cast<float>(hundredthsMmPerInch) / ppiX_;
    const float scaleY = static_cast<float>(hundredthsMmPerInch) / ppiY_;
    std::uint32_t bits;
    std::memcpy(&bits, &scaleX, sizeof bits);
    put32(bits);
    std::memcpy(&bits, &scaleY, sizeof bits);
    put32(bits);
    putI32(x);
    putI32(y);
    put32(static_cast<std::uint32_t>(count));
    put32(extTextOutFixedSize); // the string follows the fixed part
    put32(options);
    putRect({0, 0, -1, -1}); // no clipping or opaquing rectangle
    const std::size_t offDxField = start + extTextOutTextOffset + emrTextDxStartOffset;
    put32(0); // where the advances start, known once the string is written
    bytes_.insert(bytes_.end(), chars, chars + count * charSize);
    while (bytes_.size() % 4 != 0)
        bytes_.push_back(0);
    putAt(offDxField, static_cast<std::uint32_t>(bytes_.size() - start));
    for (std::int32_t advance : advances)
        putI32(advance);
    endRecord(start);
    addBounds(bounds);
}

void EmfWriter::extTextOutW(int x, int y, const std::u16string &text,
                            const std::vector<std::int32_t> &advances, const TRect &bounds,
                            std::uint32_t options)
{
    std::vector<std::uint8_t> le(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        le[2 * i] = static_cast<std::uint8_t>(text[i]);
        le[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    textRecord(EMR_EXTTEXTOUTW, x, y, le.data(), text.size(), 2, advances, bounds, options);
}

void EmfWriter::extTextOutA(int x, int y, const std::string &text,
                            const std::vector<std::int32_t> &advances, const TRect &bounds,
                            std::uint32_t options)
{
    textRecord(EMR_EXTTEXTOUTA, x, y, reinterpret_cast<const std::uint8_t *>(text.data()),
               text.size(), 1, advances, bounds, options);
}

void EmfWriter::resetClip()
{
    const std::size_t start = beginRecord(EMR_EXTSELECTCLIPRGN);
    put32(0); // no region data: back to the whole page
    put32(RGN_COPY);
    endRecord(start);
}

void EmfWriter::intersectClipRect(const TRect &rect)
{
    const std::size_t start = beginRecord(EMR_INTERSECTCLIPRECT);
    putRect(rect);
    endRecord(start);
}

void EmfWriter::saveDC()
{
    const std::size_t start = beginRecord(EMR_SAVEDC);
    endRecord(start);
}

void EmfWriter::restoreDC(std::int32_t relative)
{
    const std::size_t start = beginRecord(EMR_RESTOREDC);
    putI32(relative);
    endRecord(start);
}

std::vector<std::uint8_t> EmfWriter::finish()
{
    const std::size_t eof = beginRecord(EMR_EOF);
    put32(0);                 // no palette entries
    put32(eofSizeLastOffset); // where the (empty) palette starts
    put32(eofSize);           // SizeLast repeats the record size
    endRecord(eof);
    finished_ = true;

    putRectAt(headerBoundsOffset, hasBounds_ ? bounds_ : TRect{0, 0, -1, -1});
    // Frame: the page in hundredths of a millimetre, inclusive.
    putRectAt(headerFrameOffset,
              {0, 0, toHundredthsMm(width_, ppiX_) - 1, toHundredthsMm(height_, ppiY_) - 1});
    putAt(headerSignatureOffset, signature);
    putAt(headerVersionOffset, formatVersion);
    putAt(headerBytesOffset, static_cast<std::uint32_t>(bytes_.size()));
    putAt(headerRecordsOffset, static_cast<std::uint32_t>(records_));
    putAt(headerHandlesOffset, static_cast<std::uint32_t>(handlesInUse_.size())); // reserved word 0
    putAt(headerDescriptionCharsOffset, headerReservedAndDescription);
    putAt(headerDescriptionStartOffset, headerReservedAndDescription);
    putAt(headerPaletteEntriesOffset, 0);
    // Reference device: the page itself at the recording resolution.
    putSizeAt(headerDeviceOffset, width_, height_);
    putSizeAt(headerMillimetersOffset, lengthAt(width_, mmPerInch, ppiX_),
              lengthAt(height_, mmPerInch, ppiY_));
    putAt(headerPixelFormatSizeOffset, 0); // no pixel format
    putAt(headerPixelFormatStartOffset, 0);
    putAt(headerOpenGlOffset, 0); // no OpenGL records
    putSizeAt(headerMicrometersOffset, lengthAt(width_, micrometresPerInch, ppiX_),
              lengthAt(height_, micrometresPerInch, ppiY_));
    return std::move(bytes_);
}

} // namespace platform
