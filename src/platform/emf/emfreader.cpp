#include "platform/emf/emfreader.h"

#include "platform/emf/emfformat.h"

#include <cstring>
#include <string>
#include <vector>

namespace platform {

using namespace emf;

namespace {

std::int32_t i32(const std::uint8_t *p) { return static_cast<std::int32_t>(readLe32(p)); }

TRect rectAt(const std::uint8_t *p)
{
    return {i32(p + rectLeftOffset), i32(p + rectTopOffset), i32(p + rectRightOffset),
            i32(p + rectBottomOffset)};
}

TSize sizeAt(const std::uint8_t *p) { return {i32(p + sizeCxOffset), i32(p + sizeCyOffset)}; }

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

    // Each record type goes to the function of its group; the types pages of this system do
    // not need are skipped.
    void dispatch(const Record &r)
    {
        switch (r.type()) {
        case EMR_EXTCREATEFONTINDIRECTW:
        case EMR_CREATEBRUSHINDIRECT:
        case EMR_CREATEPEN:
        case EMR_SELECTOBJECT:
        case EMR_DELETEOBJECT:
            objectRecord(r);
            break;
        case EMR_SETTEXTCOLOR:
        case EMR_SETBKCOLOR:
        case EMR_SETBKMODE:
        case EMR_SETTEXTALIGN:
            textStateRecord(r);
            break;
        case EMR_BITBLT:
        case EMR_RECTANGLE:
        case EMR_POLYGON:
        case EMR_POLYGON16:
            shapeRecord(r);
            break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW:
            text(r, r.type() == EMR_EXTTEXTOUTW);
            break;
        case EMR_EXTSELECTCLIPRGN:
        case EMR_INTERSECTCLIPRECT:
            clipRecord(r);
            break;
        case EMR_SETMAPMODE:
        case EMR_SETWINDOWORGEX:
        case EMR_SETWINDOWEXTEX:
        case EMR_SETVIEWPORTORGEX:
        case EMR_SETVIEWPORTEXTEX:
            mappingRecord(r);
            break;
        case EMR_SAVEDC:
        case EMR_RESTOREDC:
            savedStateRecord(r);
            break;
        default:
            break; // not needed for pages of this system
        }
    }

    // Fonts, brushes and pens: created in the handle table, selected and deleted.
    void objectRecord(const Record &r)
    {
        switch (r.type()) {
        case EMR_EXTCREATEFONTINDIRECTW:
            createFont(r);
            break;
        case EMR_CREATEBRUSHINDIRECT:
            r.require(createBrushSize);
            checkCreated(r.u32(objectIndexOffset));
            handler_.createBrush(r.u32(objectIndexOffset), r.u32(brushStyleOffset),
                                 r.u32(brushColorOffset) & colorMask);
            break;
        case EMR_CREATEPEN:
            r.require(createPenSize);
            checkCreated(r.u32(objectIndexOffset));
            handler_.createPen(r.u32(objectIndexOffset), r.u32(penStyleOffset),
                               r.s32(penWidthOffset), r.u32(penColorOffset) & colorMask);
            break;
        case EMR_SELECTOBJECT:
            r.require(oneParameterSize);
            checkUsed(r.u32(objectIndexOffset));
            handler_.selectObject(r.u32(objectIndexOffset));
            break;
        case EMR_DELETEOBJECT:
            r.require(oneParameterSize);
            checkCreated(r.u32(objectIndexOffset));
            handler_.deleteObject(r.u32(objectIndexOffset));
            break;
        }
    }

    void createFont(const Record &r)
    {
        r.require(fontLogFontOffset + logFontSize);
        checkCreated(r.u32(objectIndexOffset));
        EmfLogFont font;
        const std::uint8_t *lf = r.at(fontLogFontOffset);
        font.Height = i32(lf + logFontHeightOffset);
        font.Weight = i32(lf + logFontWeightOffset);
        font.Italic = lf[logFontItalicOffset] != 0;
        font.Underline = lf[logFontUnderlineOffset] != 0;
        font.StrikeOut = lf[logFontStrikeOutOffset] != 0;
        const std::uint8_t *face = lf + logFontFaceNameOffset;
        for (std::uint32_t i = 0; i < faceNameChars; ++i) {
            const char16_t c = static_cast<char16_t>(face[2 * i] | (face[2 * i + 1] << 8));
            if (c == 0)
                break;
            font.FaceName.push_back(c);
        }
        handler_.createFont(r.u32(objectIndexOffset), font);
    }

    // The one-value settings text output uses: colours, background mode, alignment.
    void textStateRecord(const Record &r)
    {
        r.require(oneParameterSize);
        const std::uint32_t value = r.u32(parameterOffset);
        switch (r.type()) {
        case EMR_SETTEXTCOLOR:
            handler_.setTextColor(value & colorMask);
            break;
        case EMR_SETBKCOLOR:
            handler_.setBkColor(value & colorMask);
            break;
        case EMR_SETBKMODE:
            handler_.setBkMode(value);
            break;
        case EMR_SETTEXTALIGN:
            handler_.setTextAlign(value);
            break;
        }
    }

    // Filled areas: pattern fills, rectangles and polygons.
    void shapeRecord(const Record &r)
    {
        switch (r.type()) {
        case EMR_BITBLT:
            patternFill(r);
            break;
        case EMR_RECTANGLE:
            r.require(rectangleRecordSize);
            handler_.rectangle(r.rect(parameterOffset));
            break;
        case EMR_POLYGON:
        case EMR_POLYGON16:
            polygon(r, r.type() == EMR_POLYGON ? 8 : 4);
            break;
        }
    }

