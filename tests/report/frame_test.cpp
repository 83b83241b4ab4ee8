// Frames: line thickness, line rectangles, bands drawn at a position and the report's frame.
#include "support/reportfixtures.h"

#include <gtest/gtest.h>

using namespace report;
using platform::CanvasOp;
using platform::TRect;
using reporttest::RecordingPageTarget;
using reporttest::TestReport;
using reporttest::TileSheet;

namespace {
constexpr long double factor(int dpi) { return dpi / 254.0L; }

std::vector<TRect> rects(const std::vector<CanvasOp> &ops)
{
    std::vector<TRect> out;
    for (const CanvasOp &op : ops)
        out.push_back(op.rect);
    return out;
}
} // namespace

TEST(FrameThickness, OnePointIsOneFourAndEightPixelsAt96_300And600Dpi)
{
    EXPECT_EQ(TBRFrame::Thickness(factor(96), 1), 1);   // 1.333
    EXPECT_EQ(TBRFrame::Thickness(factor(300), 1), 4);  // 4.1667
    EXPECT_EQ(TBRFrame::Thickness(factor(600), 1), 8);  // 8.3333
    EXPECT_EQ(TBRFrame::Thickness(factor(600), 2), 17); // 16.667
    EXPECT_EQ(TBRFrame::Thickness(factor(96), 3), 4);   // 4.0
}

TEST(FrameThickness, MinusOneIsOnePixelAndZeroIsNothing)
{
    for (int dpi : {72, 96, 300, 600, 1200}) {
        EXPECT_EQ(TBRFrame::Thickness(factor(dpi), -1), 1) << dpi;
        EXPECT_EQ(TBRFrame::Thickness(factor(dpi), 0), 0) << dpi;
    }
    // Below one pixel but at least one point: one pixel.
    EXPECT_EQ(TBRFrame::Thickness(factor(36), 1), 1); // 0.5
}

TEST(PaintFrame, LinesLieInsideTheRectangleAndOverlapInTheCorners)
{
    TBRFrame frame;
    for (int side = 0; side < 4; ++side)
        frame.SetSide(side, true);
    frame.SetColor(0x123456);
    platform::RecordingCanvas canvas(300, 300);
    frame.PaintFrame(canvas, {10, 20, 50, 60}, factor(300), factor(300));
    EXPECT_EQ(rects(canvas.fills()),
              (std::vector<TRect>{
                  {10, 20, 50, 24}, {10, 56, 50, 60}, {10, 20, 14, 60}, {46, 20, 50, 60}}));
    for (const CanvasOp &op : canvas.fills()) {
        EXPECT_EQ(op.brush.Color, 0x123456u);
        EXPECT_EQ(op.brush.Style, platform::TBrushStyle::bsSolid);
    }
}

TEST(PaintFrame, ThicknessFollowsEachDirectionsFactor)
{
    TBRFrame frame;
    frame.SetDrawTop(true);
    frame.SetDrawLeft(true);
    platform::RecordingCanvas canvas(600, 300);
    frame.PaintFrame(canvas, {0, 0, 100, 100}, factor(600), factor(300));
    EXPECT_EQ(rects(canvas.fills()), (std::vector<TRect>{{0, 0, 100, 4}, {0, 0, 8, 100}}));
}

TEST(PaintFrame, ADottedStyleStillDrawsSolidFillsAndLeavesThePenSet)
{
    TBRFrame frame;
    frame.SetDrawBottom(true);
    frame.SetStyle(platform::TPenStyle::psDot);
    platform::RecordingCanvas canvas;
    frame.PaintFrame(canvas, {0, 0, 10, 10}, factor(96), factor(96));
    ASSERT_EQ(canvas.fills().size(), 1u);
    EXPECT_EQ(canvas.fills()[0].brush.Style, platform::TBrushStyle::bsSolid);
    EXPECT_EQ(canvas.pen().Style, platform::TPenStyle::psDot);
    EXPECT_EQ(canvas.pen().Width, 1);
}

