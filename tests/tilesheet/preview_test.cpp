// The tile sheet previewed: its handlers run on the preview's run thread, a sheet closed and
// destroyed during its run, and the same pages from a preview as from a direct run.
#include "support/sheetfixtures.h"

#include "output/brmessage.h"
#include "output/brprinter.h"
#include "report/customreport.h"
#include "report/reportmessages.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace sheettest;

namespace {

constexpr auto patience = std::chrono::seconds(120);

template <class Condition> bool waitFor(Condition done)
{
    const auto until = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void sendEndPreview(const report::TBRPreviewRequest &request)
{
    output::TBRMessage message(report::msgEndPreview, 0,
                               reinterpret_cast<std::intptr_t>(&request.Output));
    QCoreApplication::sendEvent(request.ReportWindow, &message);
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

} // namespace
