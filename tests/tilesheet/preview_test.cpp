// The tile sheet previewed: its handlers run on the preview's run thread, a sheet closed and
// destroyed during its run, and the same pages from a preview as from a direct run.
#include "support/sheetfixtures.h"

#include "output/brprinter.h"
#include "platform/printer.h"
#include "preview/printdialog.h"
#include "report/customreport.h"
#include "report/services.h"
#include "support/modal.h"
#include "support/waitfor.h"
#include "testqueues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace sheettest;

namespace {

constexpr auto patience = std::chrono::seconds(120);

template <class Condition> bool waitFor(Condition done)
{
    return testsupport::waitFor(done, testsupport::Events::Left, patience);
}

void sendEndPreview(const report::TBRPreviewRequest &request)
{
    request.Report->EndPreview(request.Output);
}

TEST(TileSheetPreview, ASheetClosedDuringItsRunCanBeDestroyedAtOnce)
{
    for (int round = 0; round < 3; ++round) {
        auto sheet = std::make_unique<Sheet>(3000);
        int pagesSeen = 0;
        sheet->form->BRBrikker.OnPreview = [&](const report::TBRPreviewRequest &request) {
            ASSERT_TRUE(waitFor([&] { return request.Output.GetPage(1) != nullptr; }));
            pagesSeen = request.Output.PageNumber();
            sendEndPreview(request);
        };
        sheet->form->BRBrikker.Preview();
        EXPECT_GE(pagesSeen, 1);
        EXPECT_EQ(sheet->form->BRBrikker.ReleasedPreviewOutputs(), 1);
        EXPECT_LT(sheet->form->BrikIndex, 3000); // stopped before the end
        sheet.reset();
    }
}

TEST(TileSheetPreview, APreviewGivesTheSamePagesAsADirectRun)
{
    Sheet sheet(45, {.CutFrames = true, .FileName = "C:\\skema.csv"});
    std::vector<std::unique_ptr<platform::TMetafile>> previewed;
    sheet.form->BRBrikker.OnPreview = [&](const report::TBRPreviewRequest &request) {
        ASSERT_TRUE(waitFor([&] {
            return request.Output.OutputState() == output::TBRPrinter::TOutputState::Finished;
        }));
        for (int n = 1; n <= request.Output.PageNumber(); ++n)
            previewed.push_back(request.Output.GetPage(n));
        sendEndPreview(request);
    };
    sheet.form->BRBrikker.Preview();
    ASSERT_EQ(previewed.size(), 3u);
    ASSERT_EQ(sheet.run(), 3);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(*previewed[n - 1] == *sheet.form->BRBrikker.PageOutput()->GetPage(n)) << n;
}

// The print settings dialog as a user goes through it: "Egenskaber", "Landscape" (or nothing)
// and OK there, then "Udskriv".
void answerPrintDialog(bool landscape)
{
    testsupport::whenModal<QDialog>([landscape](QDialog &print) {
        if (landscape) {
            // The page settings, once they are open over the print dialog.
            testsupport::whileModal<QDialog>([&print](QDialog &pageSetup) {
                if (&pageSetup == &print)
                    return false;
                pageSetup.findChild<QAbstractButton *>(QStringLiteral("landscape"))->click();
                pageSetup.accept();
                return true;
            });
            print.findChild<QAbstractButton *>(QStringLiteral("properties"))->click();
        }
        print.accept();
    });
}

TEST(TileSheetPreview, AnotherOrientationInThePrintSettingsMakesTheSheetAgainAndThePreviewShowsIt)
{
    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-pdf") == queues.end())
        GTEST_SKIP() << "CUPS test printers are not set up " << testqueues::kSetUpHint;
    const report::TBRServicesScope services({.PrintDialog = &preview::ShowPrintDialog});
    Sheet sheet(45);
    report::TBandReport &rep = sheet.form->BRBrikker;
    std::unique_ptr<platform::TMetafile> before, unchanged, after;
    int pagesAfter = 0;
    rep.OnPreview = [&](const report::TBRPreviewRequest &request) {
        output::TBRPrinter &shown = request.Output;
        const auto finished = [&shown] {
            return shown.OutputState() == output::TBRPrinter::TOutputState::Finished;
        };
        ASSERT_TRUE(waitFor(finished));
        before = shown.GetPage(1);
        answerPrintDialog(false);
        rep.PrinterSetup(&shown);
        ASSERT_TRUE(finished()) << "accepted unchanged: the pages stay";
        unchanged = shown.GetPage(1);
        answerPrintDialog(true);
        rep.PrinterSetup(&shown);
        ASSERT_TRUE(waitFor(finished)) << "the preview's run records the landscape pages";
        pagesAfter = shown.PageNumber();
        after = shown.GetPage(1);
        sendEndPreview(request);
    };
    rep.Preview();
    ASSERT_TRUE(before && unchanged && after);
    EXPECT_TRUE(*before == *unchanged);
    const platform::TRect portrait = before->header().Frame, landscape = after->header().Frame;
    EXPECT_GT(portrait.Bottom - portrait.Top, portrait.Right - portrait.Left);
    EXPECT_GT(landscape.Right - landscape.Left, landscape.Bottom - landscape.Top);
    // Six rows of ten still make a page: 135 copies on three pages.
    EXPECT_EQ(pagesAfter, 3);
    rep.SetUnits(report::TBRUnit::MM);
    EXPECT_NEAR(static_cast<double>(sheet.form->BrikDetail.Size.Height()),
                (210.0 - 8.5 - 9.0) / 6 - 0.05, 5e-5);
}

} // namespace
