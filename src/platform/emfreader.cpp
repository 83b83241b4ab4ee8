#include "platform/emfreader.h"

#include "platform/emfformat.h"

#include <cstring>
#include <string>
#include <vector>

namespace platform {

using namespace emf;

namespace {

std::int32_t i32(const std::uint8_t *p) { return static_cast<std::int32_t>(readLe32(p)); }

TRect rectAt(const std::uint8_t *p) { return {i32(p), i32(p + 4), i32(p + 8), i32(p + 12)}; }

[[noreturn]] void fail(const std::string &what) { throw EmfError("Invalid metafile: " + what); }

// One record: its bytes and size, with checked field access.
class Record {
public:
    Record(std::uint32_t type, const std::uint8_t *data, std::uint32_t size)
        : type_(type), data_(data), size_(size)
    {}
    void require(std::uint32_t minimum) const
    {
        if (size_ < minimum)
            fail("record " + std::to_string(type_) + " is " + std::to_string(size_) +
                 " bytes, needs " + std::to_string(minimum));
    }
    std::uint32_t u32(std::uint32_t offset) const { return readLe32(data_ + offset); }
    std::int32_t s32(std::uint32_t offset) const { return i32(data_ + offset); }
    TRect rect(std::uint32_t offset) const { return rectAt(data_ + offset); }
    const std::uint8_t *at(std::uint32_t offset) const { return data_ + offset; }
    std::uint32_t size() const { return size_; }
    std::uint32_t type() const { return type_; }

private:
    std::uint32_t type_;
    const std::uint8_t *data_;
    std::uint32_t size_;
};

class Walker {
public:
    Walker(const EmfHeader &header, EmfHandler &handler)
        : header_(header), handler_(handler), mapping_(header)
    {
        handler_.mapping(mapping_);
    }

    void checkCreated(std::uint32_t index) const
    {
        if (index == 0 || index >= header_.Handles)
            fail("object index " + std::to_string(index) + " outside the handle table");
    }
    void checkUsed(std::uint32_t index) const
    {
        if (index & stockObjectFlag)
            return;
        if (index == 0 || index >= header_.Handles)
            fail("object index " + std::to_string(index) + " outside the handle table");
    }

