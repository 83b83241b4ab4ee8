#include "support/pdftext.h"
#include "support/testfont.h"

#include "platform/cp1252.h"
#include "platform/emf/emfcanvas.h"
#include "platform/emf/emfformat.h"
#include "platform/emf/emfmetafile.h"
#include "platform/emf/emfreader.h"
#include "platform/emf/emfwriter.h"
#include "platform/fontmetrics.h"
#include "platform/paintercanvas.h"
#include "platform/recordingcanvas.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

using namespace platform;
using namespace platform::emf;
using platformtest::arial;

namespace {

constexpr int a4Width = 794;
constexpr int a4Height = 1123;

// Every record of a metafile: type and offset, in order.
std::vector<std::pair<std::uint32_t, std::size_t>> records(const std::vector<std::uint8_t> &b)
{
    std::vector<std::pair<std::uint32_t, std::size_t>> out;
    std::size_t pos = 0;
    while (pos + 8 <= b.size()) {
        out.emplace_back(readLe32(&b[pos]), pos);
        const std::uint32_t size = readLe32(&b[pos + 4]);
        if (size == 0)
            break;
        pos += size;
    }
    return out;
}

std::vector<std::uint8_t> tilePage()
{
    EmfCanvas canvas(a4Width, a4Height);
    canvas.setBrush({clWhite, TBrushStyle::bsSolid});
    canvas.fillRect({10, 20, 90, 70});
    canvas.setFont(arial(9));
    canvas.textOut(12, 22, "L\xE6rer");
    canvas.setFont(arial(12, fsBold));
    canvas.textOut(50, 40, "Fag 1.a", TTextAlign::Center);
    return canvas.finish().bytes();
}

void put32(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

QImage render(const TMetafile &page, QSize size, QRectF target)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    page.play(painter, target);
    painter.end();
    return image;
}

class RecordingHandler : public EmfHandler {
public:
    void patternFill(const TRect &r, std::uint32_t rop) override
    {
        fills.push_back(r), rops.push_back(rop);
    }
    void createFont(std::uint32_t, const EmfLogFont &f) override { fonts.push_back(f); }
    void text(const EmfText &t) override { texts.push_back(t); }
    std::vector<TRect> fills;
    std::vector<std::uint32_t> rops;
    std::vector<EmfLogFont> fonts;
    std::vector<EmfText> texts;
};

} // namespace

TEST(EmfRecording, APageHasTheStandardHeaderAndEndsWithEof)
{
    const std::vector<std::uint8_t> b = tilePage();
    const auto recs = records(b);
    ASSERT_GE(recs.size(), 3u);
    EXPECT_EQ(recs.front().first, EMR_HEADER);
    EXPECT_EQ(recs.back().first, EMR_EOF);
    EXPECT_EQ(recs.back().second + eofSize, b.size());
    EXPECT_EQ(b.size() % 4, 0u);

    const EmfHeader h = readEmfHeader(b.data(), b.size());
    EXPECT_EQ(h.Bytes, b.size());
    EXPECT_EQ(h.Records, recs.size());
    EXPECT_EQ(readLe32(&b[headerSignatureOffset]), 0x464D4520u);
    EXPECT_EQ(std::memcmp(&b[41], "EMF", 4), 0)
        << "the letters and a zero byte, as the store's header test reads them";
    EXPECT_EQ(h.Device, (TSize{a4Width, a4Height}));
    EXPECT_EQ(h.Millimeters, (TSize{210, 297}));
    EXPECT_EQ(h.Frame.Left, 0);
    EXPECT_EQ(h.Frame.Right, 21008 - 1); // 794 px at 96 per inch: 210.08 mm
    EXPECT_EQ(h.Frame.Bottom, 29713 - 1);
    // The drawing bounds cover the fill and the texts.
    EXPECT_EQ(h.Bounds.Left, 10);
    EXPECT_EQ(h.Bounds.Top, 20);
    EXPECT_GE(h.Bounds.Right, 89);
    // Handles: index 0 plus the brush and the two fonts alive at the same time at most.
    EXPECT_GE(h.Handles, 3u);

    const TMetafile page(b);
    EXPECT_EQ(page.Width(), a4Width);
    EXPECT_EQ(page.Height(), a4Height);
}