TEST(PaintFrame, NoSidesDrawNothing)
{
    TBRFrame frame;
    EXPECT_FALSE(frame.AnySide());
    platform::RecordingCanvas canvas;
    frame.PaintFrame(canvas, {0, 0, 10, 10}, factor(96), factor(96));
    EXPECT_TRUE(canvas.fills().empty());
    frame.SetSide(4, true); // no such side
    frame.SetSide(-1, true);
    EXPECT_FALSE(frame.AnySide());
}

class CutFrames : public ::testing::TestWithParam<int> {
protected:
    CutFrames() : target(GetParam())
    {
        sheet.report.Frame.SetDrawTop(true);
        sheet.report.Frame.SetDrawLeft(true);
        sheet.detail->Frame.SetDrawRight(true);
        sheet.detail->Frame.SetDrawBottom(true);
        sheet.report.SetPageTarget(&target);
    }
    TileSheet sheet;
    RecordingPageTarget target;
};

TEST_P(CutFrames, TheReportFrameOutlinesTheAreaInsideTheMargins)
{
    const int dpi = GetParam();
    sheet.report.PaintReportFrame();
    const int t = TBRFrame::Thickness(factor(dpi), 1);
    const auto px = [&](long double native) { return target.ToDeviceX(native); };
    // Top line along y = 85 from x = 120 to 1900, left line along x = 120 from 85 to 2880.
    EXPECT_EQ(rects(target.canvas.fills()),
              (std::vector<TRect>{{px(120), px(85), px(1900), px(85) + t},
                                  {px(120), px(85), px(120) + t, px(2880)}}));
}

TEST_P(CutFrames, EveryTileHasItsRightAndBottomLineOneNativeUnitBelowTheBand)
{
    const long double w = sheet.detail->Size.Native(TBRBandSize::WidthIndex);
    const long double h = sheet.detail->Size.Native(TBRBandSize::HeightIndex);
    const int t = TBRFrame::Thickness(factor(GetParam()), 1);
    for (long double x : {120.0L, 296.0L, 1704.0L})
        for (long double y : {85.0L, 550.0L, 2410.0L}) {
            target.canvas.clear();
            sheet.detail->Draw(x, y);
            const auto fills = target.canvas.fills();
            ASSERT_EQ(fills.size(), 3u); // background, bottom line, right line
            const int left = target.ToDeviceX(x), right = target.ToDeviceX(x + 176.3889L);
            const int top = target.ToDeviceY(y), bottom = target.ToDeviceY(y + 466.3333L);
            EXPECT_EQ(fills[0].rect, (TRect{left, top, right, target.ToDeviceY(y + h)}));
            EXPECT_EQ(fills[0].brush.Color, platform::clWhite);
            EXPECT_EQ(fills[1].rect, (TRect{left, bottom - t, right, bottom}));
            EXPECT_EQ(fills[2].rect, (TRect{right - t, top, right, bottom}));
            EXPECT_EQ(fills[2].brush.Color, platform::clBlack);
            EXPECT_EQ(sheet.detail->BandFrameRect, (TRect{left, top, right, bottom}));
            EXPECT_EQ(target.ToDeviceX(x + w), right);
        }
}

INSTANTIATE_TEST_SUITE_P(Resolutions, CutFrames, ::testing::Values(96, 300, 600));

TEST(CutFramePixels, At96DpiTheLinesMeetTheReportFrame)
{
    TileSheet sheet;
    RecordingPageTarget target(96);
    target.HorizontalFactor = target.VerticalFactor = factor(96);
    sheet.report.SetPageTarget(&target);
    sheet.report.Frame.SetDrawTop(true);
    sheet.report.Frame.SetDrawLeft(true);
    sheet.detail->Frame.SetDrawRight(true);
    sheet.detail->Frame.SetDrawBottom(true);
    sheet.detail->Draw(120, 85);
    sheet.detail->Draw(1704, 2410);
    sheet.report.PaintReportFrame();
    EXPECT_EQ(rects(target.canvas.fills()),
              (std::vector<TRect>{{45, 32, 112, 208},     // first tile's background
                                  {45, 207, 112, 208},    // its bottom line
                                  {111, 32, 112, 208},    // its right line
                                  {644, 911, 711, 1087},  // last tile's background
                                  {644, 1086, 711, 1087}, // bottom line at 2876.333
                                  {710, 911, 711, 1087},  // right line ends at 1880.389
                                  {45, 32, 718, 33},      // report frame on to 1900
                                  {45, 32, 46, 1089}}));  // and down to 2880
}

