#include "platform/fontface.h"

#include "platform/canvas.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// TrueType offsets of the fields read here.
constexpr std::size_t tableDirectoryStart = 12;
constexpr std::size_t tableRecordSize = 16;
constexpr std::size_t headUnitsPerEm = 18;
constexpr std::size_t os2WinAscent = 74;
constexpr std::size_t os2WinDescent = 76;
constexpr std::size_t hheaNumberOfHMetrics = 34;
constexpr unsigned cmapPlatformWindows = 3;
constexpr unsigned cmapEncodingUnicodeBmp = 1;
constexpr unsigned cmapFormatSegmentMapping = 4;

class Reader {
public:
    explicit Reader(const std::vector<unsigned char> &data, const std::string &path)
        : data_(data), path_(path)
    {}
    unsigned u16(std::size_t at) const
    {
        check(at + 2);
        return (unsigned{data_[at]} << 8) | data_[at + 1];
    }
    std::uint32_t u32(std::size_t at) const
    {
        check(at + 4);
        return (std::uint32_t{data_[at]} << 24) | (std::uint32_t{data_[at + 1]} << 16) |
               (std::uint32_t{data_[at + 2]} << 8) | data_[at + 3];
    }
    std::size_t table(std::string_view tag) const
    {
        const unsigned count = u16(4);
        for (unsigned i = 0; i < count; ++i) {
            const std::size_t record = tableDirectoryStart + i * tableRecordSize;
            check(record + tableRecordSize);
            if (std::string_view(reinterpret_cast<const char *>(&data_[record]), 4) == tag)
                return u32(record + 8);
        }
        throw std::runtime_error("font file " + path_ + " has no " + std::string(tag) + " table");
    }

private:
    void check(std::size_t end) const
    {
        if (end > data_.size())
            throw std::runtime_error("font file " + path_ + " is truncated");
    }
    const std::vector<unsigned char> &data_;
    const std::string &path_;
};

// Glyph index of a BMP code point through a format-4 subtable; 0 (missing glyph) if none.
unsigned glyphOf(const Reader &r, std::size_t sub, unsigned code)
{
    const unsigned segCount = r.u16(sub + 6) / 2;
    const std::size_t endCodes = sub + 14;
    const std::size_t startCodes = endCodes + 2 * segCount + 2;
    const std::size_t deltas = startCodes + 2 * segCount;
    const std::size_t rangeOffsets = deltas + 2 * segCount;
    for (unsigned i = 0; i < segCount; ++i) {
        if (code > r.u16(endCodes + 2 * i))
            continue;
        const unsigned start = r.u16(startCodes + 2 * i);
        if (code < start)
            return 0;
        const unsigned delta = r.u16(deltas + 2 * i);
        const unsigned rangeOffset = r.u16(rangeOffsets + 2 * i);
        if (rangeOffset == 0)
            return (code + delta) & 0xFFFF;
        const std::size_t at = rangeOffsets + 2 * i + rangeOffset + 2 * (code - start);
        const unsigned glyph = r.u16(at);
        return glyph == 0 ? 0 : (glyph + delta) & 0xFFFF;
    }
    return 0;
}

} // namespace

FontFace::FontFace(const std::string &path) : path_(path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open font file " + path);
    const std::vector<unsigned char> data{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const Reader r(data, path_);

    unitsPerEm_ = static_cast<int>(r.u16(r.table("head") + headUnitsPerEm));
    const std::size_t os2 = r.table("OS/2");
    winAscent_ = static_cast<int>(r.u16(os2 + os2WinAscent));
    winDescent_ = static_cast<int>(r.u16(os2 + os2WinDescent));
    if (unitsPerEm_ <= 0)
        throw std::runtime_error("font file " + path + " has no em square");

    const unsigned hMetrics = r.u16(r.table("hhea") + hheaNumberOfHMetrics);
    const std::size_t hmtx = r.table("hmtx");
    const auto advanceOf = [&](unsigned glyph) {
        // Glyphs past the last long metric share its advance.
        const unsigned index = glyph < hMetrics ? glyph : hMetrics - 1;
        return static_cast<int>(r.u16(hmtx + 4 * index));
    };

    const std::size_t cmap = r.table("cmap");
    std::size_t sub = 0;
    const unsigned subtables = r.u16(cmap + 2);
    for (unsigned i = 0; i < subtables && sub == 0; ++i) {
        const std::size_t rec = cmap + 4 + 8 * i;
        if (r.u16(rec) == cmapPlatformWindows && r.u16(rec + 2) == cmapEncodingUnicodeBmp &&
            r.u16(cmap + r.u32(rec + 4)) == cmapFormatSegmentMapping)
            sub = cmap + r.u32(rec + 4);
    }
    if (sub == 0)
        throw std::runtime_error("font file " + path + " has no Unicode character map");

    for (unsigned byte = 0; byte < advances_.size(); ++byte)
        advances_[byte] =
            advanceOf(glyphOf(r, sub, cp1252ToUnicode(static_cast<unsigned char>(byte))));
}

const FontFace &faceForStyle(unsigned style)
{
    static std::mutex mutex;
    static std::map<unsigned, std::unique_ptr<FontFace>> faces;
    const unsigned key = style & (fsBold | fsItalic);
    const std::lock_guard lock(mutex);
    auto &face = faces[key];
    if (!face)
        face = std::make_unique<FontFace>(fontFilePath(key));
    return *face;
}

} // namespace platform
