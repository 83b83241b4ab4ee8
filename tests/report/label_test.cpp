// Labels: line breaking, measuring, printing with OnPrint, AutoSize, minimum height, stretching.
#include "support/reportfixtures.h"

#include "platform/fontmetrics.h"

#include <gtest/gtest.h>

using namespace report;
using platform::TTextAlign;
using reporttest::RecordingPageTarget;
using reporttest::TestReport;
using reporttest::TileSheet;
using Lines = std::vector<std::string>;

namespace {
const platform::TFont arial9{"Arial", 9, 0, platform::clBlack};

// One label in a detail band of a report at 96 pixels per inch.
struct LabelInBand {
    explicit LabelInBand(int zoom = 100, int width = 30)
    {
        report.SetZoom(zoom);
        band = &report.CreateBand(TBRBandType::rbDetail);
        label = &report.CreateControl<TBRLabel>(*band);
        label->AutoSize = false;
        label->SetFont(arial9);
        label->SetBounds(0, 0, width, 100);
        report.SetPageTarget(&target);
    }
    Lines lines(const std::string &text)
    {
        label->SetCaption(text);
        return label->Lines();
    }
    void print(long double x = 0, long double y = 0)
    {
        label->BeginPrinting();
        label->PrintControl(x, y);
    }

    platform::ScreenResolutionOverride screen{96};
    TestReport report;
    RecordingPageTarget target;
    TBRBand *band = nullptr;
    TBRLabel *label = nullptr;
};
} // namespace

// Widths below: Arial 9 pt at 96 dpi (12 px em) on the reference device, plus one pixel.
// "Mate" = 10 + 7 + 3 + 7 + 1 = 28, "Matem" = 38, "ab " = 18, "Matematik " = 60.

TEST(BreakLines, AWordWiderThanTheLabelKeepsOnlyTheFrontThatIsNarrower)
{
    LabelInBand t(100, 30);
    EXPECT_EQ(t.lines("Matematik"), (Lines{"Mate", ""}));
    // Narrower, not as wide: at 28 pixels "Mate" (28) no longer fits.
    t.label->SetWidth(28);
    EXPECT_EQ(t.lines("Matematik"), (Lines{"Mat", ""}));
}

TEST(BreakLines, ALongWordAfterAShortOneIsCutFromItsEndOnALineOfItsOwn)
{
    LabelInBand t(100, 30);
    EXPECT_EQ(t.lines("ab Matematik cd"), (Lines{"ab ", "Mate", "cd"}));
    // Cut from the end to at most the width: "Mate" (28) stays at 28 pixels.
    t.label->SetWidth(28);
    EXPECT_EQ(t.lines("ab Matematik cd"), (Lines{"ab ", "Mate", "cd"}));
}

TEST(BreakLines, HyphenatedWordsWrapAfterTheHyphen)
{
    LabelInBand t(100, 65); // "Samfunds-" = 60, "Samfunds-fag" = 77
    EXPECT_EQ(t.lines("Samfunds-fag"), (Lines{"Samfunds-", "fag"}));
    t.label->SetWidth(77);
    EXPECT_EQ(t.lines("Samfunds-fag"), (Lines{"Samfunds-fag"}));
}

