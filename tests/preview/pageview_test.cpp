// The page view: its zoom and zoom modes, the page it shows, the page output's messages, the
// page painting shared with the thumbnails, and letting go of a page output.
#include "output/brmessage.h"
#include "output/brprinter.h"
#include "output/pagepaint.h"
#include "preview/brpreview.h"
#include "support/testpages.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>

using namespace output;
using namespace preview;

namespace {

struct ShownView {
    explicit ShownView(int pages)
    {
        testpages::recordRun(printer, pages, 4, 5);
        view.SetPageOutput(&printer);
        view.show();
    }
    TBRPrinter printer;
    TBRPreview view;
};

QSize imageSize(const TBRPreview &view) { return view.Image().size(); }

} // namespace

TEST(PageView, AppliedZoomSizesTheImageFromThePaperAtTheScreenResolution)
{
    ShownView v(1);
    v.view.SetZoom(100);
    // A4 at 96 pixels per inch: 2100 x 96 / 254 = 793.7 and 2970 x 96 / 254 = 1122.5, rounded,
    // each with 4 pixels of outline and shadow.
    EXPECT_EQ(imageSize(v.view), QSize(798, 1127));
    v.view.SetZoom(50); // 396.9 -> 397 and 561.3 -> 561
    EXPECT_EQ(imageSize(v.view), QSize(401, 565));

    // A page narrower than the view is centred in it; a wider one starts at the left edge.
    v.view.resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(v.view.ImageOrigin(), QPoint((1000 - 401) / 2, (700 - 565) / 2));
    v.view.SetZoom(200);
    EXPECT_EQ(v.view.ImageOrigin(), QPoint(0, 0));

    // Turned, the paper's sides change places.
    v.printer.Settings().SetOrientation(TOrientation::Landscape);
    v.view.SetZoom(100);
    EXPECT_EQ(imageSize(v.view), QSize(1127, 798));

    // Without a page output a 215.9 x 279.4 pixel sheet stands in.
    TBRPreview empty;
    empty.SetZoom(100);
    EXPECT_EQ(imageSize(empty), QSize(220, 283));
}

TEST(PageView, ZoomsFrom2To2000AreTakenAndOthersChangeNothingModeIncluded)
{
    ShownView v(1);
    v.view.resize(800, 600);
    v.view.ZoomToFit();
    const int fitted = v.view.Zoom();
    for (const int refused : {1, 2001, 0, -5}) {
        v.view.SetZoom(refused);
        EXPECT_EQ(v.view.Zoom(), fitted) << refused;
        EXPECT_EQ(v.view.ZoomState(), TBRZoomState::brZoomToFit) << refused;
    }
    v.view.SetZoom(2);
    EXPECT_EQ(v.view.Zoom(), 2);
    EXPECT_EQ(v.view.ZoomState(), TBRZoomState::brZoomOther);
    v.view.SetZoom(2000);
    EXPECT_EQ(v.view.Zoom(), 2000);
    EXPECT_EQ(imageSize(v.view).width(), 15874 + 4); // 2100 x 20 x 96 / 254 = 15874.0
}

