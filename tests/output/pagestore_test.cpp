#include "output/brerror.h"
#include "output/brmessage.h"
#include "output/brprinter.h"
#include "platform/screen.h"
#include "support/testpages.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstring>

using namespace output;
using testpages::pageLabel;

namespace {

class MessageLog : public QObject {
public:
    bool event(QEvent *e) override
    {
        const TBRMessage *m = receivedMessage(e);
        if (!m)
            return QObject::event(e);
        (m->type() == msgPageAvailable ? pages : progress).push_back(static_cast<int>(m->WParam));
        return true;
    }
    std::vector<int> pages;
    std::vector<int> progress;
};

std::int32_t le32(const std::vector<unsigned char> &b, std::size_t at)
{
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                     (static_cast<unsigned>(b[at + 3]) << 24));
}

std::string firstText(const platform::TMetafile &page)
{
    const auto texts = page.texts();
    return texts.empty() ? std::string() : texts.front();
}

} // namespace

TEST(PageStore, AOnePageRunFileIsHeaderRecordAndTrailingStart)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    testpages::recordRun(printer, 1);
    const std::unique_ptr<platform::TMetafile> page = printer.GetPage(1);
    ASSERT_TRUE(page);
    printer.SavePages(dir.file("one.brp"));
    const auto b = testpages::fileBytes(dir.file("one.brp"));
    EXPECT_EQ(b.size(), 128 + 8 + page->bytes().size() + 4);
    EXPECT_EQ(le32(b, b.size() - 4), 128);
    EXPECT_EQ(b[0] | (b[1] << 8), 3);
    EXPECT_EQ(b[2] | (b[3] << 8), 40);
    EXPECT_EQ(le32(b, 8), 1);
    EXPECT_EQ(b[25], 0) << "not compressed";
    EXPECT_EQ(le32(b, 128), 1) << "page number";
    EXPECT_EQ(le32(b, 132), static_cast<std::int32_t>(b.size())) << "record end";
    EXPECT_EQ(std::memcmp(&b[136], page->bytes().data(), page->bytes().size()), 0);
    // The header's date is today, as a day count since 30 December 1899.
    double days;
    std::memcpy(&days, &b[16], sizeof days);
    EXPECT_GT(days, 45000.0);
    EXPECT_EQ(page->Width(), 794);
    EXPECT_EQ(page->Height(), 1123);
}

