// The band layout and the tile sheet's geometry at 96 pixels per inch and zoom 60.
#include "support/reportfixtures.h"

#include <gtest/gtest.h>

using namespace report;
using reporttest::TestReport;
using reporttest::TileSheet;

namespace {
constexpr long double pixel60 = 254.0L / 96 * 100 / 60; // one pixel at zoom 60
} // namespace

TEST(TileSheetGeometry, ReportControlIs476PixelsAndTheDetailBand40)
{
    TileSheet sheet; // right margin 20 mm
    EXPECT_EQ(sheet.report.Bounds().Width, 476);
    EXPECT_EQ(sheet.detail->Bounds().Width, 40);
    EXPECT_NEAR(sheet.detail->Size.Native(TBRBandSize::WidthIndex), 176.3889L, 5e-5L);
    EXPECT_EQ(sheet.detail->Size.Native(TBRBandSize::WidthIndex), 40 * pixel60);
    sheet.report.SetUnits(TBRUnit::MM);
    EXPECT_NEAR(sheet.detail->Size.Width(), 17.639L, 5e-4L);
}

TEST(TileSheetGeometry, TheDefinedRightMarginGivesTheSameColumnWidth)
{
    TileSheet sheet(8.5L, 9.0L, 12.0L, 19.5L);
    EXPECT_EQ(sheet.detail->Bounds().Width, 40);
    EXPECT_NEAR(sheet.detail->Size.Native(TBRBandSize::WidthIndex), 176.3889L, 5e-5L);
}

TEST(TileSheetGeometry, TenMillimetreSideMarginsGive43Pixels)
{
    TileSheet sheet(8.5L, 9.0L, 10.0L, 10.0L);
    EXPECT_EQ(sheet.detail->Bounds().Width, 43);
    EXPECT_NEAR(sheet.detail->Size.Native(TBRBandSize::WidthIndex), 189.618L, 5e-4L);
    EXPECT_EQ(sheet.detail->Bounds().Left, 23); // 10 mm = 22.677 px
}

TEST(TileSheetGeometry, BandHeightSetAfterTheMarginsStaysExact)
{
    TileSheet sheet;
    EXPECT_NEAR(sheet.detail->Size.Native(TBRBandSize::HeightIndex), 465.3333L, 5e-5L);
    sheet.report.SetUnits(TBRUnit::MM);
    EXPECT_NEAR(sheet.detail->Size.Height(), 46.5333L, 5e-5L);
    EXPECT_EQ(sheet.detail->Bounds().Height, 106);
}

TEST(TileSheetGeometry, BandHeightSetBeforeTheMarginsBecomesWholePixels)
{
    TileSheet sheet(8.5L, 9.0L, 12.0L, 20.0L, /*heightFirst=*/true);
    EXPECT_NEAR(sheet.detail->Size.Native(TBRBandSize::HeightIndex), 467.43L, 5e-3L);
    EXPECT_EQ(sheet.detail->Size.Native(TBRBandSize::HeightIndex), 106 * pixel60);
}

TEST(TileSheetGeometry, TwentyMillimetreTopAndBottomMarginsGiveShorterBands)
{
    TileSheet sheet(20.0L, 20.0L, 12.0L, 20.0L);
    sheet.report.SetUnits(TBRUnit::MM);
    EXPECT_NEAR(sheet.detail->Size.Height(), 42.7833L, 5e-5L);
}

TEST(TileSheetGeometry, LabelHandlersBoundsAreWholePixels)
{
    TileSheet sheet;
    TBRLabel &laerer = *sheet.labels[1];
    EXPECT_EQ(laerer.Left(), 6);
    EXPECT_EQ(laerer.Width(), 28);
    EXPECT_NEAR(laerer.Size.Native(TBRPrintableSize::LeftIndex), 26.458L, 5e-4L);
    EXPECT_NEAR(laerer.Size.Native(TBRPrintableSize::WidthIndex), 123.472L, 5e-4L);
    // The defined top of 9.525 mm (21.6 px) became 22 whole pixels.
    EXPECT_EQ(laerer.Top(), 22);
    EXPECT_NEAR(laerer.Size.Native(TBRPrintableSize::TopIndex), 97.014L, 5e-4L);
    sheet.report.SetUnits(TBRUnit::MM);
    EXPECT_NEAR(laerer.Size.Left(), 2.646L, 5e-4L);
    EXPECT_NEAR(laerer.Size.Width(), 12.347L, 5e-4L);
}