TEST(PageView, WholePageAndPageWidthRefitOnEveryResizeUntilAFixedZoom)
{
    ShownView v(1);
    v.view.resize(800, 600);
    QCoreApplication::processEvents();
    v.view.ZoomToFit();
    // Page 794 x 1123 pixels: 800 / 794 x 95 = 95.7, 600 / 1123 x 95 = 50.8; the smaller wins.
    EXPECT_EQ(v.view.Zoom(), 51);
    EXPECT_EQ(v.view.ZoomState(), TBRZoomState::brZoomToFit);

    v.view.resize(1000, 1200); // 119.6 and 101.5
    QCoreApplication::processEvents();
    EXPECT_EQ(v.view.Zoom(), 102);

    v.view.ZoomToWidth(); // 1000 / 794 x 90 = 113.4
    EXPECT_EQ(v.view.Zoom(), 113);
    EXPECT_EQ(v.view.ZoomState(), TBRZoomState::brZoomToWidth);
    v.view.resize(600, 1200); // 68.0
    QCoreApplication::processEvents();
    EXPECT_EQ(v.view.Zoom(), 68);

    v.view.SetZoom(150);
    v.view.resize(900, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(v.view.Zoom(), 150);
    EXPECT_EQ(v.view.ZoomState(), TBRZoomState::brZoomOther);
    EXPECT_EQ(imageSize(v.view), QSize(1191 + 4, 1684 + 4)); // 1190.6 and 1683.8
}

TEST(PageView, ShowsOnePageAtATimeAndIgnoresPagesItCannotShow)
{
    ShownView v(3);
    EXPECT_EQ(v.view.PageNumber(), 1);
    ASSERT_TRUE(v.view.Image().HasPicture());
    EXPECT_EQ(v.view.Image().Picture()->texts().front(), testpages::pageLabel(1));

    const platform::TMetafile *held = v.view.Image().Picture();
    v.view.SetPageNumber(1); // the page shown, with its picture: not taken again
    EXPECT_EQ(v.view.Image().Picture(), held);

    v.view.SetPageNumber(3);
    EXPECT_EQ(v.view.PageNumber(), 3);
    EXPECT_EQ(v.view.Image().Picture()->texts().front(), testpages::pageLabel(3));
    for (const int outside : {0, -1, 4}) {
        v.view.SetPageNumber(outside);
        EXPECT_EQ(v.view.PageNumber(), 3) << outside;
    }
}

TEST(PageView, PageMessagesFetchAMissingPageAndArePassedOnWithTheirLowWord)
{
    TBRPrinter printer;
    TBRPreview view;
    std::vector<int> available, progress;
    view.OnPageAvailable = [&](TBRPreview &, int n) { available.push_back(n); };
    view.OnProgressUpdate = [&](TBRPreview &, int p) { progress.push_back(p); };
    printer.StartJob();
    view.SetPageOutput(&printer);
    EXPECT_EQ(printer.Client(), &view);
    EXPECT_TRUE(printer.BeingPreviewed());

    printer.NewPage(); // page 1 is being drawn: nothing to show yet
    testpages::drawPage(*printer.PageCanvas(), 1, 1, 1);
    view.SetPageNumber(1);
    EXPECT_FALSE(view.Image().HasPicture());
    printer.NewPage(); // page 1 complete: msgPageAvailable with 1
    testpages::drawPage(*printer.PageCanvas(), 2, 1, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(available, std::vector<int>{1});
    ASSERT_TRUE(view.Image().HasPicture());
    EXPECT_EQ(view.Image().PageNumber(), 1);

    // A message for another page only tells the window; the high word is not the count.
    postMessage(&view, msgPageAvailable, 0x50002);
    postMessage(&view, msgProgress, 0x70019);
    QCoreApplication::processEvents();
    EXPECT_EQ(available, (std::vector<int>{1, 2}));
    EXPECT_EQ(progress, std::vector<int>{25});
    EXPECT_EQ(view.PageNumber(), 1);
    printer.FinishJob();
}

TEST(PageView, TheViewLetsGoOfItsPageOutputEitherWay)
{
    int afterPreview = 0;
    {
        // The view goes first: the page output is no longer previewed, and says so once.
        TBRPrinter printer;
        printer.OnAfterPreview = [&] { ++afterPreview; };
        testpages::recordRun(printer, 2, 1, 1);
        {
            TBRPreview view;
            view.SetPageOutput(&printer);
        }
        EXPECT_EQ(afterPreview, 1);
        EXPECT_FALSE(printer.BeingPreviewed());
        EXPECT_EQ(printer.Client(), nullptr);
        EXPECT_EQ(printer.View(), nullptr);
    }
    EXPECT_EQ(afterPreview, 1);

    // The page output goes first: the view forgets it and touches it no more.
    TBRPreview view;
    auto printer = std::make_unique<TBRPrinter>();
    printer->OnAfterPreview = [&] { ++afterPreview; };
    testpages::recordRun(*printer, 2, 1, 1);
    view.SetPageOutput(printer.get());
    printer.reset();
    EXPECT_EQ(view.PageOutput(), nullptr);
    view.SetPageNumber(2);
    EXPECT_EQ(view.PageNumber(), 1);
    view.SetZoom(80);
    EXPECT_EQ(imageSize(view), QSize(177, 228)); // the stand-in sheet: 172.7 and 223.5
    EXPECT_EQ(afterPreview, 1);
}

TEST(PageView, ADamagedPageIsDrawnAsNothing)
{
    testpages::TempDir dir;
    {
        TBRPrinter printer;
        testpages::recordRun(printer, 3, 2, 2);
        printer.SavePages(dir.file("job.brp"));
    }
    auto bytes = testpages::fileBytes(dir.file("job.brp"));
    // Page 2's record: it starts where page 1's record ends. Its metafile's second record is
    // given a size that cannot be.
    std::uint32_t page2 = 0;
    std::memcpy(&page2, &bytes[TBRPageList::HeaderSize + 4], 4);
    const std::size_t emf = page2 + 8;
    std::uint32_t headerRecord = 0;
    std::memcpy(&headerRecord, &bytes[emf + 4], 4);
    const std::uint32_t bogus = 3;
    std::memcpy(&bytes[emf + headerRecord + 4], &bogus, 4);
    testpages::writeFile(dir.file("damaged.brp"), bytes);

    TBRPrinter printer;
    printer.LoadPages(dir.file("damaged.brp"));
    EXPECT_ANY_THROW(printer.GetPage(2));
    TBRPreview view;
    view.SetPageOutput(&printer);
    view.SetPageNumber(2);
    EXPECT_EQ(view.PageNumber(), 2);
    EXPECT_FALSE(view.Image().HasPicture());
    view.SetPageNumber(3);
    EXPECT_TRUE(view.Image().HasPicture());
}

// ---- The page painting ----

namespace {
const QRgb background = qRgb(0x80, 0x80, 0x80);

QImage painted(const platform::TMetafile *picture, bool frame)
{
    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    PaintPage(picture, painter, QRect(10, 10, 50, 40), frame); // l 10, t 10, r 60, b 50
    return image;
}
} // namespace

TEST(PagePainting, PaperOutlineAndShadowLieWhereTheRectangleSays)
{
    const QImage image = painted(nullptr, true);
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    // The outline through (10, 10), (10, 48), (58, 48), (58, 10).
    for (const QPoint p : {QPoint(10, 10), QPoint(10, 48), QPoint(58, 48), QPoint(58, 10),
                           QPoint(30, 10), QPoint(10, 30), QPoint(30, 48), QPoint(58, 30)})
        EXPECT_EQ(image.pixel(p), black) << p.x() << "," << p.y();
    // The paper inside it.
    for (const QPoint p : {QPoint(11, 11), QPoint(57, 47), QPoint(30, 30)})
        EXPECT_EQ(image.pixel(p), white) << p.x() << "," << p.y();
    // The shadow: (58, 12)-(60, 50) and (12, 48)-(60, 50), so the two corners it leaves out
    // keep the background.
    for (const QPoint p : {QPoint(59, 12), QPoint(59, 49), QPoint(12, 49), QPoint(35, 49)})
        EXPECT_EQ(image.pixel(p), black) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(59, 10), QPoint(59, 11), QPoint(10, 49), QPoint(11, 49),
                           QPoint(60, 30), QPoint(30, 50), QPoint(9, 9)})
        EXPECT_EQ(image.pixel(p), background) << p.x() << "," << p.y();
}