TEST(BreakLines, CarriageReturnsCutLinesAndLineFeedsAreRemoved)
{
    LabelInBand t(100, 200);
    EXPECT_EQ(t.lines("Fag\r\nKlasse"), (Lines{"Fag", "Klasse"}));
    EXPECT_EQ(t.lines("Fag\nKlasse"), (Lines{"FagKlasse"}));
    EXPECT_EQ(t.lines("a\r\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(t.lines("a\r"), (Lines{"a", ""}));
    EXPECT_EQ(t.lines(""), (Lines{""}));
}

TEST(BreakLines, WordsKeepTheirTrailingSpaceWhichCountsInTheWidth)
{
    LabelInBand t(100, 18); // "ab " = 18, "ab c" = 25
    EXPECT_EQ(t.lines("ab c"), (Lines{"ab ", "c"}));
    // At 17 the word alone is too wide: its front "ab" (15) stays, the space is dropped.
    t.label->SetWidth(17);
    EXPECT_EQ(t.lines("ab c"), (Lines{"ab", "c"}));
}

TEST(BreakLines, WithoutWordWrapTheUnfinishedLineOfASegmentIsDropped)
{
    LabelInBand t(100, 40); // "ab cd " = 34, "ab cd ef" = 44, "cd ef gh" = 44
    t.label->WordWrap = false;
    EXPECT_EQ(t.lines("ab cd ef"), (Lines{"ab cd "}));
    EXPECT_EQ(t.lines("ab\rcd ef gh"), (Lines{"ab", "cd ef "}));
}

TEST(BreakLines, AutoSizeKeepsEachSegmentOnOneLineAndTakesItsWidth)
{
    LabelInBand t(100, 10);
    t.label->AutoSize = true;
    EXPECT_EQ(t.lines("ab Matematik\rcd"), (Lines{"ab Matematik", "cd"}));
    EXPECT_EQ(t.label->Width(), t.label->MeasuredWidth("ab Matematik"));
    EXPECT_EQ(t.label->Width(), 74); // 17 + 56 + 1
}

TEST(BreakLines, TheSideLabelOfTheTileSheetStandsOneLetterPerLine)
{
    TileSheet sheet;
    TBRLabel &side = *sheet.sideLabel;
    EXPECT_EQ(side.Width(), 6);
    // A letter shares its line only where it and the next fit 6 pixels at zoom 60:
    // "K V " is round((14 + 1) × 0.6) = 9 wide, "I X" round((9 + 1) × 0.6) = 6.
    EXPECT_EQ(side.Lines(), (Lines{"K ", "V ", "A ", "D ", "R ", "I X"}));
    EXPECT_EQ(side.MeasuredWidth("K "), 5);
    EXPECT_EQ(side.MeasuredWidth("K V "), 9);
}

TEST(BreakLines, ALabelWithoutParentKeepsNoLines)
{
    TBRLabel label;
    label.SetCaption("Fag");
    EXPECT_TRUE(label.Lines().empty());
    EXPECT_FALSE(label.Formatted());
}

TEST(MeasuredWidth, ReferenceDeviceWidthPlusOneAtTheZoom)
{
    LabelInBand t(100);
    EXPECT_EQ(t.label->MeasuredWidth("Matematik"), 57);
    EXPECT_EQ(t.label->MeasuredWidth(""), 1);
    LabelInBand z(60);
    EXPECT_EQ(z.label->MeasuredWidth("Matematik"), 34); // 34.2
    // Measuring twice gives the same, also without a report (own canvas, no extra pixel).
    TBRLabel loose;
    loose.SetFont(arial9);
    EXPECT_EQ(loose.MeasuredWidth("Matematik"), 56);
}

TEST(MeasuredWidth, PrintingDirectlyScalesThePrinterWidthTo96Dpi)
{
    LabelInBand t(100);
    RecordingPageTarget printer(600, /*toPrinter=*/true);
    t.report.SetPageTarget(&printer);
    // "Matematik" at a 75 px em is 347 printer pixels: round(347 × 96 ÷ 600) = 56, one less
    // than on the reference device.
    EXPECT_EQ(platform::fontMetrics(arial9, 600).width("Matematik"), 347);
    EXPECT_EQ(t.label->MeasuredWidth("Matematik"), 56);
    // A recorded page measures on the reference device again.
    RecordingPageTarget recorded(600, /*toPrinter=*/false);
    t.report.SetPageTarget(&recorded);
    EXPECT_EQ(t.label->MeasuredWidth("Matematik"), 57);
}

TEST(MinimumHeight, ALabelIsAtLeastTheReferenceTextHeightAtTheZoomPlusOne)
{
    LabelInBand t(60);
    t.label->SetHeight(3);
    t.label->SetCaption("Fag");
    EXPECT_EQ(t.label->Height(), 9); // 14 × 60 div 100 + 1
    LabelInBand full(100);
    full.label->SetHeight(3);
    full.label->SetCaption("Fag");
    EXPECT_EQ(full.label->Height(), 15);
    full.label->SetHeight(40);
    full.label->SetCaption("Fag");
    EXPECT_EQ(full.label->Height(), 40);
}

TEST(PixelBounds, SettingOneConvertsAllFourIntoWholePixels)
{
    LabelInBand t(60);
    t.label->Size.SetValues({42.333L, 15.875L, 95.25L, 129.646L});
    t.label->SetWidth(28);
    EXPECT_NEAR(t.label->Size.Native(TBRPrintableSize::WidthIndex), 123.472L, 5e-4L);
    EXPECT_NEAR(t.label->Size.Native(TBRPrintableSize::TopIndex), 97.014L, 5e-4L);
    EXPECT_NEAR(t.label->Size.Native(TBRPrintableSize::HeightIndex), 44.097L, 5e-4L);
}

TEST(AlignToBand, RightAndCentreFollowTheBandWidth)
{
    LabelInBand t(100, 30);
    t.label->SetAlignment(TAlignment::taRightJustify);
    t.label->SetAlignToBand(true);
    const int bandWidth = t.band->Bounds().Width;
    EXPECT_EQ(t.label->Left(), bandWidth - 30);
    t.label->SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(t.label->Left(), (bandWidth - 30) / 2);
    t.label->SetAlignment(TAlignment::taLeftJustify);
    EXPECT_EQ(t.label->Left(), 0);
    // A new column width moves a right-aligned label with it.
    t.label->SetAlignment(TAlignment::taRightJustify);
    t.report.Page.SetColumns(2);
    EXPECT_EQ(t.label->Left(), t.band->Bounds().Width - 30);
}

TEST(Printing, TheTileSheetHandlerTakesEffectForWidthAtOnceForLeftAndTopNextTime)
{
    TileSheet sheet(8.5L, 9.0L, 12.0L, 20.0L, false, /*fitLabels=*/false);
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    TBRLabel &laerer = *sheet.labels[1];
    int calls = 0;
    laerer.OnPrint = [&](TBRCustomLabel &sender, std::string &value) {
        ++calls;
        value = "ABC";
        sender.SetWidth(sheet.detail->Bounds().Width - 12);
        sender.SetLeft(6);
    };
    laerer.BeginPrinting();
    laerer.PrintControl(120, 85);
    laerer.PrintControl(120, 550);
    ASSERT_EQ(calls, 2);
    const auto texts = target.canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    // First print: defined left 15.875 and top 95.25, the handler's width 123.472.
    EXPECT_EQ(texts[0].x, target.ToDeviceX(120 + 15.875L + 123.47222L));
    EXPECT_EQ(texts[0].y, target.ToDeviceY(85 + 95.25L));
    EXPECT_EQ(texts[0].align, TTextAlign::Right);
    EXPECT_EQ(texts[0].text, "ABC");
    // Second: left 6 px = 26.458, top 22 px = 97.014.
    EXPECT_EQ(texts[1].x, target.ToDeviceX(120 + 26.458333L + 123.47222L));
    EXPECT_EQ(texts[1].y, target.ToDeviceY(550 + 97.013889L));
    // The value counted for one print only.
    EXPECT_EQ(laerer.PrintText(), laerer.Caption());
}

TEST(Printing, AnOpaqueLabelPaintsItsRectangleBeforeItsText)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    TBRLabel &fag = *sheet.labels[0];
    fag.OnPrint = [](TBRCustomLabel &, std::string &value) { value = "Dansk"; };
    fag.BeginPrinting();
    fag.PrintControl(120, 85);
    const auto &ops = target.canvas.ops();
    ASSERT_EQ(ops.size(), 3u); // fill, text, clip removed
    EXPECT_EQ(ops[0].kind, platform::CanvasOp::Kind::FillRect);
    EXPECT_EQ(ops[0].brush.Color, platform::clWhite);
    EXPECT_EQ(ops[0].pen.Width, 0);
    const long double px = 254.0L / 96 * 100 / 60;
    EXPECT_EQ(ops[0].rect,
              (platform::TRect{target.ToDeviceX(120 + 6 * px), target.ToDeviceY(85 + 12 * px),
                               target.ToDeviceX(120 + 34 * px), target.ToDeviceY(85 + 22 * px)}));
    EXPECT_EQ(ops[1].text, "Dansk");
    EXPECT_EQ(ops[1].font.Size, 9);
    EXPECT_EQ(ops[2].kind, platform::CanvasOp::Kind::ClearClip);
    // A transparent label paints no rectangle.
    target.canvas.clear();
    fag.Transparent = true;
    fag.PrintControl(120, 85);
    EXPECT_TRUE(target.canvas.fills().empty());
    EXPECT_EQ(target.canvas.texts().size(), 1u);
}

TEST(Printing, ALabelTenPixelsHighPrintsOneLineWithoutStretching)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    TBRLabel &fag = *sheet.labels[0];
    EXPECT_EQ(fag.Height(), 10);
    fag.OnPrint = [](TBRCustomLabel &, std::string &value) { value = "Dansk Engelsk"; };
    fag.BeginPrinting();
    fag.PrintControl(120, 85);
    EXPECT_EQ(fag.Lines(), (Lines{"Dansk ", "Engelsk"}));
    ASSERT_EQ(target.canvas.texts().size(), 1u);
    EXPECT_EQ(target.canvas.texts()[0].text, "Dansk ");
    EXPECT_TRUE(fag.PrintFinished);
}

