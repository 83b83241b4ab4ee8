// A tile sheet page looks the same whether it is drawn straight on a device or recorded into
// the page store and replayed there: one text routine and one font path serve both.
#include "support/fakeprinter.h"
#include "support/sheetfixtures.h"

#include "output/brprinter.h"
#include "output/printerdevice.h"
#include "platform/emf/emfmetafile.h"
#include "platform/paintercanvas.h"
#include "platform/screen.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

using namespace sheettest;

namespace {

struct Difference {
    int pixels = 0;  // pixels that differ at all
    int largest = 0; // the largest difference of one colour channel
    int inked = 0;   // pixels not white in the first image
};

Difference compare(const QImage &a, const QImage &b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        const auto *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            d.inked += (ra[x] & 0xFFFFFF) != 0xFFFFFF;
            if (ra[x] == rb[x])
                continue;
            ++d.pixels;
            d.largest = std::max({d.largest, std::abs(qRed(ra[x]) - qRed(rb[x])),
                                  std::abs(qGreen(ra[x]) - qGreen(rb[x])),
                                  std::abs(qBlue(ra[x]) - qBlue(rb[x]))});
        }
    }
    return d;
}

class ReplayedPage : public testing::TestWithParam<int> {};

TEST_P(ReplayedPage, ShowsExactlyWhatDirectPrintingDraws)
{
    const int dpi = GetParam();
    Sheet recorded(12);
    Sheet direct(12);
    const platform::ScreenResolutionOverride screen(dpi); // pages are recorded at `dpi`

    ASSERT_GE(recorded.run(), 1);
    const std::unique_ptr<platform::TMetafile> page =
        recorded.form->BRBrikker.PageOutput()->GetPage(1);
    ASSERT_NE(page, nullptr);
    const QSize size(page->header().Device.cx, page->header().Device.cy);

    // A printer whose first page is an image; later pages are drawn and dropped.
    testsupport::FakePrinter printer({.dpiX = dpi,
                                      .dpiY = dpi,
                                      .drawing = testsupport::FakePrinter::Drawing::Image,
                                      .imageSize = size});
    auto output = std::make_unique<output::TBRPrinter>(output::TPrinterSettings{}, &printer);
    output->Destination = output::TBRPrinter::TDestination::Printer;
    direct.form->BRBrikker.SetPageOutput(std::move(output));
    direct.form->BRBrikker.RunReport();

    // Stretched over the whole image, as stored pages are printed.
    QImage replayed(size, QImage::Format_RGB32);
    replayed.fill(Qt::white);
    {
        QPainter painter(&replayed);
        page->play(painter, QRectF(QPointF(0, 0), size));
    }

    // Both go through the same text routine with the same glyphs at the same positions, and
    // the replay maps one recorded pixel onto one image pixel: not even antialiasing differs.
    const Difference d = compare(printer.image, replayed);
    RecordProperty("differingPixels", d.pixels);
    RecordProperty("inkedPixels", d.inked);
    ASSERT_GT(d.inked, size.width()); // the page holds tiles, not just paper
    EXPECT_EQ(d.pixels, 0) << "of " << d.inked << " inked pixels; largest channel difference "
                           << d.largest;
}

INSTANTIATE_TEST_SUITE_P(AtPrinterResolutions, ReplayedPage, testing::Values(96, 300, 600),
                         [](const testing::TestParamInfo<int> &info) {
                             return std::to_string(info.param) + "dpi";
                         });

} // namespace