TEST(CutFramePixels, At600DpiABottomLineEndsATenthOfAMillimetreBelowTheBand)
{
    TileSheet sheet;
    RecordingPageTarget target(600);
    sheet.report.SetPageTarget(&target);
    sheet.detail->Frame.SetDrawBottom(true);
    sheet.detail->Draw(120, 85);
    const auto fills = target.canvas.fills();
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect, (TRect{283, 201, 700, 1300}));  // band: 85 .. 550.333
    EXPECT_EQ(fills[1].rect, (TRect{283, 1294, 700, 1302})); // ends at 551.333
}

TEST(BandDrawing, ATransparentBandHasNoBackgroundButItsFrameAndControls)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    for (auto *label : sheet.report.AllControls())
        label->BeginPrinting();
    sheet.detail->TransparentBand = true;
    sheet.detail->Frame.SetDrawRight(true);
    sheet.detail->Draw(120, 85);
    const auto fills = target.canvas.fills();
    ASSERT_EQ(fills.size(), 6u); // five label backgrounds and the right line
    EXPECT_EQ(fills.back().rect, (TRect{111, 32, 112, 208}));
    EXPECT_EQ(target.canvas.texts().size(), 5u);
}

TEST(BandDrawing, ADisabledBandDrawsNothing)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    sheet.detail->Frame.SetDrawRight(true);
    sheet.detail->SetEnabled(false);
    sheet.detail->Draw(120, 85);
    EXPECT_TRUE(target.canvas.ops().empty());
}

TEST(BandDrawing, ABandOfNoPixelHeightDrawsNothing)
{
    platform::ScreenResolutionOverride screen(96);
    TestReport report;
    RecordingPageTarget target;
    report.SetPageTarget(&target);
    TBRBand &band = report.CreateBand(TBRBandType::rbDetail);
    band.Frame.SetDrawTop(true);
    band.Size.SetHeight(0.1L); // 0.38 px
    EXPECT_EQ(band.Bounds().Height, 0);
    band.Draw(100, 100);
    EXPECT_TRUE(target.canvas.ops().empty());
    EXPECT_EQ(band.BandFrameRect.Top, target.ToDeviceY(100));
}

TEST(BandDrawing, ControlsPrintInControlOrderAtTheBandsPosition)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    for (auto *control : sheet.report.AllControls())
        control->BeginPrinting();
    sheet.labels[2]->Enabled = false; // not printed
    sheet.detail->Draw(296, 550);
    const auto texts = target.canvas.texts();
    ASSERT_EQ(texts.size(), 4u);
    // Each label: left 6 px (26.458 native) right of the column, top in whole pixels.
    EXPECT_EQ(texts[0].y, target.ToDeviceY(550 + 52.916667L)); // 12 px
    EXPECT_EQ(texts[0].x, target.ToDeviceX(296 + 26.458333L));
    EXPECT_EQ(texts[1].y, target.ToDeviceY(550 + 97.013889L));
    EXPECT_EQ(texts[1].align, platform::TTextAlign::Right);
    EXPECT_EQ(texts[1].x, target.ToDeviceX(296 + 26.458333L + 123.47222L));
    EXPECT_EQ(texts[3].font.Size, 6);
}

TEST(BandDrawing, APrecalculatedHeightStandsInForTheBackgroundOnly)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    sheet.detail->Frame.SetDrawBottom(true);
    sheet.detail->PreCaluculateBandHeight = true;
    sheet.detail->PrecalculatedHeight = 1000;
    sheet.detail->Draw(120, 85);
    const auto fills = target.canvas.fills();
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect.Bottom, target.ToDeviceY(1085));
    EXPECT_EQ(fills[1].rect.Bottom, target.ToDeviceY(85 + 466.3333L));
}