TEST(Printing, AnEmptyCaptionNeverCallsTheHandlerAndPrintsAnEmptyLabel)
{
    TileSheet sheet;
    RecordingPageTarget target;
    sheet.report.SetPageTarget(&target);
    TBRLabel &fag = *sheet.labels[0];
    int calls = 0;
    fag.OnPrint = [&](TBRCustomLabel &, std::string &value) {
        ++calls;
        value = "Dansk";
    };
    fag.SetCaption("");
    fag.BeginPrinting();
    fag.PrintControl(120, 85);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(target.canvas.texts().empty());
    EXPECT_EQ(target.canvas.fills().size(), 1u);
}

TEST(Printing, AnInvisibleLabelIsPrintedADisabledOneIsNot)
{
    LabelInBand t;
    t.label->SetCaption("Fag");
    t.label->Visible = false;
    t.label->BeginPrinting();
    t.band->Draw(0, 0);
    EXPECT_EQ(t.target.canvas.texts().size(), 1u);
    t.target.canvas.clear();
    t.label->Visible = true;
    t.label->Enabled = false;
    t.band->Draw(0, 0);
    EXPECT_TRUE(t.target.canvas.texts().empty());
}

TEST(Printing, AutoSizeRightJustifiedKeepsItsRightEdge)
{
    LabelInBand t(100, 30);
    t.label->AutoSize = true;
    t.label->SetAlignment(TAlignment::taRightJustify);
    t.label->SetCaption("ab");
    t.label->SetLeft(100);
    const long double right = t.label->Size.Native(TBRPrintableSize::LeftIndex) +
                              t.label->Size.Native(TBRPrintableSize::WidthIndex);
    const int widthBefore = t.label->Width();
    t.label->OnPrint = [](TBRCustomLabel &, std::string &value) { value = "abcdef"; };
    t.print();
    ASSERT_EQ(t.target.canvas.texts().size(), 1u);
    EXPECT_EQ(t.target.canvas.texts()[0].x, t.target.ToDeviceX(right));
    EXPECT_EQ(t.target.canvas.texts()[0].align, TTextAlign::Right);
    // The bounds moved left by the growth, for the prints to come.
    EXPECT_EQ(t.label->Width(), t.label->MeasuredWidth("abcdef"));
    EXPECT_EQ(t.label->Left(), 100 - (t.label->Width() - widthBefore));
}