TEST(PagePainting, ThePictureIsStretchedOverTheRectangleAndNothingAloneDrawsNothing)
{
    const QImage nothing = painted(nullptr, false);
    for (int y = 0; y < nothing.height(); ++y)
        for (int x = 0; x < nothing.width(); ++x)
            ASSERT_EQ(nothing.pixel(x, y), background) << x << "," << y;

    // A page whose lower right quarter is black: stretched over 50 x 40 pixels it covers
    // (35, 30)-(60, 50), outline and shadow aside.
    TBRPrinter printer;
    printer.StartJob();
    printer.NewPage();
    platform::Canvas &canvas = *printer.PageCanvas();
    canvas.setBrush({platform::clBlack, platform::TBrushStyle::bsSolid});
    canvas.fillRect({397, 562, 794, 1123});
    printer.FinishJob();
    const auto page = printer.GetPage(1);
    const QImage image = painted(page.get(), false);
    EXPECT_EQ(qGray(image.pixel(45, 40)), 0);
    EXPECT_EQ(qGray(image.pixel(20, 20)), 255);
    EXPECT_EQ(qGray(image.pixel(50, 20)), 255);
    EXPECT_EQ(qGray(image.pixel(20, 40)), 255);
}

TEST(PagePainting, EdgesAreSmoothedAndDrawnAtTheDevicePixelRatio)
{
    // A page black from x = 101 on, stretched to half size: its edge falls at 50.5 pixels.
    TBRPrinter printer;
    printer.StartJob();
    printer.NewPage();
    printer.PageCanvas()->setBrush({platform::clBlack, platform::TBrushStyle::bsSolid});
    printer.PageCanvas()->fillRect({101, 0, 794, 1123});
    printer.FinishJob();
    const auto page = printer.GetPage(1);
    const auto paint = [&](qreal ratio) {
        QImage image((QSizeF(420, 580) * ratio).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintPage(page.get(), painter, QRect(0, 0, 397, 562), false);
        return image;
    };
    // On a standard screen the pixel the edge halves is grey.
    const QImage standard = paint(1);
    EXPECT_EQ(qGray(standard.pixel(49, 100)), 255);
    EXPECT_GT(qGray(standard.pixel(50, 100)), 30);
    EXPECT_LT(qGray(standard.pixel(50, 100)), 225);
    EXPECT_EQ(qGray(standard.pixel(51, 100)), 0);
    // At twice the density the edge lies between two device pixels and stays sharp.
    const QImage dense = paint(2);
    EXPECT_EQ(qGray(dense.pixel(100, 200)), 255);
    EXPECT_EQ(qGray(dense.pixel(101, 200)), 0);
}