TEST(EmfRecording, ObjectsAreCreatedSelectedAndDeletedWhenTheyChange)
{
    EmfCanvas canvas(200, 100);
    canvas.setBrush({clWhite, TBrushStyle::bsSolid});
    canvas.fillRect({0, 0, 10, 10});
    canvas.fillRect({10, 0, 20, 10}); // same brush: no new object
    canvas.setBrush({0x0000FF, TBrushStyle::bsSolid});
    canvas.fillRect({20, 0, 30, 10});
    canvas.setBrush({clWhite, TBrushStyle::bsClear});
    canvas.fillRect({30, 0, 40, 10}); // a clear brush paints nothing
    const std::vector<std::uint8_t> b = canvas.finish().bytes();
    std::map<std::uint32_t, int> count;
    for (const auto &[type, at] : records(b))
        ++count[type];
    EXPECT_EQ(count[EMR_CREATEBRUSHINDIRECT], 2);
    EXPECT_EQ(count[EMR_DELETEOBJECT], 1);
    EXPECT_EQ(count[EMR_BITBLT], 3);

    RecordingHandler h;
    walkEmf(b.data(), b.size(), h);
    ASSERT_EQ(h.fills.size(), 3u);
    EXPECT_EQ(h.fills[2], (TRect{20, 0, 30, 10}));
    EXPECT_EQ(h.rops[0], PATCOPY);
}

TEST(EmfRecording, TextIsUtf16WithTheMeasuredAdvanceOfEveryCharacter)
{
    EmfCanvas canvas(a4Width, a4Height);
    canvas.setFont(arial(10, fsBold | fsItalic));
    const std::string text = "\xC6"
                             "ble\xF8 \x80"; // Windows-1252: Æ, ø and the euro sign
    const TSize extent = canvas.textExtent(text);
    canvas.textOut(100, 50, text, TTextAlign::Right);
    const TMetafile page = canvas.finish();

    RecordingHandler h;
    page.walk(h);
    ASSERT_EQ(h.fonts.size(), 1u);
    EXPECT_EQ(h.fonts[0].Height, -13);
    EXPECT_EQ(h.fonts[0].Weight, FW_BOLD);
    EXPECT_TRUE(h.fonts[0].Italic);
    EXPECT_EQ(h.fonts[0].FaceName, u"Arial");
    ASSERT_EQ(h.texts.size(), 1u);
    const EmfText &t = h.texts[0];
    EXPECT_TRUE(t.Wide);
    EXPECT_EQ(t.Text, u"Æbleø €");
    EXPECT_EQ(t.X, 100);
    EXPECT_EQ(t.Y, 50);
    ASSERT_EQ(t.Dx.size(), text.size());
    const FontMetrics &m = fontMetrics(arial(10, fsBold | fsItalic), 96);
    int sum = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        EXPECT_EQ(t.Dx[i], m.advance(static_cast<unsigned char>(text[i]))) << "character " << i;
        sum += t.Dx[i];
    }
    EXPECT_EQ(sum, extent.cx);
    EXPECT_EQ(page.texts(), std::vector<std::string>{text});
}

TEST(EmfReading, BothFormsOfAFilledRectanglePaintTheSamePixels)
{
    // Other programs write a fill either as a pattern BitBlt or as a rectangle with a null pen.
    auto make = [](bool asRectangle) {
        EmfWriter w(40, 30, 96, 96);
        w.selectObject(stockObjectFlag | NULL_PEN);
        const std::uint32_t brush = w.createBrush(BS_SOLID, 0x000000FF); // red
        w.selectObject(brush);
        if (asRectangle)
            w.rectangle({5, 6, 15, 20});
        else
            w.patternBlt({5, 6, 15, 20}, PATCOPY);
        return TMetafile(w.finish());
    };
    const QImage blt = render(make(false), {40, 30}, QRectF(0, 0, 40, 30));
    const QImage rect = render(make(true), {40, 30}, QRectF(0, 0, 40, 30));
    EXPECT_EQ(blt, rect);
    EXPECT_EQ(blt.pixelColor(5, 6), QColor(Qt::red));
    EXPECT_EQ(blt.pixelColor(14, 19), QColor(Qt::red));
    EXPECT_EQ(blt.pixelColor(15, 19), QColor(Qt::gray));
    EXPECT_EQ(blt.pixelColor(14, 20), QColor(Qt::gray));
}

TEST(EmfReading, UnknownRecordsAreSkippedAndEightBitTextIsEnumerated)
{
    EmfWriter w(100, 100, 96, 96);
    w.extTextOutA(1, 2, "Lokale \xC6", {5, 5, 5, 5, 5, 5, 5, 5}, {1, 2, 40, 14});
    std::vector<std::uint8_t> b = w.finish();
    // Insert a comment record (type 70) with some payload before EMR_EOF.
    const std::vector<std::uint8_t> comment = {70,  0,   0,   0,   16, 0, 0, 0,
                                               'a', 'b', 'c', 'd', 1,  2, 3, 4};
    b.insert(b.end() - eofSize, comment.begin(), comment.end());
    put32(b, headerBytesOffset, static_cast<std::uint32_t>(b.size()));
    put32(b, headerRecordsOffset, readLe32(&b[headerRecordsOffset]) + 1);
    const TMetafile page(b);
    EXPECT_EQ(page.texts(), std::vector<std::string>{"Lokale \xC6"});
}

