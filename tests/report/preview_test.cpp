// Preview: the run on its own thread into the page store while the preview is shown, the end
// of the preview with a finished or a running run, and the release of the page output.
#include "output/brmessage.h"
#include "output/brprinter.h"
#include "platform/screen.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/services.h"
#include "support/fakeprinter.h"
#include "support/waitfor.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace report;

namespace {

constexpr auto patience = std::chrono::seconds(60);

// A report of one detail band with a label; `records` < 0 gives data until it is cancelled.
struct PreviewReport {
    explicit PreviewReport(int records) : records_(records)
    {
        detail = &report.CreateBand(TBRBandType::rbDetail);
        report.SetUnits(TBRUnit::Native);
        detail->Size.SetHeight(400);
        label = &report.CreateControl<TBRLabel>(*detail);
        label->SetCaption("Tile");
        report.OnNeedData = [this](TCustomBandReport &, bool &more) {
            more = records_ < 0 || given < records_;
            ++given;
        };
    }
    platform::ScreenResolutionOverride screen{96};
    TBandReport report{TBRPaperSize::A4, 96};
    TBRBand *detail = nullptr;
    TBRLabel *label = nullptr;
    std::atomic<int> given{0};

private:
    int records_;
};

// The window's part: attach as the page output's client, count the page messages.
class PageCounter : public QObject {
public:
    void customEvent(QEvent *event) override
    {
        if (const output::TBRMessage *m = output::receivedMessage(event))
            if (m->type() == output::msgPageAvailable)
                counts.push_back(static_cast<int>(m->WParam));
    }
    std::vector<int> counts;
};

template <class Condition> bool waitFor(Condition done)
{
    return testsupport::waitFor(done, testsupport::Events::Processed, patience);
}

void sendEndPreview(const TBRPreviewRequest &request)
{
    request.Report->EndPreview(request.Output);
}

TEST(Preview, PagesArriveWhileTheRunGoesOnAndClosingCancelsIt)
{
    PreviewReport r(-1);
    int afterPreview = 0;
    r.report.AfterPreview = [&](TCustomBandReport &) { ++afterPreview; };
    bool sawRunning = false;
    std::vector<int> counts;
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        PageCounter view;
        request.Output.SetClient(&view);
        request.Output.SetBeingPreviewed(true);
        ASSERT_TRUE(waitFor([&] { return request.Output.GetPage(2) != nullptr; }));
        sawRunning = request.Output.OutputState() == output::TBRPrinter::TOutputState::Running;
        EXPECT_FALSE(r.report.Available());
        ASSERT_TRUE(waitFor([&] { return view.counts.size() >= 2; }));
        counts = view.counts;
        request.Output.SetClient(nullptr);
        sendEndPreview(request);
        // The run has ended and its thread released the page output.
        EXPECT_EQ(r.report.PageOutput(), nullptr);
        EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
    };
    r.report.Preview();
    EXPECT_TRUE(sawRunning);
    // Pages completed before the view attached were announced to nobody; from then on every
    // page is announced in turn.
    EXPECT_GE(counts[0], 1);
    EXPECT_EQ(counts[1], counts[0] + 1);
    EXPECT_TRUE(r.report.Cancelled());
    EXPECT_TRUE(r.report.Available());
    EXPECT_EQ(r.report.PageOutput(), nullptr);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
    EXPECT_EQ(afterPreview, 0); // not raised for a cancelled run
}

TEST(Preview, ClosingAfterTheRunRaisesAfterPreviewOnceAndReleasesTheOutput)
{
    PreviewReport r(25);
    int afterPreview = 0;
    r.report.AfterPreview = [&](TCustomBandReport &) { ++afterPreview; };
    int pages = 0;
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        request.Output.SetBeingPreviewed(true);
        ASSERT_TRUE(waitFor([&] {
            return request.Output.OutputState() == output::TBRPrinter::TOutputState::Finished;
        }));
        pages = request.Output.PageList().PageCount();
        sendEndPreview(request);
        sendEndPreview(request); // a second close finds nothing left to release
    };
    r.report.Preview();
    EXPECT_EQ(pages, 5); // six bands of 400 in the 2770 between the 10 mm margins
    EXPECT_EQ(afterPreview, 1);
    EXPECT_FALSE(r.report.Cancelled());
    EXPECT_EQ(r.report.PageOutput(), nullptr);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
}

