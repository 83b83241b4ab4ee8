// The preview window over a report's run on its thread: it opens on page 1 fitted while the
// pages arrive, closing it during the run cancels the run without AfterPreview, and closing it
// after the run raises AfterPreview once; the released page output is never touched again.
#include "output/brmessage.h"
#include "output/brpreview.h"
#include "output/brprinter.h"
#include "output/previewinterface.h"
#include "output/standardpreview.h"
#include "output/thumbgrid.h"
#include "platform/screen.h"
#include "report/customreport.h"
#include "report/label.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

using namespace report;

namespace {

constexpr auto patience = std::chrono::seconds(120);

// A report of one detail band with a label; `records` < 0 gives data until it is cancelled.
struct WindowReport {
    explicit WindowReport(int records) : records_(records)
    {
        TBRBand &detail = report.CreateBand(TBRBandType::rbDetail);
        report.SetUnits(TBRUnit::Native);
        detail.Size.SetHeight(400);
        report.CreateControl<TBRLabel>(detail).SetCaption("Tile");
        report.OnNeedData = [this](TCustomBandReport &, bool &more) {
            more = records_ < 0 || given < records_;
            ++given;
        };
        report.AfterPreview = [this](TCustomBandReport &) { ++afterPreview; };
        report.OnPreview = [](const TBRPreviewRequest &request) {
            output::TBRStandardPreviewInterface().ShowModal(request);
        };
    }
    platform::ScreenResolutionOverride screen{96};
    TBandReport report{TBRPaperSize::A4, 96};
    std::atomic<int> given{0};
    int afterPreview = 0;

private:
    int records_;
};

// Calls `step` with the open preview window from the window's own event loop until it returns
// true (it closes the window then), or gives up.
void whileShown(const std::function<bool(output::TBRStandardPreview &)> &step)
{
    auto *timer = new QTimer(qApp);
    const auto until = std::chrono::steady_clock::now() + patience;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step, until] {
        auto *window =
            qobject_cast<output::TBRStandardPreview *>(QApplication::activeModalWidget());
        if (std::chrono::steady_clock::now() > until) {
            ADD_FAILURE() << "the preview did not get there in time";
            timer->deleteLater();
            if (window != nullptr)
                window->close();
            return;
        }
        if (window != nullptr && step(*window))
            timer->deleteLater();
    });
    timer->start(2);
}

int pageCountIn(const QString &info) { return info.section(' ', 3, 3).toInt(); }

} // namespace

TEST(PreviewWindowRun, OpensOnPageOneFittedWhilePagesArriveAndClosingCancelsTheRun)
{
    WindowReport r(-1);
    std::set<int> countsSeen;
    bool checked = false;
    whileShown([&](output::TBRStandardPreview &window) {
        const QString info = window.StatusPanel(1);
        EXPECT_TRUE(info.startsWith(QStringLiteral("Side 1 af "))) << info.toStdString();
        countsSeen.insert(pageCountIn(info));
        if (countsSeen.size() < 3)
            return false;
        EXPECT_TRUE(window.isMaximized());
        EXPECT_EQ(window.Preview().ZoomState(), output::TBRZoomState::brZoomToFit);
        EXPECT_FALSE(window.findChild<QAbstractButton *>("Print")->isEnabled());
        EXPECT_EQ(window.Preview().PageOutput()->OutputState(),
                  output::TBRPrinter::TOutputState::Running);
        checked = true;
        QTest::keyClick(&window.Preview(), Qt::Key_Escape);
        // The run has stopped and its thread released the page output before the close
        // returned; the window holds nothing of it.
        EXPECT_EQ(window.Preview().PageOutput(), nullptr);
        EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
        window.GoToPage(2);
        window.Thumbs().viewport()->grab();
        return true;
    });
    r.report.Preview();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(r.report.Cancelled());
    EXPECT_TRUE(r.report.Available());
    EXPECT_EQ(r.report.PageOutput(), nullptr);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
    EXPECT_EQ(r.afterPreview, 0);
}

TEST(PreviewWindowRun, ClosingAfterTheRunRaisesAfterPreviewOnce)
{
    WindowReport r(25); // five pages
    int pages = 0;
    whileShown([&](output::TBRStandardPreview &window) {
        if (!window.findChild<QAbstractButton *>("Print")->isEnabled())
            return false;
        pages = window.Thumbs().RowCount();
        EXPECT_EQ(window.StatusPanel(1), QStringLiteral("Side 1 af 5"));
        window.close();
        EXPECT_EQ(r.afterPreview, 1);
        EXPECT_EQ(window.Preview().PageOutput(), nullptr);
        return true;
    });
    r.report.Preview();
    EXPECT_EQ(pages, 5);
    EXPECT_EQ(r.afterPreview, 1);
    EXPECT_FALSE(r.report.Cancelled());
    EXPECT_EQ(r.report.PageOutput(), nullptr);
    EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
}

TEST(PreviewWindowRun, ClosingAtOnceWhileTheRunStartsLeavesNothingBehind)
{
    for (int round = 0; round < 10; ++round) {
        auto r = std::make_unique<WindowReport>(-1);
        whileShown([](output::TBRStandardPreview &window) {
            window.close();
            return true;
        });
        r->report.Preview();
        EXPECT_EQ(r->report.ReleasedPreviewOutputs(), 1);
        EXPECT_EQ(r->afterPreview, 0);
        r.reset();
    }
}

TEST(PreviewHandOver, ThePageOutputHasItsPaperAndTitleBeforeTheRunThreadReachesThem)
{
    WindowReport r(5);
    r.report.Page.SetPaperSize(TBRPaperSize::A5);
    r.report.Page.SetOrientation(TBROrientation::poLandscape);
    r.report.ReportTitle = "7.b";
    std::atomic<bool> runStarted{false};
    r.report.BeforePrint = [&](TCustomBandReport &, bool &) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        runStarted = true;
    };
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        const output::TPrinterSettings &settings = request.Output.Settings();
        EXPECT_FALSE(runStarted.load());
        EXPECT_EQ(settings.PaperSize(), static_cast<int>(TBRPaperSize::A5));
        EXPECT_EQ(settings.Orientation(), output::TOrientation::Landscape);
        EXPECT_EQ(request.Output.Title, "7.b");
        output::TBRMessage close(output::msgEndPreview, 0,
                                 reinterpret_cast<std::intptr_t>(&request.Output));
        QCoreApplication::sendEvent(request.ReportWindow, &close);
    };
    r.report.Preview();
}

TEST(PreviewHandOver, ARunAfterAPreviewThatPrintedNothingStillGivesItsPageOutputThePaper)
{
    WindowReport r(5);
    r.report.BeforePrint = [](TCustomBandReport &, bool &printReport) { printReport = false; };
    r.report.OnPreview = [](const TBRPreviewRequest &request) {
        output::TBRMessage close(output::msgEndPreview, 0,
                                 reinterpret_cast<std::intptr_t>(&request.Output));
        QCoreApplication::sendEvent(request.ReportWindow, &close);
    };
    r.report.Preview();

    r.report.BeforePrint = nullptr;
    r.report.Page.SetPaperSize(TBRPaperSize::Letter);
    r.report.SetPageOutput(std::make_unique<output::TBRPrinter>());
    r.report.RunReport();
    EXPECT_EQ(r.report.PageOutput()->Settings().PaperSize(),
              static_cast<int>(TBRPaperSize::Letter));
}