TEST(Printing, AFrameShiftsTheTextAndIsDrawnAroundTheLabel)
{
    LabelInBand t(100, 60);
    t.label->SetCaption("Fag");
    t.label->Frame.SetDrawTop(true);
    t.label->Frame.SetDrawLeft(true);
    t.label->Size.SetValues({50, 100, 200, 150});
    t.print();
    // One point is round(3.53) = 4 native units.
    ASSERT_EQ(t.target.canvas.texts().size(), 1u);
    EXPECT_EQ(t.target.canvas.texts()[0].x, t.target.ToDeviceX(104));
    EXPECT_EQ(t.target.canvas.texts()[0].y, t.target.ToDeviceY(204));
    const auto fills = t.target.canvas.fills();
    ASSERT_EQ(fills.size(), 3u); // background, top line, left line
    EXPECT_EQ(fills[1].rect,
              (platform::TRect{t.target.ToDeviceX(100), t.target.ToDeviceY(200),
                               t.target.ToDeviceX(254), t.target.ToDeviceY(200) + 1}));
}

namespace {
// Three lines, each label one line high (14 px = 37.04 native at 96 dpi).
struct Stretching : LabelInBand {
    Stretching() : LabelInBand(100, 30)
    {
        report.SetUnits(TBRUnit::Native);
        band->Size.SetHeight(200);
        label->AutoStretch = true;
        label->SetCaption("ab\rcd\ref");
        label->Size.SetValues({lineHeight, 0, 10, 79.375L});
    }
    const long double lineHeight = 14 * 254.0L / 96;
};
} // namespace