    // A bit-block transfer without a source bitmap: a rectangle filled by the raster operation.
    void patternFill(const Record &r)
    {
        r.require(bitBltSize);
        if (r.u32(bitBltSourceBitmapInfoOffset) != 0)
            return; // a bitmap copy: pages of this system hold none
        const int x = r.s32(bitBltDestinationOffset + sizeCxOffset),
                  y = r.s32(bitBltDestinationOffset + sizeCyOffset),
                  w = r.s32(bitBltDestinationSizeOffset + sizeCxOffset),
                  h = r.s32(bitBltDestinationSizeOffset + sizeCyOffset);
        if (w <= 0 || h <= 0)
            return;
        // 64-bit sums so that a hostile width cannot wrap around.
        const long long right = static_cast<long long>(x) + w,
                        bottom = static_cast<long long>(y) + h;
        if (right > INT32_MAX || bottom > INT32_MAX)
            fail("fill rectangle outside the coordinate range");
        handler_.patternFill({x, y, static_cast<int>(right), static_cast<int>(bottom)},
                             r.u32(bitBltRasterOperationOffset));
    }

    // The clip region: reset to none, or narrowed by a rectangle.
    void clipRecord(const Record &r)
    {
        if (r.type() == EMR_EXTSELECTCLIPRGN) {
            r.require(twoParametersSize);
            if (r.u32(clipRegionBytesOffset) == 0 && r.u32(clipRegionModeOffset) == RGN_COPY)
                handler_.resetClip();
        } else {
            r.require(rectangleRecordSize);
            handler_.intersectClipRect(r.rect(parameterOffset));
        }
    }

    // The mapping mode, window and viewport; the handler sees the mapping after each change.
    void mappingRecord(const Record &r)
    {
        if (r.type() == EMR_SETMAPMODE) {
            r.require(oneParameterSize);
            mapping_.setMapMode(r.u32(parameterOffset));
        } else {
            r.require(twoParametersSize);
            const std::int32_t first = r.s32(parameterOffset);
            const std::int32_t second = r.s32(secondParameterOffset);
            switch (r.type()) {
            case EMR_SETWINDOWORGEX:
                mapping_.setWindowOrg(first, second);
                break;
            case EMR_SETWINDOWEXTEX:
                mapping_.setWindowExt(first, second);
                break;
            case EMR_SETVIEWPORTORGEX:
                mapping_.setViewportOrg(first, second);
                break;
            case EMR_SETVIEWPORTEXTEX:
                mapping_.setViewportExt(first, second);
                break;
            }
        }
        handler_.mapping(mapping_);
    }

    // Saving and restoring the device context. The mapping is part of the saved state; the
    // handlers keep the rest.
    void savedStateRecord(const Record &r)
    {
        if (r.type() == EMR_SAVEDC) {
            if (savedMappings_.size() < maxSavedStates)
                savedMappings_.push_back(mapping_);
            handler_.saveDC();
            return;
        }
        r.require(oneParameterSize);
        const std::int32_t relative = r.s32(parameterOffset);
        if (const auto depth = restoredDepth(savedMappings_.size(), relative)) {
            mapping_ = savedMappings_[*depth];
            savedMappings_.resize(*depth);
        }
        handler_.restoreDC(relative);
        handler_.mapping(mapping_);
    }

    void polygon(const Record &r, std::uint32_t pointSize)
    {
        r.require(polygonPointsOffset);
        const std::uint64_t count = r.u32(polygonCountOffset);
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
        out.X = r.s32(t + emrTextReferenceOffset);
        out.Y = r.s32(t + emrTextReferenceOffset + sizeCyOffset);
        const std::uint64_t chars = r.u32(t + emrTextCharsOffset);
        const std::uint64_t offString = r.u32(t + emrTextStringStartOffset);
        out.Options = r.u32(t + emrTextOptionsOffset);
        out.Rectangle = r.rect(t + emrTextRectangleOffset);
        const std::uint64_t offDx = r.u32(t + emrTextDxStartOffset);
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
    if (readLe32(data + recordTypeOffset) != EMR_HEADER)
        fail("does not start with a header record");
    EmfHeader h;
    h.HeaderSize = readLe32(data + recordSizeOffset);
    if (h.HeaderSize < headerMinimumSize || h.HeaderSize % 4 != 0 || h.HeaderSize > size)
        fail("header record size " + std::to_string(h.HeaderSize));
    if (readLe32(data + headerSignatureOffset) != signature)
        fail("no EMF signature");
    h.Bounds = rectAt(data + headerBoundsOffset);
    h.Frame = rectAt(data + headerFrameOffset);
    h.Bytes = readLe32(data + headerBytesOffset);
    h.Records = readLe32(data + headerRecordsOffset);
    h.Handles = readLe32(data + headerHandlesOffset) & 0xFFFF;
    h.Device = sizeAt(data + headerDeviceOffset);
    h.Millimeters = sizeAt(data + headerMillimetersOffset);
    if (h.HeaderSize >= headerWithMicrometersSize)
        h.Micrometers = sizeAt(data + headerMicrometersOffset);
    if (h.Bytes < h.HeaderSize + eofSize || h.Bytes % 4 != 0)
        fail("length " + std::to_string(h.Bytes) + " in its header");
    if (h.Bytes > size)
        fail("header says " + std::to_string(h.Bytes) + " bytes, only " + std::to_string(size) +
             " present");
    if (h.Handles < 1)
        fail("no handle table");
    const std::uint64_t descriptionChars = readLe32(data + headerDescriptionCharsOffset);
    const std::uint64_t descriptionOffset = readLe32(data + headerDescriptionStartOffset);
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
        const std::uint32_t type = readLe32(data + pos + recordTypeOffset);
        const std::uint32_t recordSize = readLe32(data + pos + recordSizeOffset);
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
