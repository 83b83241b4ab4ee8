#include "support/pdftext.h"
#include "support/testfont.h"

#include "platform/cp1252.h"
#include "platform/fontface.h"
#include "platform/fontmetrics.h"
#include "platform/fonts.h"
#include "platform/paintercanvas.h"
#include "platform/recordingcanvas.h"
#include "platform/screen.h"
#include "platform/workerthread.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;
using platformtest::arial;

TEST(FontMeasuring, EmIsPointsTimesResolutionOver72RoundedHalfToEven)
{
    EXPECT_EQ(emPixels(9, 96), 12);
    EXPECT_EQ(emPixels(6, 96), 8);
    EXPECT_EQ(emPixels(10, 96), 13);  // 13.33
    EXPECT_EQ(emPixels(9, 300), 38);  // 37.5, tie to even
    EXPECT_EQ(emPixels(15, 300), 62); // 62.5, tie to even
    EXPECT_EQ(emPixels(6, 600), 50);
    EXPECT_EQ(emPixels(-9, 96), 12);
}

TEST(FontMeasuring, HeightIsWindowsAscentPlusDescentInWholePixels)
{
    const FontFace &face = faceForStyle(0);
    EXPECT_EQ(face.unitsPerEm(), 2048);
    EXPECT_EQ(face.winAscent(), 1854);
    EXPECT_EQ(face.winDescent(), 434);
    // 12 px em: 10.86 + 2.54 -> 11 + 3
    EXPECT_EQ(fontMetrics(arial(9), 96).ascent(), 11);
    EXPECT_EQ(fontMetrics(arial(9), 96).height(), 14);
    // 8 px em: 7.24 + 1.70 -> 7 + 2
    EXPECT_EQ(fontMetrics(arial(6), 96).height(), 9);
    // 75 px em at 600 dpi: 67.89 + 15.89 -> 68 + 16
    EXPECT_EQ(fontMetrics(arial(9), 600).height(), 84);
}

TEST(FontMeasuring, DesignAdvancesMatchTheFontEngineReadingTheSameFile)
{
    // At a pixel size equal to the em square the engine's unhinted advance is the design unit.
    for (unsigned style : {0u, unsigned{fsBold}, unsigned{fsItalic}, unsigned{fsBold | fsItalic}}) {
        const FontFace &face = faceForStyle(style);
        const QRawFont raw(QString::fromStdString(face.path()), face.unitsPerEm(),
                           QFont::PreferNoHinting);
        ASSERT_TRUE(raw.isValid());
        for (const char *sample : {"W", "i", " ", "-", "\xC6", "\xF8", "\xE5", "\x80", "K"}) {
            const auto glyphs = raw.glyphIndexesForString(toQString(sample));
            const auto advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
            ASSERT_EQ(advances.size(), 1);
            EXPECT_NEAR(advances[0].x(), face.advance(static_cast<unsigned char>(sample[0])), 0.01)
                << "style " << style << " char " << sample;
        }
    }
    // Bold lower-case letters other than a few are wider than regular ones.
    EXPECT_GT(faceForStyle(fsBold).advance('b'), faceForStyle(0).advance('b'));
}

TEST(FontMeasuring, WidthIsTheSumOfRoundedGlyphAdvances)
{
    const FontMetrics &m = fontMetrics(arial(6), 96);
    // K: 1366 units, space 569 units at an 8 px em: 5.34 -> 5 and 2.22 -> 2.
    EXPECT_EQ(m.advance('K'), 5);
    EXPECT_EQ(m.advance(' '), 2);
    EXPECT_EQ(m.width("K "), 7);
    EXPECT_EQ(m.width("K V "), m.width("K ") + m.width("V "));
    EXPECT_EQ(m.width(""), 0);
    EXPECT_EQ(m.extent("").cy, 9);
}

TEST(FontMeasuring, SameResultInEveryThread)
{
    const std::string text = "Matematik 3.b Lokale 12-14 \xC6\xD8\xC5";
    const int mainWidth = fontMetrics(arial(9), 96).width(text);
    int workerWidth = -1;
    int workerWidthOtherSize = -1;
    platform::WorkerThread worker([&] {
        workerWidth = fontMetrics(arial(9), 96).width(text);
        workerWidthOtherSize = fontMetrics(arial(11, fsBold), 96).width(text);
    });
    worker.join();
    EXPECT_EQ(workerWidth, mainWidth);
    EXPECT_EQ(workerWidthOtherSize, fontMetrics(arial(11, fsBold), 96).width(text));
    EXPECT_GT(workerWidthOtherSize, mainWidth);
}

TEST(FontMeasuring, FontFilesComeFromTheProjectNotFromFontConfiguration)
{
    EXPECT_NE(fontFilePath(0).find("LiberationSans-Regular.ttf"), std::string::npos);
    EXPECT_NE(fontFilePath(fsBold | fsItalic).find("LiberationSans-BoldItalic.ttf"),
              std::string::npos);
    // Underline does not change the face.
    EXPECT_EQ(&faceForStyle(fsUnderline), &faceForStyle(0));
}

