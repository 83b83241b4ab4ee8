#include "output/papersize.h"
#include "output/printersettings.h"

#include <gtest/gtest.h>

using namespace output;

TEST(PaperTable, RowsSitAtTheirPaperCodes)
{
    struct Row {
        int code;
        double width, length;
    };
    for (const Row &r :
         {Row{1, 215.9, 279.4}, Row{9, 210, 297}, Row{10, 210, 297}, Row{26, 863.6, 1117.6},
          Row{27, 110, 220}, Row{35, 176, 125}, Row{37, 98.43, 190.5}, Row{55, 297, 210},
          Row{66, 420, 594}, Row{68, 445, 322}}) {
        EXPECT_DOUBLE_EQ(paperTable[r.code].Width, r.width) << r.code;
        EXPECT_DOUBLE_EQ(paperTable[r.code].Length, r.length) << r.code;
    }
}

TEST(PrinterSettingsPaper, PaperIsInNativeUnitsWithTheOrientationApplied)
{
    TPrinterSettings s;
    EXPECT_EQ(s.PaperSize(), paperA4);
    EXPECT_EQ(s.PaperWidth(), 2100);
    EXPECT_EQ(s.PaperLength(), 2970);
    s.SetOrientation(TOrientation::Landscape);
    EXPECT_EQ(s.PaperWidth(), 2970);
    EXPECT_EQ(s.PaperLength(), 2100);
    ASSERT_TRUE(s.SetPaperSize(paperCustom));
    s.CustomWidth = 1000;
    s.CustomLength = 500;
    EXPECT_EQ(s.PaperWidth(), 500);
}

TEST(PrinterSettingsPaper, APaperThePrinterDoesNotOfferIsRefused)
{
    TPrinterSettings s;
    s.SupportedPapers.reset();
    EXPECT_FALSE(s.SetPaperSize(paperA4Small));
    EXPECT_EQ(s.PaperSize(), paperA4);
    EXPECT_TRUE(s.SetPaperSize(paperDefault)) << "Default is always taken";
    EXPECT_FALSE(s.SetPaperSize(paperSizeCount));
}
