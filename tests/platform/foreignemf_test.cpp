// Pages written by other programs: their headers count records differently, and they draw in
// logical units through a map mode, a window and a viewport. Their texts and drawing must land
// where their writer put them, in the player and in the text enumeration alike.
#include "platform/emf/emfformat.h"
#include "platform/emf/emfmetafile.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace platform;
using namespace platform::emf;

namespace {

const std::filesystem::path dataDir =
    std::filesystem::path(TAVLE_SOURCE_DIR) / "tests" / "platform" / "data";

std::vector<std::uint8_t> readData(const std::string &name)
{
    std::ifstream in(dataDir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr double pagePixelsPerMm = 96 / 25.4;

// A metafile made record by record, with a reference device of `dpi` pixels per inch.
class Builder {
public:
    explicit Builder(int dpi = 96, int frameLeft = 0)
    {
        const int widthPx = dpi * 8, heightPx = dpi * 10; // 8 × 10 inches
        words_.assign(headerWithMicrometersSize / 4, 0);
        words_[0] = EMR_HEADER;
        words_[1] = headerWithMicrometersSize;
        words_[6] = static_cast<std::uint32_t>(frameLeft);
        words_[8] = 8 * hundredthsMmPerInch - 1;
        words_[9] = 10 * hundredthsMmPerInch - 1;
        words_[headerSignatureOffset / 4] = signature;
        words_[11] = formatVersion;
        words_[headerHandlesOffset / 4] = 1;
        words_[headerDeviceOffset / 4] = static_cast<std::uint32_t>(widthPx);
        words_[headerDeviceOffset / 4 + 1] = static_cast<std::uint32_t>(heightPx);
        words_[headerMillimetersOffset / 4] = 203;
        words_[headerMillimetersOffset / 4 + 1] = 254;
        words_[headerMicrometersOffset / 4] = 8 * micrometresPerInch;
        words_[headerMicrometersOffset / 4 + 1] = 10 * micrometresPerInch;
    }
    Builder &record(std::uint32_t type, std::vector<std::int32_t> fields)
    {
        words_.push_back(type);
        words_.push_back(static_cast<std::uint32_t>(8 + 4 * fields.size()));
        for (const std::int32_t f : fields)
            words_.push_back(static_cast<std::uint32_t>(f));
        ++records_;
        return *this;
    }
    Builder &handles(std::uint32_t n)
    {
        words_[headerHandlesOffset / 4] = n;
        return *this;
    }
    // EMR_EXTCREATEFONTINDIRECTW: object `index`, `height` logical units, the rest zero.
    Builder &font(std::int32_t index, std::int32_t height)
    {
        std::vector<std::int32_t> fields(1 + logFontSize / 4, 0);
        fields[0] = index;
        fields[1] = height;
        return record(EMR_EXTCREATEFONTINDIRECTW, std::move(fields));
    }
    // EMR_EXTTEXTOUTW of one character at (x, y), without advances.
    Builder &text(std::int32_t x, std::int32_t y, char16_t c = u'H')
    {
        return record(EMR_EXTTEXTOUTW, {0, 0, 0, 0, static_cast<std::int32_t>(GM_COMPATIBLE), 0, 0,
                                        x, y, 1, static_cast<std::int32_t>(extTextOutFixedSize), 0,
                                        0, 0, 0, 0, 0, static_cast<std::int32_t>(c)});
    }
    TMetafile finish()
    {
        record(EMR_EOF, {0, 16, static_cast<std::int32_t>(eofSize)});
        words_[headerBytesOffset / 4] = static_cast<std::uint32_t>(4 * words_.size());
        words_[headerRecordsOffset / 4] = records_;
        std::vector<std::uint8_t> bytes;
        for (const std::uint32_t w : words_)
            for (int i = 0; i < 4; ++i)
                bytes.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
        return TMetafile(std::move(bytes));
    }

private:
    std::vector<std::uint32_t> words_;
    std::uint32_t records_ = 1;
};

std::vector<QPointF> textPositions(const TMetafile &page)
{
    EmfTextEnumerator enumerator;
    page.walk(enumerator);
    return enumerator.Positions;
}

QImage render(const TMetafile &page)
{
    QImage image(page.Width(), page.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.play(painter, QRectF(0, 0, page.Width(), page.Height()));
    painter.end();
    return image;
}

bool dark(const QImage &image, int x, int y) { return image.pixelColor(x, y).lightness() < 128; }

} // namespace

TEST(ForeignPages, ALibreOfficePageIsReadThoughItsHeaderCountsOneRecordLess)
{
    const std::vector<std::uint8_t> bytes = readData("libreoffice-page.emf");
    ASSERT_FALSE(bytes.empty());
    std::size_t records = 0;
    for (std::size_t pos = 0; pos + 8 <= bytes.size(); pos += readLe32(&bytes[pos + 4]))
        ++records;
    EXPECT_EQ(readLe32(&bytes[headerRecordsOffset]) + 1, records) << "the writer's own count";

    const TMetafile page(bytes);
    EXPECT_EQ(page.texts(), (std::vector<std::string>{"Fag MAT", "L\xE6rer ABC", "Lokale 12"}));
    // A4 less LibreOffice's 10 mm page margins, in the page's pixels.
    EXPECT_EQ(page.Width(), 718);
    EXPECT_EQ(page.Height(), 1047);
}

TEST(ForeignPages, TheTextsAndDrawingOfALibreOfficePageLandWhereItsWriterPutThem)
{
    const TMetafile page(readData("libreoffice-page.emf"));
    // The source drawing (libreoffice-page.fodg) puts 14 point text frames at (20, 15), (60, 35)
    // and (50, 62) mm and a black 30 × 20 mm box at (10, 50) mm on a page with 10 mm margins;
    // the exported page starts at the margins. Reference points are on the baseline.
    const double ascentMm = 14 * 25.4 / 72 * 0.905; // the face's ascent, 0.905 em
    const std::vector<QPointF> expectedMm = {
        {10, 5 + ascentMm}, {50, 25 + ascentMm}, {40, 52 + ascentMm}};
    const std::vector<QPointF> found = textPositions(page);
    ASSERT_EQ(found.size(), expectedMm.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_NEAR(found[i].x(), expectedMm[i].x() * pagePixelsPerMm, 0.5) << i;
        EXPECT_NEAR(found[i].y(), expectedMm[i].y() * pagePixelsPerMm, 0.5) << i;
    }

    const QImage image = render(page);
    // The box: 0 .. 30 mm across, 40 .. 60 mm down.
    const int boxRight = static_cast<int>(30 * pagePixelsPerMm);
    const int boxTop = static_cast<int>(40 * pagePixelsPerMm);
    const int boxBottom = static_cast<int>(60 * pagePixelsPerMm);
    EXPECT_TRUE(dark(image, 2, boxTop + 2));
    EXPECT_TRUE(dark(image, boxRight - 2, boxBottom - 2));
    EXPECT_FALSE(dark(image, boxRight + 2, boxTop + 10));
    EXPECT_FALSE(dark(image, 10, boxTop - 2));
    EXPECT_FALSE(dark(image, 10, boxBottom + 2));

    // Each text's ink starts at its reference point and stands on its baseline ("Fag MAT"
    // has a descender), about a cap height (0.73 em of 14 points) high.
    const double capHeight = 14 * 96 / 72.0 * 0.73;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const int x0 = static_cast<int>(found[i].x()), y0 = static_cast<int>(found[i].y());
        int left = image.width(), top = image.height(), bottom = -1, inkPixels = 0;
        for (int y = y0 - 30; y < y0 + 10; ++y)
            for (int x = x0 - 10; x < x0 + 150; ++x)
                if (dark(image, x, y)) {
                    ++inkPixels;
                    left = std::min(left, x), top = std::min(top, y), bottom = std::max(bottom, y);
                }
        EXPECT_GT(inkPixels, 100) << i;
        EXPECT_NEAR(left, found[i].x(), 3) << i;
        EXPECT_NEAR(top, found[i].y() - capHeight, 2) << i;
        if (i != 0) {
            EXPECT_NEAR(bottom, found[i].y(), 1.5) << i;
        }
    }
    // Nothing else is drawn: the rows between the texts and the box are blank.
    for (int x = 0; x < image.width(); ++x) {
        EXPECT_FALSE(dark(image, x, static_cast<int>(20 * pagePixelsPerMm))) << x;
        EXPECT_FALSE(dark(image, x, static_cast<int>(75 * pagePixelsPerMm))) << x;
    }
}

TEST(ForeignPages, LogicalCoordinatesGoThroughTheMapModeWindowAndViewport)
{
    struct Row {
        const char *name;
        Builder page;
        QPointF expected; // page pixels
    };
    std::vector<Row> rows;
    rows.push_back({"MM_TEXT moves by both origins",
                    std::move(Builder()
                                  .record(EMR_SETWINDOWORGEX, {100, 50})
                                  .record(EMR_SETVIEWPORTORGEX, {10, 20})
                                  .text(150, 80)),
                    {60, 50}});
    rows.push_back({"MM_TEXT ignores extents",
                    std::move(Builder().record(EMR_SETWINDOWEXTEX, {1000, 1000}).text(30, 40)),
                    {30, 40}});
    rows.push_back({"MM_ANISOTROPIC scales each axis",
                    std::move(Builder()
                                  .record(EMR_SETMAPMODE, {MM_ANISOTROPIC})
                                  .record(EMR_SETWINDOWEXTEX, {1000, 2000})
                                  .record(EMR_SETVIEWPORTEXTEX, {100, 100})
                                  .record(EMR_SETWINDOWORGEX, {100, 0})
                                  .text(600, 1000)),
                    {50, 50}});
    rows.push_back({"MM_ISOTROPIC keeps units square",
                    std::move(Builder()
                                  .record(EMR_SETMAPMODE, {MM_ISOTROPIC})
                                  .record(EMR_SETWINDOWEXTEX, {1000, 1000})
                                  .record(EMR_SETVIEWPORTEXTEX, {200, 100})
                                  .text(500, 500)),
                    {50, 50}});
    rows.push_back({"MM_LOMETRIC counts tenths of a millimetre upwards",
                    std::move(Builder().record(EMR_SETMAPMODE, {MM_LOMETRIC}).text(254, -508)),
                    {96, 192}});
    rows.push_back({"MM_HIMETRIC",
                    std::move(Builder().record(EMR_SETMAPMODE, {MM_HIMETRIC}).text(2540, -2540)),
                    {96, 96}});
    rows.push_back({"MM_LOENGLISH",
                    std::move(Builder().record(EMR_SETMAPMODE, {MM_LOENGLISH}).text(100, -100)),
                    {96, 96}});
    rows.push_back({"MM_HIENGLISH",
                    std::move(Builder().record(EMR_SETMAPMODE, {MM_HIENGLISH}).text(1000, -1000)),
                    {96, 96}});
    rows.push_back({"MM_TWIPS",
                    std::move(Builder().record(EMR_SETMAPMODE, {MM_TWIPS}).text(1440, -1440)),
                    {96, 96}});
    rows.push_back({"RestoreDC brings back the saved mapping",
                    std::move(Builder()
                                  .record(EMR_SAVEDC, {})
                                  .record(EMR_SETMAPMODE, {MM_ANISOTROPIC})
                                  .record(EMR_SETWINDOWEXTEX, {10, 10})
                                  .record(EMR_SETVIEWPORTEXTEX, {1, 1})
                                  .record(EMR_RESTOREDC, {-1})
                                  .text(30, 40)),
                    {30, 40}});
    rows.push_back(
        {"a 300 dpi reference device", std::move(Builder(300).text(300, 600)), {96, 192}});
    rows.push_back({"the frame's corner is the page's origin",
                    std::move(Builder(96, hundredthsMmPerInch).text(100, 10)),
                    {4, 10}});
    for (Row &row : rows) {
        const std::vector<QPointF> found = textPositions(row.page.finish());
        ASSERT_EQ(found.size(), 1u) << row.name;
        EXPECT_NEAR(found[0].x(), row.expected.x(), 1e-6) << row.name;
        EXPECT_NEAR(found[0].y(), row.expected.y(), 1e-6) << row.name;
    }
}

TEST(ForeignPages, TheFillsOfAMappedPageAndItsClipLandWhereTheTextsAre)
{
    // MM_ANISOTROPIC at 10 logical units per pixel; the clip is set, then the mapping changes:
    // the clip stays where it was set.
    Builder builder;
    builder.record(EMR_SETMAPMODE, {MM_ANISOTROPIC})
        .record(EMR_SETWINDOWEXTEX, {10, 10})
        .record(EMR_SETVIEWPORTEXTEX, {1, 1})
        .record(EMR_INTERSECTCLIPRECT, {0, 0, 500, 500})
        .record(EMR_SELECTOBJECT, {static_cast<std::int32_t>(stockObjectFlag | 4)}) // black
        .record(EMR_SELECTOBJECT, {static_cast<std::int32_t>(stockObjectFlag | NULL_PEN)})
        .record(EMR_POLYGON, {0, 0, 0, 0, 4, 100, 100, 300, 100, 300, 300, 100, 300})
        .record(EMR_SETWINDOWEXTEX, {1, 1})
        .record(EMR_RECTANGLE, {40, 0, 80, 20});
    const QImage image = render(builder.finish());
    EXPECT_TRUE(dark(image, 11, 11));
    EXPECT_TRUE(dark(image, 29, 29));
    EXPECT_FALSE(dark(image, 31, 20));
    EXPECT_FALSE(dark(image, 9, 20));
    EXPECT_TRUE(dark(image, 45, 5)) << "inside the clip";
    EXPECT_FALSE(dark(image, 55, 5)) << "outside the clip set at 50 pixels";
}

TEST(ForeignPages, TextInAMapModeCountingUpwardsStaysUpright)
{
    // MM_LOMETRIC: y grows upwards; a 5 mm "H" with its baseline one inch down and in. The
    // device draws text upright, so the ink stands above the baseline.
    Builder builder;
    builder.handles(2)
        .record(EMR_SETMAPMODE, {MM_LOMETRIC})
        .record(EMR_SETTEXTALIGN, {static_cast<std::int32_t>(TA_BASELINE)})
        .font(1, -50)
        .record(EMR_SELECTOBJECT, {1})
        .text(254, -254);
    const QImage image = render(builder.finish());
    int above = 0, below = 0;
    for (int y = 60; y < 130; ++y)
        for (int x = 90; x < 130; ++x)
            if (dark(image, x, y))
                (y < 96 ? above : below)++;
    EXPECT_GT(above, 20);
    EXPECT_EQ(below, 0);
}