    void dispatch(const Record &r)
    {
        switch (r.type()) {
        case EMR_EXTCREATEFONTINDIRECTW: {
            r.require(recordHeaderSize + 4 + logFontSize);
            checkCreated(r.u32(8));
            EmfLogFont font;
            const std::uint8_t *lf = r.at(12);
            font.Height = i32(lf);
            font.Weight = i32(lf + 16);
            font.Italic = lf[20] != 0;
            font.Underline = lf[21] != 0;
            font.StrikeOut = lf[22] != 0;
            for (std::uint32_t i = 0; i < faceNameChars; ++i) {
                const char16_t c = static_cast<char16_t>(lf[28 + 2 * i] | (lf[29 + 2 * i] << 8));
                if (c == 0)
                    break;
                font.FaceName.push_back(c);
            }
            handler_.createFont(r.u32(8), font);
            break;
        }
        case EMR_CREATEBRUSHINDIRECT:
            r.require(24);
            checkCreated(r.u32(8));
            handler_.createBrush(r.u32(8), r.u32(12), r.u32(16) & 0xFFFFFF);
            break;
        case EMR_CREATEPEN:
            r.require(28);
            checkCreated(r.u32(8));
            handler_.createPen(r.u32(8), r.u32(12), r.s32(16), r.u32(24) & 0xFFFFFF);
            break;
        case EMR_SELECTOBJECT:
            r.require(12);
            checkUsed(r.u32(8));
            handler_.selectObject(r.u32(8));
            break;
        case EMR_DELETEOBJECT:
            r.require(12);
            checkCreated(r.u32(8));
            handler_.deleteObject(r.u32(8));
            break;
        case EMR_SETTEXTCOLOR:
            r.require(12);
            handler_.setTextColor(r.u32(8) & 0xFFFFFF);
            break;
        case EMR_SETBKCOLOR:
            r.require(12);
            handler_.setBkColor(r.u32(8) & 0xFFFFFF);
            break;
        case EMR_SETBKMODE:
            r.require(12);
            handler_.setBkMode(r.u32(8));
            break;
        case EMR_SETTEXTALIGN:
            r.require(12);
            handler_.setTextAlign(r.u32(8));
            break;
        case EMR_BITBLT: {
            r.require(bitBltSize);
            const std::uint32_t bitmapSize = r.u32(84);
            if (bitmapSize != 0)
                break; // a bitmap copy: pages of this system hold none
            const int x = r.s32(24), y = r.s32(28), w = r.s32(32), h = r.s32(36);
            if (w <= 0 || h <= 0)
                break;
            // 64-bit sums so that a hostile width cannot wrap around.
            const long long right = static_cast<long long>(x) + w,
                            bottom = static_cast<long long>(y) + h;
            if (right > INT32_MAX || bottom > INT32_MAX)
                fail("fill rectangle outside the coordinate range");
            handler_.patternFill({x, y, static_cast<int>(right), static_cast<int>(bottom)},
                                 r.u32(40));
            break;
        }
        case EMR_RECTANGLE:
            r.require(24);
            handler_.rectangle(r.rect(8));
            break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW:
            text(r, r.type() == EMR_EXTTEXTOUTW);
            break;
        case EMR_EXTSELECTCLIPRGN:
            r.require(16);
            if (r.u32(8) == 0 && r.u32(12) == RGN_COPY)
                handler_.resetClip();
            break;
        case EMR_INTERSECTCLIPRECT:
            r.require(24);
            handler_.intersectClipRect(r.rect(8));
            break;
        case EMR_POLYGON:
        case EMR_POLYGON16:
            polygon(r, r.type() == EMR_POLYGON ? 8 : 4);
            break;
        case EMR_SETMAPMODE:
            r.require(12);
            mapping_.setMapMode(r.u32(8));
            handler_.mapping(mapping_);
            break;
        case EMR_SETWINDOWORGEX:
            r.require(16);
            mapping_.setWindowOrg(r.s32(8), r.s32(12));
            handler_.mapping(mapping_);
            break;
        case EMR_SETWINDOWEXTEX:
            r.require(16);
            mapping_.setWindowExt(r.s32(8), r.s32(12));
            handler_.mapping(mapping_);
            break;
        case EMR_SETVIEWPORTORGEX:
            r.require(16);
            mapping_.setViewportOrg(r.s32(8), r.s32(12));
            handler_.mapping(mapping_);
            break;
        case EMR_SETVIEWPORTEXTEX:
            r.require(16);
            mapping_.setViewportExt(r.s32(8), r.s32(12));
            handler_.mapping(mapping_);
            break;
        case EMR_SAVEDC:
            // The mapping is part of the saved state; the handlers keep the rest.
            if (savedMappings_.size() < maxSavedStates)
                savedMappings_.push_back(mapping_);
            handler_.saveDC();
            break;
        case EMR_RESTOREDC: {
            r.require(12);
            const std::int32_t relative = r.s32(8);
            if (const auto depth = restoredDepth(savedMappings_.size(), relative)) {
                mapping_ = savedMappings_[*depth];
                savedMappings_.resize(*depth);
            }
            handler_.restoreDC(relative);
            handler_.mapping(mapping_);
            break;
        }
        default:
            break; // not needed for pages of this system
        }
    }

    void polygon(const Record &r, std::uint32_t pointSize)
    {
        r.require(polygonPointsOffset);
        const std::uint64_t count = r.u32(24);
        if (polygonPointsOffset + count * pointSize > r.size())
            fail("polygon points outside their record");
        std::vector<EmfPoint> points;
        points.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            const auto at = static_cast<std::uint32_t>(polygonPointsOffset + i * pointSize);
            if (pointSize == 8) {
                points.push_back({r.s32(at), r.s32(at + 4)});
            } else {
                const auto x = static_cast<std::int16_t>(r.at(at)[0] | (r.at(at)[1] << 8));
                const auto y = static_cast<std::int16_t>(r.at(at)[2] | (r.at(at)[3] << 8));
                points.push_back({x, y});
            }
        }
        handler_.polygon(points);
    }