TEST(EmfReading, AMetafileWhoseSizesDoNotAddUpIsRejected)
{
    const std::vector<std::uint8_t> good = tilePage();
    const auto recs = records(good);
    const std::size_t textAt = [&] {
        for (const auto &[type, at] : recs)
            if (type == EMR_EXTTEXTOUTW)
                return at;
        return std::size_t{0};
    }();
    ASSERT_NE(textAt, 0u);
    const std::size_t second = recs[1].second;

    struct Case {
        const char *name;
        std::function<void(std::vector<std::uint8_t> &)> damage;
    };
    const std::vector<Case> cases = {
        {"cut short", [](auto &b) { b.resize(b.size() - 8); }},
        {"length beyond the data",
         [](auto &b) { put32(b, headerBytesOffset, static_cast<std::uint32_t>(b.size() + 4)); }},
        {"record size zero", [&](auto &b) { put32(b, second + 4, 0); }},
        {"record size not a multiple of 4", [&](auto &b) { put32(b, second + 4, 13); }},
        {"record running past the end", [&](auto &b) { put32(b, second + 4, 0x7FFFFFF0); }},
        {"no end record", [](auto &b) { put32(b, b.size() - eofSize, 70); }},
        {"no signature", [](auto &b) { b[41] = 'X'; }},
        {"header size below its minimum", [](auto &b) { put32(b, 4, 40); }},
        {"text string outside its record",
         [&](auto &b) { put32(b, textAt + 36 + 12, 0xFFFFFF00); }},
        {"character count too large", [&](auto &b) { put32(b, textAt + 36 + 8, 0x40000000); }},
        {"advances outside their record", [&](auto &b) { put32(b, textAt + 36 + 36, 0xFFFFFFF0); }},
        {"object outside the handle table", [&](auto &b) { put32(b, headerHandlesOffset, 1); }},
        {"second header", [&](auto &b) { put32(b, second, EMR_HEADER); }},
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> b = good;
        c.damage(b);
        EXPECT_THROW(TMetafile{b}, EmfError) << c.name;
    }
}

TEST(EmfPlaying, APageIsStretchedIntoAnyRectangle)
{
    EmfCanvas canvas(100, 50);
    canvas.setBrush({clBlack, TBrushStyle::bsSolid});
    canvas.fillRect({10, 10, 20, 20});
    canvas.setFont(arial(20));
    canvas.textOut(40, 5, "HH");
    const TMetafile page = canvas.finish();

    // Twice the size, shifted by (7, 3).
    const QImage image = render(page, {300, 150}, QRectF(7, 3, 200, 100));
    EXPECT_EQ(image.pixelColor(7 + 21, 3 + 21), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(7 + 39, 3 + 39), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(7 + 41, 3 + 41), QColor(Qt::gray));
    EXPECT_EQ(image.pixelColor(7 + 19, 3 + 19), QColor(Qt::gray));

    // The text is black, inside the scaled text box and nowhere left of it.
    const FontMetrics &m = fontMetrics(arial(20), 96);
    const int textLeft = 7 + 2 * 40, textRight = 7 + 2 * (40 + m.width("HH"));
    int dark = 0, outside = 0;
    for (int y = 3; y < 3 + 2 * (5 + m.height()); ++y)
        for (int x = 7 + 2 * 25; x < 300; ++x)
            if (image.pixelColor(x, y).lightness() < 64)
                (x >= textLeft && x <= textRight ? dark : outside)++;
    EXPECT_GT(dark, 100);
    EXPECT_EQ(outside, 0);
}

TEST(EmfPlaying, ClipRectanglesLimitTheFills)
{
    EmfCanvas canvas(50, 50);
    canvas.setBrush({clBlack, TBrushStyle::bsSolid});
    canvas.setClipRect({0, 0, 10, 10});
    canvas.fillRect({0, 0, 50, 50});
    canvas.clearClip();
    canvas.fillRect({40, 40, 50, 50});
    const QImage image = render(canvas.finish(), {50, 50}, QRectF(0, 0, 50, 50));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::gray));
    EXPECT_EQ(image.pixelColor(45, 45), QColor(Qt::black));
}