TEST(PageStore, TheClientHearsOfEveryCompletedPageAndTheProgress)
{
    MessageLog log;
    TBRPrinter printer;
    printer.SetClient(&log);
    printer.StartJob();
    for (int n = 1; n <= 5; ++n) {
        printer.NewPage();
        testpages::drawPage(*printer.PageCanvas(), n, 2, 3);
        printer.SetProgress(n * 20);
    }
    printer.FinishJob();
    QCoreApplication::sendPostedEvents(&log);
    EXPECT_EQ(log.pages, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(log.progress, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(printer.AvailablePageCount(), 5);
}

TEST(PageStore, PagesAreFoundWalkingTheChainBothWays)
{
    TBRPrinter printer;
    testpages::recordRun(printer, 6, 3, 5);
    for (int n : {3, 1, 4, 6, 2, 2, 5, 1, 6}) {
        const auto page = printer.GetPage(n);
        ASSERT_TRUE(page) << n;
        EXPECT_EQ(firstText(*page), pageLabel(n));
    }
}

TEST(PageStore, PagesOutsideTheStoreOrStillBeingDrawnGiveNone)
{
    TBRPrinter printer;
    EXPECT_EQ(printer.GetPage(1), nullptr) << "before StartJob";
    printer.StartJob();
    printer.NewPage();
    testpages::drawPage(*printer.PageCanvas(), 1, 1, 1);
    EXPECT_EQ(printer.GetPage(1), nullptr) << "the page being drawn";
    printer.NewPage();
    EXPECT_TRUE(printer.GetPage(1));
    EXPECT_EQ(printer.GetPage(2), nullptr);
    printer.FinishJob();
    EXPECT_EQ(printer.GetPage(0), nullptr);
    EXPECT_TRUE(printer.GetPage(2));
    EXPECT_EQ(printer.GetPage(3), nullptr);
}

TEST(PageStore, TheLifeCycleRefusesCallsOutOfTurn)
{
    TBRPrinter printer;
    try {
        printer.NewPage();
        ADD_FAILURE() << "NewPage before StartJob";
    } catch (const EBRError &e) {
        EXPECT_STREQ(e.what(), "Illegal call to NewPage");
    }
    printer.StartJob();
    printer.NewPage();
    printer.PageCanvas()->textOut(1, 1, "kept");
    try {
        printer.StartJob();
        ADD_FAILURE() << "StartJob twice";
    } catch (const EBRError &e) {
        EXPECT_STREQ(e.what(), "BRPrinter not ready");
    }
    EXPECT_EQ(printer.OutputState(), TBRPrinter::TOutputState::Running);
    ASSERT_NE(printer.PageCanvas(), nullptr) << "the page being drawn survives";
    printer.FinishJob();
    EXPECT_EQ(printer.GetPage(1)->texts(), std::vector<std::string>{"kept"});
    EXPECT_THROW(printer.NewPage(), EBRError);
    printer.Reset();
    EXPECT_EQ(printer.OutputState(), TBRPrinter::TOutputState::Idle);
    EXPECT_EQ(printer.GetPage(1), nullptr);
}

TEST(PageStore, AStorePastTheLimitMovesToABrpTemporaryFileOnce)
{
    std::filesystem::path temp;
    std::vector<std::uint8_t> firstBefore;
    {
        TBRPrinter printer;
        printer.StartJob();
        int n = 0;
        while (printer.PageList().Stream()->InMemory()) {
            printer.NewPage();
            testpages::drawPage(*printer.PageCanvas(), ++n);
            if (n == 2)
                firstBefore = printer.GetPage(1)->bytes();
            ASSERT_LT(n, 100);
        }
        ASSERT_GE(n, 2);
        temp = printer.PageList().Stream()->TempFileName();
        EXPECT_EQ(temp.filename().string().rfind("BRP", 0), 0u) << temp;
        // Out of its folder as soon as it is open, so that no end of the program leaves it.
        // (Windows keeps an open file in its folder and removes it when the handle closes.)
#ifndef _WIN32
        EXPECT_FALSE(std::filesystem::exists(temp));
#endif
        EXPECT_GT(printer.PageList().Stream()->Size(), 250000);
        for (int more = 0; more < 3; ++more) {
            printer.NewPage();
            testpages::drawPage(*printer.PageCanvas(), ++n);
        }
        printer.FinishJob();
        EXPECT_EQ(printer.PageList().Stream()->TempFileName(), temp) << "one move only";
        EXPECT_EQ(printer.GetPage(1)->bytes(), firstBefore);
        for (int i = n; i >= 1; --i)
            EXPECT_EQ(firstText(*printer.GetPage(i)), pageLabel(i));
    }
    EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST(PageStore, ASavedFileReopensWithItsPagesAndGuessesItsPaper)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    testpages::recordRun(printer, 4, 5, 10);
    printer.SavePages(dir.file("saved.brp"));

    TBRPrinter loaded;
    EXPECT_EQ(loaded.Settings().PaperSize(), paperA4);
    loaded.LoadPages(dir.file("saved.brp"));
    EXPECT_EQ(loaded.OutputState(), TBRPrinter::TOutputState::Finished);
    EXPECT_TRUE(loaded.Loaded());
    EXPECT_EQ(loaded.PageNumber(), 4);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(loaded.GetPage(n)->bytes(), printer.GetPage(n)->bytes()) << n;
    // A4 and A4Small both match; the later row wins.
    EXPECT_EQ(loaded.Settings().PaperSize(), paperA4Small);
    EXPECT_EQ(loaded.Settings().Orientation(), TOrientation::Portrait);
    // Saved again, also under its own name, it stays the same file.
    loaded.SavePages(dir.file("again.brp"));
    EXPECT_EQ(testpages::fileBytes(dir.file("again.brp")),
              testpages::fileBytes(dir.file("saved.brp")));
    const auto before = testpages::fileBytes(dir.file("saved.brp"));
    loaded.SavePages(dir.file("saved.brp"));
    EXPECT_EQ(testpages::fileBytes(dir.file("saved.brp")), before);
    // A reopened file is never deleted by its page output.
    loaded.Reset();
    EXPECT_TRUE(std::filesystem::exists(dir.file("saved.brp")));
}

TEST(PageStore, ALandscapeFileGuessesLandscapePaper)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    printer.Settings().SetPaperSize(paperA4);
    printer.Settings().SetOrientation(TOrientation::Landscape);
    testpages::recordRun(printer, 1, 1, 1);
    EXPECT_EQ(printer.GetPage(1)->Width(), 1123);
    printer.SavePages(dir.file("landscape.brp"));
    TBRPrinter loaded;
    loaded.LoadPages(dir.file("landscape.brp"));
    EXPECT_EQ(loaded.Settings().PaperSize(), paperA4Small);
    EXPECT_EQ(loaded.Settings().Orientation(), TOrientation::Landscape);
}

TEST(PageStore, AFileWithTheOlder124ByteHeaderReadsFromOffset124)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    testpages::recordRun(printer, 3, 2, 4);
    printer.SavePages(dir.file("new.brp"));
    const auto b = testpages::fileBytes(dir.file("new.brp"));

    // The same pages behind the older header: count at offset 5, every offset 4 less.
    std::vector<unsigned char> old;
    old.reserve(b.size());
    old.resize(124, 0);
    old[0] = 3;
    old[2] = 40;
    old[5] = 3;
    old.insert(old.end(), b.begin() + 128, b.end());
    auto shift = [&](std::size_t at) {
        const std::int32_t v = le32(old, at) - 4;
        for (int i = 0; i < 4; ++i)
            old[at + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> (8 * i));
    };
    std::size_t at = 124;
    while (at < old.size()) {
        shift(at + 4);
        const std::size_t end = static_cast<std::size_t>(le32(old, at + 4));
        shift(end - 4);
        at = end;
    }
    testpages::writeFile(dir.file("old.brp"), old);

    TBRPrinter loaded;
    loaded.LoadPages(dir.file("old.brp"));
    ASSERT_EQ(loaded.PageNumber(), 3);
    for (int n : {2, 3, 1})
        EXPECT_EQ(loaded.GetPage(n)->bytes(), printer.GetPage(n)->bytes()) << n;
}