TEST(RecordingCanvas, RecordsFillsAndTextsWithTheStateInForce)
{
    RecordingCanvas canvas(300, 300);
    canvas.setBrush({0x0000FF, TBrushStyle::bsSolid});
    canvas.fillRect({1, 2, 3, 4});
    canvas.setFont(arial(9));
    canvas.textOut(10, 20, "Fag", TTextAlign::Right);
    ASSERT_EQ(canvas.ops().size(), 2u);
    EXPECT_EQ(canvas.fills().at(0).rect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(canvas.fills().at(0).brush.Color, 0x0000FFu);
    EXPECT_EQ(canvas.texts().at(0).text, "Fag");
    EXPECT_EQ(canvas.texts().at(0).align, TTextAlign::Right);
    EXPECT_EQ(canvas.textExtent("Fag").cy, fontMetrics(arial(9), 300).height());
}

namespace {
QImage whitePage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The bounding box of non-white pixels.
QRect ink(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}
} // namespace

TEST(PainterCanvas, FillCoversColumnsAndRowsUpToButNotIncludingTheEnd)
{
    QImage image = whitePage(20, 20);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter, 96, 96);
        canvas.setBrush({clBlack, TBrushStyle::bsSolid});
        canvas.fillRect({3, 4, 7, 5});
        canvas.setBrush({clBlack, TBrushStyle::bsClear});
        canvas.fillRect({10, 10, 15, 15});
    }
    EXPECT_EQ(ink(image), QRect(QPoint(3, 4), QPoint(6, 4)));
}

TEST(PainterCanvas, TextStaysInsideItsMeasuredCellForEveryAlignment)
{
    const std::string text = "WWW";
    const TSize size = fontMetrics(arial(9), 96).extent(text);
    for (auto align : {TTextAlign::Left, TTextAlign::Right, TTextAlign::Center}) {
        QImage image = whitePage(120, 40);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter, 96, 96);
            canvas.setFont(arial(9));
            canvas.textOut(60, 10, text, align);
        }
        const int left = align == TTextAlign::Left    ? 60
                         : align == TTextAlign::Right ? 60 - size.cx
                                                      : 60 - size.cx / 2;
        const QRect box = ink(image);
        ASSERT_FALSE(box.isNull());
        EXPECT_GE(box.left(), left - 1);
        EXPECT_LE(box.right(), left + size.cx);
        EXPECT_GE(box.top(), 10);
        EXPECT_LT(box.bottom(), 10 + size.cy);
        // Capitals fill most of the measured width.
        EXPECT_GT(box.width(), size.cx * 3 / 4);
    }
}

TEST(ScreenResolution, AnOverrideHoldsWhileItLives)
{
    const int before = screenPixelsPerInch();
    EXPECT_GT(before, 0);
    {
        ScreenResolutionOverride override(120);
        EXPECT_EQ(screenPixelsPerInch(), 120);
    }
    EXPECT_EQ(screenPixelsPerInch(), before);
}

TEST(FontMeasuring, CachedMetricsEqualFreshlyComputedOnes)
{
    // More fonts than a thread keeps at hand, in an order that evicts and finds them again.
    const std::string text = "K V A D R I X \xC6"
                             "bler-p\xE6"
                             "re 12.b";
    for (int round = 0; round < 2; ++round)
        for (unsigned style : {0u, unsigned{fsBold}, unsigned{fsItalic}})
            for (int points = 5; points <= 30; points += 5)
                for (int dpi : {96, 300, 600}) {
                    const FontMetrics fresh(faceForStyle(style), emPixels(points, dpi));
                    const FontMetrics &cached = fontMetrics(arial(points, style), dpi);
                    ASSERT_EQ(cached.em(), fresh.em());
                    ASSERT_EQ(cached.height(), fresh.height());
                    ASSERT_EQ(cached.width(text), fresh.width(text))
                        << points << " pt at " << dpi << " style " << style;
                }
}

TEST(PainterCanvas, AWorkerThreadPaintsTheSamePixels)
{
    const auto paint = [] {
        QImage image = whitePage(160, 30);
        QPainter painter(&image);
        PainterCanvas canvas(painter, 96, 96);
        canvas.setFont(arial(9, fsBold));
        canvas.textOut(150, 5,
                       "K\xF8"
                       "benhavn 3.b",
                       TTextAlign::Right);
        canvas.setBrush({0x0000FF, TBrushStyle::bsSolid});
        canvas.fillRect({0, 25, 160, 26});
        painter.end();
        return image;
    };
    const QImage main = paint();
    QImage worker;
    platform::WorkerThread thread([&] { worker = paint(); });
    thread.join();
    EXPECT_FALSE(ink(main).isNull());
    EXPECT_EQ(main, worker);
}

TEST(PainterCanvas, TextInAPdfStaysTextInTheEmbeddedFont)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.pdf"));
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        QPainter painter(&writer);
        PainterCanvas canvas(painter);
        EXPECT_EQ(canvas.pixelsPerInchX(), 300);
        canvas.setFont(arial(12));
        canvas.textOut(300, 300,
                       "Matematik K\xF8"
                       "benhavn");
    }
    platformtest::expectTextInPdf(path, QString::fromUtf8("Matematik K\u00f8benhavn"));
}
