// Printing the stored pages of a page output on the printer.
#include "output/brmessage.h"
#include "output/brprinter.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>

using output::TBRPrinter;

namespace {

// A printer that keeps what it was asked to do.
class RecordingDevice : public output::TBRPrinterDevice {
public:
    int PixelsPerInchX() const override { return 600; }
    int PixelsPerInchY() const override { return 600; }
    bool Printing() const override { return open; }
    void SetTitle(const std::string &t) override { title = t; }
    void BeginDoc() override { open = true, log += "begin "; }
    void NewPage() override { log += "new "; }
    void EndDoc() override { open = false, log += "end"; }
    void Abort() override { open = false, log += "abort"; }
    platform::Canvas *Canvas() override { return nullptr; }
    void StretchPage(const platform::TMetafile &page, const platform::TRect &rect) override
    {
        log += "page ";
        target = rect;
        if (onPage)
            onPage();
        progress.push_back(owner->Progress());
        if (cancelAt == static_cast<int>(progress.size()))
            owner->CancelJob();
    }

    TBRPrinter *owner = nullptr;
    bool open = false;
    std::string title, log;
    platform::TRect target;
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
    EXPECT_EQ(device.log, "begin page new page new page end");
    EXPECT_EQ(device.progress, (std::vector<int>{33, 67, 100}));
    EXPECT_EQ(device.title, "AB");
    // A4 with offsets of 4.2 and 4.0 mm at 600 pixels per inch.
    EXPECT_EQ(device.target, (platform::TRect{-99, -94, 4861, 6921}));
}

TEST_F(Replay, CancelStopsAfterThePageBeingPrintedAndAFirstPagePastTheLastPrintsNothing)
{
    device.cancelAt = 3;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin page new page new page new abort");

    device.log.clear();
    device.progress.clear();
    device.cancelAt = 0;
    printer.Settings().FirstPage = 5;
    printer.Settings().LastPage = 4;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin end")
        << "the document is begun and ended with its first page empty";
}

TEST_F(Replay, AnAfbrydOfAnEarlierReplayDoesNotStopTheNextOne)
{
    device.cancelAt = 1;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin page new abort");

    device.log.clear();
    device.progress.clear();
    device.cancelAt = 0;
    printer.ReplayToPrinter();
    EXPECT_EQ(device.log, "begin page new page new page new page new page end");
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