TEST(EmfPlaying, AReplayAtFullSizeGivesTheSamePixelsAsDrawingDirectly)
{
    // The page view and printing of stored pages must show what direct printing shows.
    auto draw = [](Canvas &canvas) {
        canvas.setBrush({0x00E0E0E0, TBrushStyle::bsSolid});
        canvas.fillRect({4, 4, 150, 60});
        canvas.setFont(arial(9));
        canvas.textOut(8, 8, "L\xE6rer HK");
        canvas.setFont(arial(11, fsBold));
        canvas.textOut(140, 30, "3.b", TTextAlign::Right);
        canvas.textOut(80, 45, "Fysik", TTextAlign::Center);
    };
    QImage direct(160, 70, QImage::Format_RGB32);
    direct.fill(Qt::gray);
    {
        QPainter painter(&direct);
        PainterCanvas canvas(painter, 96, 96);
        draw(canvas);
    }
    EmfCanvas recorder(160, 70);
    draw(recorder);
    const QImage replayed = render(recorder.finish(), {160, 70}, QRectF(0, 0, 160, 70));
    int differing = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 160; ++x)
            differing += direct.pixel(x, y) != replayed.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST(EmfPlaying, APageReplayedOntoACanvasDrawsWhatTheRunDrewAtTheCanvasResolution)
{
    // An export filter gets a loaded page through its canvas: the same fills, texts, fonts,
    // colours and clips as the run that drew the page, at the filter's resolution.
    auto draw = [](Canvas &canvas, int scale) {
        canvas.setBrush({0x00E0E0E0, TBrushStyle::bsSolid});
        canvas.fillRect({4 * scale, 4 * scale, 150 * scale, 60 * scale});
        canvas.setClipRect({0, 0, 100 * scale, 70 * scale});
        TFont red = arial(9);
        red.Color = 0x0000FF;
        canvas.setFont(red);
        canvas.textOut(8 * scale, 8 * scale, "L\xE6rer \x80");
        canvas.clearClip();
        canvas.setFont(arial(11, fsBold | fsItalic));
        canvas.textOut(140 * scale, 30 * scale, "3.b", TTextAlign::Right);
        canvas.textOut(80 * scale, 45 * scale, "Fysik", TTextAlign::Center);
    };
    EmfCanvas recorder(160, 70);
    draw(recorder, 1);
    const TMetafile page = recorder.finish();
    for (const int scale : {1, 6}) {
        SCOPED_TRACE(scale);
        RecordingCanvas direct(96 * scale, 96 * scale), replayed(96 * scale, 96 * scale);
        draw(direct, scale);
        replayed.setFont(arial(20));
        page.play(replayed, {0, 0, 160 * scale, 70 * scale});
        EXPECT_EQ(replayed.font(), arial(20)) << "the canvas's own state comes back";
        EXPECT_EQ(replayed.ops().back().kind, CanvasOp::Kind::ClearClip);

        const std::vector<CanvasOp> want = direct.ops();
        std::vector<CanvasOp> got = replayed.ops();
        got.pop_back(); // the player leaves the canvas unclipped
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].kind, want[i].kind);
            EXPECT_EQ(got[i].rect, want[i].rect);
            EXPECT_EQ(got[i].text, want[i].text);
            if (want[i].kind == CanvasOp::Kind::FillRect)
                EXPECT_EQ(got[i].brush.Color, want[i].brush.Color);
            if (want[i].kind != CanvasOp::Kind::TextOut)
                continue;
            EXPECT_EQ(got[i].font.Size, want[i].font.Size);
            EXPECT_EQ(got[i].font.Style, want[i].font.Style);
            EXPECT_EQ(got[i].font.Color, want[i].font.Color);
            EXPECT_EQ(got[i].align, want[i].align);
            EXPECT_EQ(got[i].x, want[i].x);
            EXPECT_EQ(got[i].y, want[i].y);
        }
    }
}

TEST(EmfPlaying, TextAtVeryLargeOrUnevenScalesIsStillDrawn)
{
    EmfCanvas canvas(40, 20);
    canvas.setFont(arial(10));
    canvas.textOut(2, 2, "H");
    const TMetafile page = canvas.finish();
    auto darkPixels = [](const QImage &image) {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += image.pixelColor(x, y).lightness() < 64;
        return dark;
    };
    // 40 times larger: the H's left stem covers the image's top left corner area.
    EXPECT_GT(darkPixels(render(page, {300, 400}, QRectF(0, 0, 40 * 40, 20 * 40))), 1000);
    // Stretched eight times wider than high.
    EXPECT_GT(darkPixels(render(page, {640, 40}, QRectF(0, 0, 640, 40))), 50);
}

TEST(EmfPlaying, AStoredPageReplayedIntoAPdfKeepsItsTextAsText)
{
    // Printing stored pages to a file must give what printing the report directly gives.
    EmfCanvas recorder(2480, 3508, 300);
    recorder.setFont(arial(12));
    recorder.textOut(300, 300,
                     "Matematik K\xF8"
                     "benhavn");
    const TMetafile page = recorder.finish();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("replayed.pdf"));
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        QPainter painter(&writer);
        page.play(painter, QRectF(0, 0, 2480, 3508));
    }
    platformtest::expectTextInPdf(path, QString::fromUtf8("Matematik K\u00f8benhavn"));
}
