// The preview window over a report's run on its thread: it opens on page 1 fitted while the
// pages arrive, closing it during the run cancels the run without AfterPreview, and closing it
// after the run raises AfterPreview once; the released page output is never touched again.
// Loading a saved file stops the run first; export, the print settings, and printing and
// replaying on a CUPS test queue (tavle-pdf, tavle-margins; skipped without them).
#include "output/brprinter.h"
#include "output/systemprinter.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "preview/brpreview.h"
#include "preview/progressform.h"
#include "preview/standardpreview.h"
#include "preview/standardpreviewinterface.h"
#include "preview/thumbgrid.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/services.h"
#include "support/modal.h"
#include "testqueues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <chrono>
#include <functional>
#include <semaphore>
#include <set>

using namespace report;

namespace {

constexpr auto patience = std::chrono::seconds(120);

// A report of one detail band with a label; `records` < 0 gives data until it is cancelled.
struct WindowReport {
    explicit WindowReport(int records, const std::string &caption = "Tile") : records_(records)
    {
        TBRBand &detail = report.CreateBand(TBRBandType::rbDetail);
        report.SetUnits(TBRUnit::Native);
        detail.Size.SetHeight(400);
        report.CreateControl<TBRLabel>(detail).SetCaption(caption);
        report.OnNeedData = [this](TCustomBandReport &, bool &more) {
            more = records_ < 0 || given < records_;
            ++given;
        };
        report.AfterPreview = [this](TCustomBandReport &) { ++afterPreview; };
        report.OnPreview = [](const TBRPreviewRequest &request) {
            preview::TBRStandardPreviewInterface().ShowModal(request);
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
void whileShown(const std::function<bool(preview::TBRStandardPreview &)> &step)
{
    testsupport::whileModal<preview::TBRStandardPreview>(step, {}, patience, 2);
}

int pageCountIn(const QString &info) { return info.section(' ', 3, 3).toInt(); }

} // namespace

TEST(PreviewWindowRun, OpensOnPageOneFittedWhilePagesArriveAndClosingCancelsTheRun)
{
    WindowReport r(-1);
    std::set<int> countsSeen;
    bool checked = false;
    whileShown([&](preview::TBRStandardPreview &window) {
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
    whileShown([&](preview::TBRStandardPreview &window) {
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
        whileShown([](preview::TBRStandardPreview &window) {
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
    // The run thread is held at its start until the preview has looked at its page output.
    std::binary_semaphore looked{0};
    std::atomic<bool> runStarted{false}, runHeld{false};
    r.report.BeforePrint = [&](TCustomBandReport &, bool &) {
        runHeld = looked.try_acquire_for(patience);
        runStarted = true;
    };
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        const output::TPrinterSettings &settings = request.Output.Settings();
        EXPECT_FALSE(runStarted.load());
        EXPECT_EQ(settings.PaperSize(), static_cast<int>(TBRPaperSize::A5));
        EXPECT_EQ(settings.Orientation(), output::TOrientation::Landscape);
        EXPECT_EQ(request.Output.Title, "7.b");
        looked.release();
        request.Report->EndPreview(request.Output);
    };
    r.report.Preview();
    EXPECT_TRUE(!runStarted || runHeld) << "the run went on before the preview had looked";
}

TEST(PreviewHandOver, ARunAfterAPreviewThatPrintedNothingStillGivesItsPageOutputThePaper)
{
    WindowReport r(5);
    r.report.BeforePrint = [](TCustomBandReport &, bool &printReport) { printReport = false; };
    r.report.OnPreview = [](const TBRPreviewRequest &request) {
        request.Report->EndPreview(request.Output);
    };
    r.report.Preview();

    r.report.BeforePrint = nullptr;
    r.report.Page.SetPaperSize(TBRPaperSize::Letter);
    r.report.SetPageOutput(std::make_unique<output::TBRPrinter>());
    r.report.RunReport();
    EXPECT_EQ(r.report.PageOutput()->Settings().PaperSize(),
              static_cast<int>(TBRPaperSize::Letter));
}

// ---- Loading, exporting, the print settings and printing from the preview ----

namespace {

// A saved report file of `records` tiles captioned `caption`, made by a run of its own.
int saveRun(int records, const QString &file, const std::string &caption = "Tile")
{
    WindowReport source(records, caption);
    source.report.SetPageOutput(std::make_unique<output::TBRPrinter>());
    source.report.RunReport();
    source.report.PageOutput()->SavePages(file.toStdString());
    return source.report.PageOutput()->PageNumber();
}

// The index of a CUPS test queue, or -1 when it is not set up.
int queueIndex(const std::string &queue)
{
    const auto queues = platform::TPrinter::Printers();
    const auto it = std::find(queues.begin(), queues.end(), queue);
    return it == queues.end() ? -1 : static_cast<int>(it - queues.begin());
}

QString pdfTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto match = pages.match(pdfTool(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

TEST(PreviewWindowRun, LoadingAFileDuringTheRunStopsTheRunFirstAndKeepsThePageOutput)
{
    const TBRServicesScope services({}); // no saved file loaded yet
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.brp"));
    const int savedPages = saveRun(12, saved);
    // Loaded while pages arrive, and at once while the run is only starting.
    for (const int pagesFirst : {3, 0}) {
        WindowReport r(-1);
        // Data asked for once the file is in would be a run going on (or started again).
        std::atomic<bool> loaded{false};
        std::atomic<int> askedAfterLoad{0};
        const auto data = r.report.OnNeedData;
        r.report.OnNeedData = [&](TCustomBandReport &sender, bool &more) {
            if (loaded)
                ++askedAfterLoad;
            data(sender, more);
        };
        bool checked = false;
        whileShown([&](preview::TBRStandardPreview &window) {
            if (pageCountIn(window.StatusPanel(1)) < pagesFirst)
                return false;
            output::TBRPrinter *shown = window.Preview().PageOutput();
            window.LoadFile(saved);
            EXPECT_TRUE(r.report.Available()) << "the run has ended before the file came in";
            loaded = true;
            EXPECT_EQ(window.Preview().PageOutput(), shown);
            EXPECT_EQ(r.report.PageOutput(), shown);
            EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 0);
            EXPECT_TRUE(shown->Loaded());
            EXPECT_EQ(shown->PageNumber(), savedPages);
            EXPECT_EQ(window.StatusPanel(1), QStringLiteral("Side 1 af %1").arg(savedPages));
            window.GoToPage(savedPages);
            window.Thumbs().viewport()->grab();
            window.Preview().Image().grab();
            checked = true;
            window.close();
            return true;
        });
        r.report.Preview();
        EXPECT_TRUE(checked);
        EXPECT_EQ(askedAfterLoad.load(), 0) << "no run goes on";
        EXPECT_EQ(r.report.PageOutput(), nullptr);
        EXPECT_EQ(r.report.ReleasedPreviewOutputs(), 1);
    }
}

TEST(PreviewWindowRun, ExportAndSaveWriteNothingWhileTheRunGoesAndTheWholeReportAfterIt)
{
    const TBRServicesScope services({}); // no saved file loaded yet
    QTemporaryDir dir;
    const auto file = [&dir](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    {
        WindowReport r(-1);
        whileShown([&](preview::TBRStandardPreview &window) {
            if (pageCountIn(window.StatusPanel(1)) < 2)
                return false;
            window.SaveTo(file("running.pdf"), 2);
            window.SaveTo(file("running.brp"), 1);
            window.close();
            return true;
        });
        r.report.Preview();
        EXPECT_FALSE(QFileInfo::exists(file("running.pdf")));
        EXPECT_FALSE(QFileInfo::exists(file("running.brp")));
    }
    WindowReport r(25);
    whileShown([&](preview::TBRStandardPreview &window) {
        if (!window.findChild<QAbstractButton *>("Print")->isEnabled())
            return false;
        // Each run gives the data from its start.
        r.given = 0;
        window.SaveTo(file("done.pdf"), 2);
        r.given = 0;
        window.SaveTo(file("done.htm"), 4);
        window.SaveTo(file("done.brp"), 1);
        window.close();
        return true;
    });
    r.report.Preview();
    EXPECT_GT(QFileInfo(file("done.pdf")).size(), 0);
    EXPECT_GT(QFileInfo(file("done.htm")).size(), 0);
    output::TBRPrinter reread;
    reread.LoadPages(file("done.brp").toStdString());
    EXPECT_EQ(reread.PageNumber(), 5);
}

TEST(PreviewPrintSettings, TheDialogsChoiceReachesTheReportTheRecordedSettingsAndThePages)
{
    const int margins = queueIndex("tavle-margins");
    if (margins < 0 || queueIndex("tavle-pdf") < 0)
        GTEST_SKIP() << "CUPS test printers are not set up " << testqueues::kSetUpHint;
    platform::TPrinter printer;
    output::TBRSystemPrinter device(printer);
    WindowReport r(25);
    r.report.PrinterSettings.MemoryLimit = 123456;
    r.report.SetPageOutput(
        std::make_unique<output::TBRPrinter>(output::TPrinterSettings{}, &device));
    r.report.RunReport();
    output::TBRPrinter &shown = *r.report.PageOutput();
    ASSERT_EQ(shown.PageNumber(), 5);

    // What the dialog shows.
    QPrinter chosen(QPrinter::HighResolution);
    int minPage = -1, maxPage = -1;
    r.report.PreparePrintDialog(chosen, minPage, maxPage);
    EXPECT_EQ(minPage, 1);
    EXPECT_EQ(maxPage, 5);
    EXPECT_EQ(chosen.fromPage(), 1);
    EXPECT_EQ(chosen.toPage(), 5);
    EXPECT_EQ(chosen.copyCount(), 1);
    EXPECT_EQ(chosen.pageLayout().orientation(), QPageLayout::Portrait);

    // Accepted: another printer, three collated copies of pages 2 to 4, landscape, the lower
    // tray, printed on both sides.
    chosen.setPrinterName(QStringLiteral("tavle-margins"));
    chosen.setCopyCount(3);
    chosen.setCollateCopies(true);
    chosen.setPageOrientation(QPageLayout::Landscape);
    chosen.setPrintRange(QPrinter::PageRange);
    chosen.setFromTo(2, 4);
    chosen.setPaperSource(QPrinter::Lower);
    chosen.setDuplex(QPrinter::DuplexLongSide);
    r.report.Tag = 7;
    r.report.TakePrinterSetup(&chosen, &shown);
    EXPECT_EQ(r.report.Tag, 0);
    const TBandReportPrinterSettings &settings = r.report.PrinterSettings;
    EXPECT_EQ(settings.PrinterIndex, margins);
    EXPECT_EQ(settings.Copies, 3);
    EXPECT_EQ(settings.FirstPage, 2);
    EXPECT_EQ(settings.LastPage, 4);
    EXPECT_EQ(settings.Collate, 1);
    EXPECT_EQ(settings.MemoryLimit, 123456) << "kept through the recorded settings";
    EXPECT_EQ(r.report.Page.Orientation(), TBROrientation::poLandscape);
    const TBRRecordedPrintSettings &recorded = r.report.RecordedPrintSettings;
    EXPECT_EQ(recorded.Orientation, output::TOrientation::Landscape);
    EXPECT_EQ(recorded.CustomBinCode, chosen.paperSource() + 1);
    EXPECT_EQ(recorded.ExtendedDuplex, chosen.duplex() == QPrinter::DuplexNone ? 1 : 2);
    EXPECT_EQ(recorded.CustomPaperCode, chosen.pageLayout().pageSize().windowsId());
    // The pages print on the chosen printer with the recorded settings, on their own paper.
    const output::TPrinterSettings &pages = shown.Settings();
    EXPECT_EQ(pages.DeviceName, "tavle-margins");
    EXPECT_EQ(pages.FirstPage, 2);
    EXPECT_EQ(pages.LastPage, 4);
    EXPECT_EQ(pages.Copies(), 3);
    EXPECT_EQ(pages.Collate, 1);
    EXPECT_EQ(pages.Orientation(), output::TOrientation::Portrait);

    // All pages: no bounds.
    chosen.setPrintRange(QPrinter::AllPages);
    chosen.setFromTo(0, 0);
    chosen.setCopyCount(1);
    r.report.TakePrinterSetup(&chosen, &shown);
    EXPECT_EQ(settings.FirstPage, 0);
    EXPECT_EQ(settings.LastPage, 0);
    EXPECT_EQ(pages.FirstPage, 0);
    EXPECT_EQ(pages.LastPage, 0);

    // Cancelled: only Tag changes.
    const TBandReportPrinterSettings before = settings;
    r.report.TakePrinterSetup(nullptr, &shown);
    EXPECT_EQ(r.report.Tag, 1);
    EXPECT_EQ(settings.Copies, before.Copies);
    EXPECT_EQ(settings.PrinterIndex, before.PrinterIndex);
    EXPECT_EQ(settings.Collate, before.Collate);

    // Pages from a loaded file: the dialog's own choice still reaches the report and the pages,
    // the recorded settings no longer replace the report's.
    TBRServicesScope::SetLoadedFile(true);
    chosen.setCollateCopies(false);
    chosen.setCopyCount(2);
    chosen.setPrinterName(QStringLiteral("tavle-pdf"));
    r.report.TakePrinterSetup(&chosen, &shown);
    TBRServicesScope::SetLoadedFile(false);
    EXPECT_EQ(settings.Copies, 2);
    EXPECT_EQ(settings.PrinterIndex, queueIndex("tavle-pdf"));
    EXPECT_EQ(r.report.RecordedPrintSettings.Collate, 0);
    EXPECT_EQ(settings.Collate, 1) << "not taken from the recorded settings after a load";
    EXPECT_EQ(pages.DeviceName, "tavle-pdf");
    EXPECT_EQ(pages.Collate, 0);
    EXPECT_EQ(pages.Copies(), 2);
}

TEST(PreviewPrint, PrintsAgainAndReplaysALoadedFileOnATestQueueAndAfbrydStopsAPrint)
{
    const int index = queueIndex("tavle-pdf");
    if (index < 0)
        GTEST_SKIP() << "CUPS test printer tavle-pdf is not set up " << testqueues::kSetUpHint;
    platform::TPrinter printer;
    printer.SetPrinterIndex(index);
    output::TBRSystemPrinter device(printer);
    const TBRServicesScope services({.Preview = {},
                                     .Progress = &preview::TBRProgressForm::Provide,
                                     .PrinterDevice = [&device] { return &device; }});
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("two.brp"));
    // Every page printed carries this test's own word: its jobs are known by it.
    const std::string caption = "Tile" + testqueues::ownMark().toStdString();
    const int savedPages = saveRun(8, saved, caption);
    ASSERT_EQ(savedPages, 2);

    WindowReport r(25, caption); // five pages
    r.report.PrinterSettings.PrinterIndex = index;
    const auto finite = r.report.OnNeedData;
    int phase = 0;
    int cancels = 0;
    testqueues::JobWatch jobs(QStringLiteral("tavle-pdf"), QString::fromStdString(caption));
    QString stopped, printed, replayed;
    whileShown([&](preview::TBRStandardPreview &window) {
        auto *print = window.findChild<QAbstractButton *>("Print");
        if (!print->isEnabled())
            return false;
        // A print that would go on for ever, stopped once from its progress window. A timer of
        // its own watches it: the timer that runs this step does not fire inside itself.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &window, [&] {
            if (phase != 1)
                return;
            EXPECT_TRUE(window.Busy());
            auto *progress = window.findChild<preview::TBRProgressForm *>();
            if (progress == nullptr || !progress->isVisible() || r.given < 50)
                return;
            // A second press while the print goes does nothing.
            QTest::mouseClick(print, Qt::LeftButton);
            ++cancels;
            QTest::mouseClick(progress->findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
            phase = 2;
        });
        watch.start(5);
        phase = 1;
        r.given = 0;
        r.report.OnNeedData = [&r](TCustomBandReport &, bool &more) {
            more = true;
            ++r.given;
        };
        QTest::mouseClick(print, Qt::LeftButton);
        watch.stop();
        EXPECT_EQ(phase, 2) << "the progress window was there to stop the print";
        stopped = jobs.next();
        EXPECT_TRUE(r.report.Available());
        EXPECT_FALSE(window.Busy());
        EXPECT_EQ(window.Preview().PageOutput()->PageNumber(), 5) << "the preview's own";
        // The whole report again.
        r.given = 0;
        r.report.OnNeedData = finite;
        phase = 3;
        QTest::mouseClick(print, Qt::LeftButton);
        printed = jobs.next();
        // The stored pages of a loaded file.
        window.LoadFile(saved);
        QTest::mouseClick(print, Qt::LeftButton);
        replayed = jobs.next();
        window.close();
        return true;
    });
    r.report.Preview();
    EXPECT_EQ(cancels, 1);
    // The stopped print went out as a job of its own with the pages so far (the tiles up to
    // the cancel, fifty or so: more than the preview's five pages).
    ASSERT_FALSE(stopped.isEmpty()) << "no job arrived from the stopped print";
    EXPECT_GT(pdfPages(stopped), 5);
    ASSERT_FALSE(printed.isEmpty()) << "no job arrived from the print";
    EXPECT_EQ(pdfPages(printed), 5);
    ASSERT_FALSE(replayed.isEmpty()) << "no job arrived from the replay";
    EXPECT_EQ(pdfPages(replayed), savedPages);
    EXPECT_TRUE(pdfTool(QStringLiteral("pdftotext"), {replayed, QStringLiteral("-")})
                    .contains(QStringLiteral("Tile")));
}