TEST(Stretching, ALabelGrowsItsBandWhileThePageHasRoom)
{
    Stretching t;
    t.report.space = 1000;
    t.print(0, 0);
    EXPECT_EQ(t.target.canvas.texts().size(), 3u);
    EXPECT_NEAR(t.band->Expanded, 2 * t.lineHeight, 1e-9L);
    EXPECT_TRUE(t.label->PrintFinished);
    // The strips the label grew into are painted in its colour.
    EXPECT_EQ(t.target.canvas.fills().size(), 3u);
}

TEST(Stretching, WithoutRoomTheRestWaitsForTheNextColumn)
{
    Stretching t;
    // One more line needs round(37.04 + 200 + 0) = 237.
    t.report.space = 236;
    t.print(0, 0);
    EXPECT_EQ(t.target.canvas.texts().size(), 1u);
    EXPECT_FALSE(t.label->PrintFinished);
    EXPECT_EQ(t.label->LineCursor(), 1);
    EXPECT_FALSE(t.band->ControlsFinished());
    // The band prints the unfinished label again at the next column's top.
    t.report.space = 237;
    t.target.canvas.clear();
    t.band->DrawUnfinished(500, 0);
    ASSERT_EQ(t.target.canvas.texts().size(), 2u);
    EXPECT_EQ(t.target.canvas.texts()[0].text, "cd");
    EXPECT_EQ(t.target.canvas.texts()[0].y, t.target.ToDeviceY(10));
    EXPECT_EQ(t.target.canvas.texts()[1].text, "ef");
    EXPECT_TRUE(t.label->PrintFinished);
}

TEST(Stretching, ASiblingThatGrewTheBandFurtherIsNotAddedTo)
{
    Stretching t;
    TBRLabel &sibling = t.report.CreateControl<TBRLabel>(*t.band);
    sibling.AutoSize = false;
    sibling.SetFont(arial9);
    sibling.AutoStretch = true;
    sibling.SetCaption("gh\rij");
    sibling.Size.SetValues({t.lineHeight, 100, 10, 79.375L});
    t.report.space = 1000;
    sibling.BeginPrinting();
    t.label->BeginPrinting();
    t.band->Draw(0, 0);
    // The first label grew the band by two lines; the sibling's one extra line fits in that.
    EXPECT_NEAR(t.band->Expanded, 2 * t.lineHeight, 1e-9L);
    EXPECT_EQ(t.target.canvas.texts().size(), 5u);
}