TEST(PageStore, ACompressedStoreSavesWithItsFlagAndReopens)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    printer.Compression = true;
    testpages::recordRun(printer, 3, 10, 40);
    printer.SavePages(dir.file("packed.brp"));
    const auto b = testpages::fileBytes(dir.file("packed.brp"));
    EXPECT_EQ(b[25], 1);
    const std::size_t emfSize = printer.GetPage(1)->bytes().size();
    EXPECT_LT(b.size(), 128 + 3 * (12 + emfSize) / 2) << "compression pays on recorded pages";

    TBRPrinter loaded; // the flag comes from the file
    loaded.LoadPages(dir.file("packed.brp"));
    for (int n : {3, 1, 2})
        EXPECT_EQ(loaded.GetPage(n)->bytes(), printer.GetPage(n)->bytes()) << n;
}

TEST(PageStore, AnAbandonedStoreSavesWithItsTrueCount)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    printer.StartJob();
    for (int n = 1; n <= 3; ++n) {
        printer.NewPage();
        testpages::drawPage(*printer.PageCanvas(), n, 1, 1);
    }
    printer.CancelJob();
    EXPECT_TRUE(printer.Cancelled());
    printer.AbortJob(); // the unfinished page 3 is kept
    printer.SavePages(dir.file("abandoned.brp"));
    EXPECT_EQ(le32(testpages::fileBytes(dir.file("abandoned.brp")), 8), 3);
    TBRPrinter loaded;
    loaded.LoadPages(dir.file("abandoned.brp"));
    EXPECT_EQ(loaded.PageNumber(), 3);
    EXPECT_EQ(firstText(*loaded.GetPage(3)), pageLabel(3));
}

TEST(PageStore, ConversionsToDevicePixelsRoundHalfToEven)
{
    TBRPrinter printer;
    printer.StartJob();
    // 96 pixels per inch: 254 native units are 96 pixels.
    EXPECT_EQ(printer.ToDeviceWidth(254), 96);
    EXPECT_EQ(printer.ToDeviceHeight(2970), 1123);
    EXPECT_EQ(printer.ToDeviceX(2100), 794);
    printer.HorizontalFactor = 0.5L;
    EXPECT_EQ(printer.ToDeviceWidth(5), 2); // 2.5
    EXPECT_EQ(printer.ToDeviceWidth(7), 4); // 3.5
    printer.FinishJob();
}

TEST(PageStore, SavingBeforeTheRunHasFinishedWritesNothing)
{
    testpages::TempDir dir;
    TBRPrinter printer;
    printer.StartJob();
    printer.NewPage();
    printer.SavePages(dir.file("early.brp"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("early.brp")));
    printer.FinishJob();
}

TEST(PageStore, APreviewClosedDuringTheRunCancelsItAndRaisesAfterPreview)
{
    TBRPrinter printer;
    int afterPreview = 0;
    printer.OnAfterPreview = [&] { ++afterPreview; };
    printer.SetBeingPreviewed(false);
    EXPECT_EQ(afterPreview, 0) << "only clearing a set flag counts";
    printer.SetBeingPreviewed(true);
    printer.StartJob();
    printer.NewPage();
    printer.SetBeingPreviewed(false);
    EXPECT_TRUE(printer.Cancelled());
    EXPECT_EQ(afterPreview, 1);
    printer.AbortJob();
    printer.SetBeingPreviewed(true);
    printer.SetBeingPreviewed(false);
    EXPECT_EQ(afterPreview, 2);
}

TEST(PageStore, PagesAreRecordedAtTheScreensResolution)
{
    testpages::TempDir dir;
    {
        const platform::ScreenResolutionOverride screen(120);
        TBRPrinter printer;
        testpages::recordRun(printer, 1, 1, 1);
        EXPECT_EQ(printer.GetPage(1)->header().Device, (platform::TSize{992, 1403}));
        EXPECT_EQ(printer.ToDeviceWidth(254), 120);
        printer.SavePages(dir.file("120.brp"));
    }
    // Opened on a 96 pixels per inch screen the file's paper is still found, and the other
    // way round.
    TBRPrinter loaded;
    loaded.Settings().SetPaperSize(1);
    loaded.LoadPages(dir.file("120.brp"));
    EXPECT_EQ(loaded.Settings().PaperSize(), paperA4Small);

    TBRPrinter recorded;
    testpages::recordRun(recorded, 1, 1, 1);
    recorded.SavePages(dir.file("96.brp"));
    const platform::ScreenResolutionOverride screen(120);
    TBRPrinter loaded120;
    loaded120.Settings().SetPaperSize(1);
    loaded120.LoadPages(dir.file("96.brp"));
    EXPECT_EQ(loaded120.Settings().PaperSize(), paperA4Small);
}