TEST(TileSheetGeometry, LabelsKeepTheirPointSizesAfterLoading)
{
    TileSheet sheet;
    EXPECT_EQ(sheet.labels[0]->Font().Size, 9);
    EXPECT_EQ(sheet.labels[4]->Font().Size, 6);
    EXPECT_EQ(sheet.sideLabel->Font().Size, 6);
}

TEST(BandLayout, DetailBandsGetTheColumnWidthAndFullWidthTypesTheWholeWidth)
{
    platform::ScreenResolutionOverride screen(96);
    TestReport report;
    report.Page.SetColumns(3);
    report.Page.SetColumnSpace(5); // 18.9 px, rounded 19
    TBRBand &detail = report.CreateBand(TBRBandType::rbDetail);
    TBRBand &title = report.CreateBand(TBRBandType::rbTitle);
    TBRBand &header = report.CreateBand(TBRBandType::rbGroupHeader);
    TBRBand &footer = report.CreateBand(TBRBandType::rbPageFooter);
    // 794 − round(37.8 + 37.8) = 718; (718 − 19 × 2) div 3 = 226.
    EXPECT_EQ(title.Bounds().Width, 718);
    EXPECT_EQ(footer.Bounds().Width, 718);
    EXPECT_EQ(detail.Bounds().Width, 226);
    EXPECT_EQ(header.Bounds().Width, 226);
    // Stacked from the top margin in band order.
    const std::vector<TBRCustomBand *> order{&title, &detail, &footer, &header};
    EXPECT_EQ(report.BandList(), order);
    int top = 38; // round(37.8)
    for (TBRCustomBand *band : order) {
        EXPECT_EQ(band->Bounds().Top, top);
        EXPECT_EQ(band->Bounds().Left, 38);
        top += band->Bounds().Height;
    }
}

TEST(BandLayout, ChildBandsFollowTheirParentAndTakeItsType)
{
    TestReport report;
    TBRBand &child = report.CreateBand(TBRBandType::rbChild);
    TBRBand &detail = report.CreateBand(TBRBandType::rbDetail);
    TBRBand &title = report.CreateBand(TBRBandType::rbTitle);
    title.SetChildBand(&child);
    EXPECT_EQ(report.BandList(), (std::vector<TBRCustomBand *>{&title, &child, &detail}));
    EXPECT_EQ(child.EffectiveType(), TBRBandType::rbTitle);
    EXPECT_EQ(child.Bounds().Width, title.Bounds().Width);
}

TEST(BandLayout, BandsJoinViaABandAndLeaveWhenDestroyed)
{
    TestReport report;
    TBRBand &detail = report.CreateBand(TBRBandType::rbDetail);
    {
        TBRBand summary;
        summary.SetBandType(TBRBandType::rbSummary);
        summary.SetParent(&detail); // bands are direct children of the report
        EXPECT_EQ(summary.ParentReport(), &report);
        EXPECT_EQ(report.BandList().size(), 2u);
        EXPECT_EQ(summary.Bounds().Top, detail.Bounds().Top + detail.Bounds().Height);
        summary.SetBandType(TBRBandType::rbPageHeader);
        EXPECT_EQ(report.BandList().front(), &summary);
        EXPECT_EQ(detail.Bounds().Top, summary.Bounds().Top + summary.Bounds().Height);
    }
    EXPECT_EQ(report.BandList(), (std::vector<TBRCustomBand *>{&detail}));
    EXPECT_EQ(detail.Bounds().Top, 38);
}

