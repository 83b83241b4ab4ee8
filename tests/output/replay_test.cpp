// Printing the stored pages of a page output on the printer.
#include "output/brmessage.h"
#include "output/brprinter.h"
#include "support/fakeprinter.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>

using output::TBRPrinter;

namespace {

// A printer that takes stored pages and notes the progress at each, cancelling the replay at
// the `cancelAt`-th page.
struct RecordingDevice : testsupport::FakePrinter {
    RecordingDevice() : FakePrinter({.drawing = Drawing::None})
    {
        onStoredPage = [this] {
            if (onPage)
                onPage();
            progress.push_back(owner->Progress());
            if (cancelAt == static_cast<int>(progress.size()))
                owner->CancelJob();
        };
    }

    TBRPrinter *owner = nullptr;
    std::vector<int> progress;
    int cancelAt = 0;
    std::function<void()> onPage;
};

// A page output holding `pages` recorded pages.
void record(TBRPrinter &printer, int pages)
{
    printer.StartJob();
    for (int i = 0; i < pages; ++i) {
        printer.NewPage();
        printer.PageCanvas()->fillRect({10, 10, 20, 20});
    }
    printer.FinishJob();
}

class Replay : public ::testing::Test {
protected:
    Replay()
    {
        device.owner = &printer;
        printer.Settings().LeftOffset = 42;
        printer.Settings().TopOffset = 40;
        record(printer, 5);
        printer.Destination = TBRPrinter::TDestination::Printer;
        printer.Title = "AB";
    }
    RecordingDevice device;
    TBRPrinter printer{output::TPrinterSettings{}, &device};
};

} // namespace

TEST_F(Replay, PrintsThePageRangeIntoTheSheetAtThePhysicalOffset)
{
    printer.Settings().FirstPage = 2;
    printer.Settings().LastPage = 4;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin;stored;page;stored;page;stored;end;");
    EXPECT_EQ(device.progress, (std::vector<int>{33, 67, 100}));
    EXPECT_EQ(device.title, "AB");
    // A4 with offsets of 4.2 and 4.0 mm at 600 pixels per inch.
    EXPECT_EQ(device.storedTarget, (platform::TRect{-99, -94, 4861, 6921}));
}

TEST_F(Replay, CancelStopsAfterThePageBeingPrintedAndAFirstPagePastTheLastPrintsNothing)
{
    device.cancelAt = 3;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin;stored;page;stored;page;stored;page;abort;");

    device.log.clear();
    device.progress.clear();
    device.cancelAt = 0;
    printer.Settings().FirstPage = 5;
    printer.Settings().LastPage = 4;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin;end;")
        << "the document is begun and ended with its first page empty";
}

TEST_F(Replay, AnAfbrydOfAnEarlierReplayDoesNotStopTheNextOne)
{
    device.cancelAt = 1;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin;stored;page;abort;");

    device.log.clear();
    device.progress.clear();
    device.cancelAt = 0;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin;stored;page;stored;page;stored;page;stored;page;stored;end;");
}

TEST_F(Replay, ShowsTheProgressViewOfTheProviderForTheOwnerWhileItRuns)
{
    struct View : output::TBRProgressView {
        explicit View(int &alive) : alive_(alive) { ++alive_; }
        ~View() override { --alive_; }
        int &alive_;
    };
    int alive = 0;
    QObject owner;
    QObject *askedFor = nullptr;
    printer.ProgressOwner = &owner;
    printer.ProgressProvider = [&](TBRPrinter &output, QObject *o, bool show) {
        EXPECT_EQ(&output, &printer);
        EXPECT_TRUE(show);
        askedFor = o;
        return std::make_unique<View>(alive);
    };
    int aliveWhilePrinting = 0;
    device.onPage = [&] { aliveWhilePrinting = alive; };
    printer.ReplayToPrinter();
    EXPECT_EQ(askedFor, &owner);
    EXPECT_EQ(aliveWhilePrinting, 1);
    EXPECT_EQ(alive, 0) << "the view goes when the replay ends";
}

TEST_F(Replay, PagesOfALinkedReportAreLeftToTheReportToPrintAgain)
{
    struct Report : output::TBRReportLink {
        void PrintLater() override { ++received; }
        void Print() override { ADD_FAILURE() << "the page output never waits for the print"; }
        void EndPreview(output::TBRPrinter &) override {}
        void StopRun(output::TBRPrinter &) override {}
        void PrinterSetup(output::TBRPrinter &) override {}
        int received = 0;
    } report;
    printer.ReportLink = &report;
    printer.ReplayToPrinter();
    EXPECT_EQ(report.received, 1);
    EXPECT_EQ(device.log, "") << "nothing reaches the printer from the stored pages";
}