TEST(Stretching, WithoutAutoStretchOrOnTheReportALabelStopsAtItsHeight)
{
    Stretching t;
    t.report.space = 1000;
    t.label->AutoStretch = false;
    t.print(0, 0);
    EXPECT_EQ(t.target.canvas.texts().size(), 1u);
    EXPECT_TRUE(t.label->PrintFinished);

    TBRLabel &onReport = t.report.CreateControl<TBRLabel>(t.report);
    onReport.AutoSize = false;
    onReport.SetFont(arial9);
    onReport.AutoStretch = true;
    onReport.SetCaption("ab\rcd");
    onReport.Size.SetValues({t.lineHeight, 0, 10, 79.375L});
    t.target.canvas.clear();
    onReport.BeginPrinting();
    onReport.PrintControl(0, 0);
    EXPECT_EQ(t.target.canvas.texts().size(), 1u);
    EXPECT_FALSE(onReport.PrintFinished);
}

TEST(Stretching, TheTileSheetsSideLabelHasRoomForAllItsLines)
{
    TileSheet sheet;
    for (int dpi : {96, 600}) {
        RecordingPageTarget target(dpi);
        sheet.report.SetPageTarget(&target);
        sheet.sideLabel->BeginPrinting();
        sheet.sideLabel->PrintControl(0, 0);
        EXPECT_EQ(target.canvas.texts().size(), 6u) << dpi;
        EXPECT_TRUE(sheet.sideLabel->PrintFinished);
    }
}

TEST(Printing, BeginPrintingResetsThePrintTextToTheCaption)
{
    LabelInBand t(100, 200);
    t.label->SetCaption("Fag");
    t.label->OnPrint = [](TBRCustomLabel &, std::string &value) { value = "Dansk\rEngelsk"; };
    t.print();
    EXPECT_EQ(t.label->PrintText(), "Fag");
    t.label->OnPrint = nullptr;
    t.label->BeginPrinting();
    EXPECT_EQ(t.label->Lines(), (Lines{"Fag"}));
    EXPECT_TRUE(t.label->Printing());
    t.label->EndPrinting();
    EXPECT_FALSE(t.label->Printing());
}

TEST(Printing, AutoSizeCentredMovesHalfTheGrowthAndTheFileLabelTakesThePathsWidth)
{
    LabelInBand t(100, 30);
    t.label->AutoSize = true;
    t.label->SetAlignment(TAlignment::taCenter);
    t.label->SetCaption("ab"); // 15 px
    t.label->SetLeft(100);
    // 38 px: the left edge moves by (15 − 38) div 2, truncated toward zero: −11.
    t.label->SetCaption("abcdef");
    EXPECT_EQ(t.label->Width(), 38);
    EXPECT_EQ(t.label->Left(), 89);

    TileSheet sheet;
    TBRLabel &file = *sheet.fileLabel;
    const int left = file.Left();
    file.SetCaption("C:\\Skemaer\\skema 2024.csv");
    EXPECT_EQ(file.Width(), file.MeasuredWidth("C:\\Skemaer\\skema 2024.csv"));
    EXPECT_GT(file.Width(), 40);
    EXPECT_EQ(file.Left(), left);
}

TEST(Fonts, ALabelUsesItsParentsFontUntilItGetsOneOfItsOwn)
{
    platform::ScreenResolutionOverride screen(96);
    TestReport report;
    report.Font.Size = 14;
    TBRBand &band = report.CreateBand(TBRBandType::rbDetail);
    TBRLabel &label = report.CreateControl<TBRLabel>(band);
    EXPECT_TRUE(label.ParentFont());
    EXPECT_EQ(label.EffectiveFont().Size, 14); // the band passes the report's font on
    band.ParentFont = false;
    band.Font.Size = 11;
    EXPECT_EQ(label.EffectiveFont().Size, 11);
    label.SetFont(arial9);
    EXPECT_FALSE(label.ParentFont());
    EXPECT_EQ(label.EffectiveFont().Size, 9);
    // The font decides the lines.
    label.AutoSize = true;
    label.SetCaption("Matematik");
    const int width9 = label.Width();
    label.SetFont({"Arial", 18, 0, platform::clBlack});
    EXPECT_GT(label.Width(), width9 * 3 / 2);
}