TEST(Preview, AProviderThatReturnsWithoutClosingIsClosedForIt)
{
    PreviewReport r(-1);
    r.report.OnPreview = [](const TBRPreviewRequest &) {};
    r.report.Preview();
    EXPECT_EQ(r.report.PageOutput(), nullptr);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
    EXPECT_TRUE(r.report.Available());
}

TEST(Preview, WithoutAProviderThePagesAreMadeAndKept)
{
    PreviewReport r(15);
    r.report.Preview();
    ASSERT_NE(r.report.PageOutput(), nullptr);
    EXPECT_EQ(r.report.PageOutput()->PageList().PageCount(), 3);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 0);
}

TEST(Preview, ASecondPreviewOrRunWhileOneIsShownIsIgnored)
{
    PreviewReport r(-1);
    int providerCalls = 0;
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        ++providerCalls;
        ASSERT_TRUE(waitFor([&] { return request.Output.GetPage(1) != nullptr; }));
        r.report.Preview();
        r.report.RunReport();
        r.report.Print();
        EXPECT_EQ(r.report.PageOutput(), &request.Output);
        sendEndPreview(request);
    };
    r.report.Preview();
    EXPECT_EQ(providerCalls, 1);
}

TEST(Preview, AClosedRunThatNeverStartedStillReleasesItsOutputOnce)
{
    // The window closes before the run thread has asked for its first record.
    PreviewReport r(-1);
    r.report.BeforePrint = [](TCustomBandReport &, bool &) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    r.report.OnPreview = [](const TBRPreviewRequest &request) { sendEndPreview(request); };
    r.report.Preview();
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
    EXPECT_LE(r.given.load(), 1);
}

TEST(Preview, AFailingRunEndsItsThreadAndTheFailureIsKept)
{
    PreviewReport r(-1);
    r.report.OnNeedData = [](TCustomBandReport &, bool &) { throw std::runtime_error("no data"); };
    r.report.OnPreview = [](const TBRPreviewRequest &request) {
        ASSERT_TRUE(waitFor([&] {
            return request.Output.OutputState() != output::TBRPrinter::TOutputState::Running &&
                   request.Output.OutputState() != output::TBRPrinter::TOutputState::Idle;
        }));
        sendEndPreview(request);
    };
    r.report.Preview();
    ASSERT_TRUE(r.report.RunFailure() != nullptr);
    EXPECT_THROW(std::rethrow_exception(r.report.RunFailure()), std::runtime_error);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
}

TEST(Preview, AReportDestroyedRightAfterAClosedRunningPreviewIsSafe)
{
    for (int i = 0; i < 5; ++i) {
        auto r = std::make_unique<PreviewReport>(-1);
        r->report.OnPreview = [&](const TBRPreviewRequest &request) {
            ASSERT_TRUE(waitFor([&] { return request.Output.PageNumber() >= 1; }));
            sendEndPreview(request);
        };
        r->report.Preview();
        r.reset();
    }
}

} // namespace

TEST(Preview, ThePreviewsPageOutputKnowsTheSystemPrinterSelectedBeforeTheRun)
{
    // A printer that notes on which thread it was selected.
    testsupport::FakePrinter device({.drawing = testsupport::FakePrinter::Drawing::None});
    const TBRServicesScope services({.PrinterDevice = [&device] { return &device; }});

    PreviewReport r(15);
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        ASSERT_TRUE(waitFor([&] {
            return request.Output.OutputState() == output::TBRPrinter::TOutputState::Finished;
        }));
        EXPECT_TRUE(request.Output.HasPrinters());
        // Its own pages go back to the report; pages it holds unlinked reach the printer.
        request.Output.ReportLink = nullptr;
        request.Output.ReplayToPrinter();
        sendEndPreview(request);
    };
    r.report.Preview();
    EXPECT_EQ(device.ended, 1);
    EXPECT_EQ(device.storedPages, 3);
    EXPECT_EQ(device.selectedOn, std::vector{std::this_thread::get_id()})
        << "the shared printer is selected once, on the user-interface thread";
}