    void text(const Record &r, bool wide)
    {
        r.require(extTextOutFixedSize);
        const std::uint32_t t = extTextOutTextOffset;
        EmfText out;
        out.Wide = wide;
        out.X = r.s32(t);
        out.Y = r.s32(t + 4);
        const std::uint64_t chars = r.u32(t + 8);
        const std::uint64_t offString = r.u32(t + 12);
        out.Options = r.u32(t + 16);
        out.Rectangle = r.rect(t + 20);
        const std::uint64_t offDx = r.u32(t + 36);
        const std::uint64_t charSize = wide ? 2 : 1;
        if (chars > 0 && (offString < recordHeaderSize || offString + chars * charSize > r.size()))
            fail("text string outside its record");
        const std::uint64_t dxPerChar = (out.Options & ETO_PDY) ? 2 : 1;
        const bool hasDx = offDx != 0 && chars > 0;
        if (hasDx && (offDx < recordHeaderSize || offDx + chars * 4 * dxPerChar > r.size()))
            fail("character advances outside their record");
        out.Text.reserve(chars);
        for (std::uint64_t i = 0; i < chars; ++i) {
            const std::uint8_t *p = r.at(static_cast<std::uint32_t>(offString + i * charSize));
            out.Text.push_back(wide ? static_cast<char16_t>(p[0] | (p[1] << 8))
                                    : static_cast<char16_t>(p[0]));
        }
        if (hasDx) {
            out.Dx.reserve(chars);
            for (std::uint64_t i = 0; i < chars; ++i)
                out.Dx.push_back(r.s32(static_cast<std::uint32_t>(offDx + i * 4 * dxPerChar)));
        }
        handler_.text(out);
    }

private:
    const EmfHeader &header_;
    EmfHandler &handler_;
    EmfMapping mapping_;
    std::vector<EmfMapping> savedMappings_;
};

} // namespace

EmfHeader readEmfHeader(const std::uint8_t *data, std::size_t size)
{
    if (size < headerMinimumSize)
        fail("shorter than its header");
    if (readLe32(data) != EMR_HEADER)
        fail("does not start with a header record");
    EmfHeader h;
    h.HeaderSize = readLe32(data + 4);
    if (h.HeaderSize < headerMinimumSize || h.HeaderSize % 4 != 0 || h.HeaderSize > size)
        fail("header record size " + std::to_string(h.HeaderSize));
    if (readLe32(data + headerSignatureOffset) != signature)
        fail("no EMF signature");
    h.Bounds = rectAt(data + 8);
    h.Frame = rectAt(data + 24);
    h.Bytes = readLe32(data + headerBytesOffset);
    h.Records = readLe32(data + headerRecordsOffset);
    h.Handles = readLe32(data + headerHandlesOffset) & 0xFFFF;
    h.Device = {i32(data + headerDeviceOffset), i32(data + headerDeviceOffset + 4)};
    h.Millimeters = {i32(data + headerMillimetersOffset), i32(data + headerMillimetersOffset + 4)};
    if (h.HeaderSize >= headerWithMicrometersSize)
        h.Micrometers = {i32(data + headerMicrometersOffset),
                         i32(data + headerMicrometersOffset + 4)};
    if (h.Bytes < h.HeaderSize + eofSize || h.Bytes % 4 != 0)
        fail("length " + std::to_string(h.Bytes) + " in its header");
    if (h.Bytes > size)
        fail("header says " + std::to_string(h.Bytes) + " bytes, only " + std::to_string(size) +
             " present");
    if (h.Handles < 1)
        fail("no handle table");
    const std::uint64_t descriptionChars = readLe32(data + 60);
    const std::uint64_t descriptionOffset = readLe32(data + 64);
    if (descriptionChars != 0 && descriptionOffset + 2 * descriptionChars > h.HeaderSize)
        fail("description outside the header");
    return h;
}

void walkEmf(const std::uint8_t *data, std::size_t size, EmfHandler &handler)
{
    const EmfHeader h = readEmfHeader(data, size);
    handler.header(h);
    Walker walker(h, handler);
    std::uint32_t pos = h.HeaderSize;
    bool sawEof = false;
    while (pos < h.Bytes) {
        if (h.Bytes - pos < recordHeaderSize)
            fail("record header cut off at offset " + std::to_string(pos));
        const std::uint32_t type = readLe32(data + pos);
        const std::uint32_t recordSize = readLe32(data + pos + 4);
        if (recordSize < recordHeaderSize || recordSize % 4 != 0 || recordSize > h.Bytes - pos)
            fail("record size " + std::to_string(recordSize) + " at offset " + std::to_string(pos));
        if (type == EMR_HEADER)
            fail("a second header at offset " + std::to_string(pos));
        if (type == EMR_EOF) {
            if (pos + recordSize != h.Bytes)
                fail("end record before the end of the data");
            sawEof = true;
            break;
        }
        walker.dispatch(Record(type, data + pos, recordSize));
        pos += recordSize;
    }
    if (!sawEof)
        fail("no end record");
}

} // namespace platform