TEST(BandLayout, BoundsFromOutsideMakeTheHeightWholePixelsAndIgnoreTheWidth)
{
    platform::ScreenResolutionOverride screen(96);
    TestReport report;
    TBRBand &band = report.CreateBand(TBRBandType::rbDetail);
    report.SetUnits(TBRUnit::Native);
    band.Size.SetHeight(100); // 37.8 px
    EXPECT_EQ(band.Size.Native(TBRBandSize::HeightIndex), 100);
    const PixelBounds b = band.Bounds();
    band.SetBounds(b.Left, b.Top, b.Width + 50, 50);
    EXPECT_EQ(band.Bounds().Height, 50);
    EXPECT_EQ(band.Bounds().Width, b.Width);
    EXPECT_NEAR(band.Size.Native(TBRBandSize::HeightIndex), 50 * 254.0L / 96, 1e-12L);
    EXPECT_EQ(band.Size.Units(), TBRUnit::Native);
    // A move from outside is undone by the band layout.
    band.SetBounds(b.Left + 7, b.Top + 9, b.Width, 50);
    EXPECT_EQ(band.Bounds().Left, b.Left);
    EXPECT_EQ(band.Bounds().Top, b.Top);
}

TEST(BandLayout, UnitsFanOutToPageBandsAndControls)
{
    TestReport report;
    TBRBand &band = report.CreateBand(TBRBandType::rbDetail);
    TBRLabel &inBand = report.CreateControl<TBRLabel>(band);
    TBRLabel &onReport = report.CreateControl<TBRLabel>(report);
    const std::vector<long double> before = band.Size.Values();
    report.SetUnits(TBRUnit::Inches);
    EXPECT_EQ(report.Page.Units(), TBRUnit::Inches);
    EXPECT_EQ(band.Size.Units(), TBRUnit::Inches);
    EXPECT_EQ(inBand.Size.Units(), TBRUnit::Inches);
    EXPECT_EQ(onReport.Size.Units(), TBRUnit::Inches);
    EXPECT_EQ(band.Size.Values(), before);
}

TEST(BandLayout, ACustomPaperTakesTheReportControlsNewPixelSize)
{
    platform::ScreenResolutionOverride screen(96);
    TestReport report;
    report.Page.SetPaperSize(TBRPaperSize::Custom);
    report.SetBounds(0, 0, 480, 960);
    EXPECT_NEAR(report.Page.Native(TBRPage::WidthIndex), 1270, 1e-12L);
    EXPECT_NEAR(report.Page.Native(TBRPage::LengthIndex), 2540, 1e-12L);
    // A standard paper keeps its size.
    report.Page.SetPaperSize(TBRPaperSize::A4);
    report.SetBounds(0, 0, 480, 960);
    EXPECT_EQ(report.Page.Native(TBRPage::WidthIndex), 2100);
}

TEST(Loading, StoredValuesAreTakenAsTheyAreUntilLoadingEnds)
{
    platform::ScreenResolutionOverride screen(96);
    TestReport report;
    report.BeginLoading();
    report.SetZoom(60);
    report.Page.SetValues({90, 2970, 85, 2100, 120, 195, 0});
    TBRBand &band = report.CreateBand(TBRBandType::rbDetail);
    band.Size.SetValues({466.0L, 176.3888888888889L});
    band.SetBounds(0, 0, 0, 77); // the pixel height of the stream
    TBRLabel &label = report.CreateControl<TBRLabel>(band);
    label.AutoSize = false;
    label.SetBounds(3, 0, 30, 12);
    label.Size.SetValues({0, 15, 25, 0});
    label.FontSize = 9;
    // Nothing is laid out yet.
    EXPECT_EQ(band.StreamPixelHeight, 77);
    EXPECT_EQ(band.Bounds().Height, 77);
    EXPECT_EQ(band.Size.Native(TBRBandSize::HeightIndex), 466);
    report.EndLoading();
    // The band pushed its size (466 native = 105.7 px) and the layout placed it.
    EXPECT_EQ(band.Bounds().Height, 106);
    EXPECT_EQ(band.Size.Native(TBRBandSize::HeightIndex), 466);
    EXPECT_EQ(band.Bounds().Width, 405); // one column: 476 − round(71.43)
    EXPECT_EQ(band.Bounds().Top, 19);    // round(85 / 4.4097) = round(19.28)
    // Pixel bounds from Size; zero ones take the loaded bounds; the font size is applied.
    EXPECT_EQ(label.Left(), 3); // round(15 / 4.41)
    EXPECT_EQ(label.Top(), 6);  // round(25 / 4.41) = round(5.67)
    EXPECT_EQ(label.Width(), 30);
    EXPECT_EQ(label.Height(), 12);
    EXPECT_EQ(label.Font().Size, 9);
}
