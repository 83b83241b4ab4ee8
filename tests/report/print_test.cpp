// Print: the run on the calling thread straight onto the printer, the page output of a preview
// kept aside meanwhile, no printer, cancelling from the progress window, and the print asked
// for through the report's link.
#include "output/brprinter.h"
#include "output/printerdevice.h"
#include "output/systemprinter.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/services.h"
#include "support/fakeprinter.h"
#include "testqueues.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace report;

namespace {

constexpr int printerDpi = 600;

struct PrintReport {
    explicit PrintReport(int records) : records_(records)
    {
        detail = &report.CreateBand(TBRBandType::rbDetail);
        report.SetUnits(TBRUnit::Native);
        detail->Size.SetHeight(400);
        label = &report.CreateControl<TBRLabel>(*detail);
        label->SetCaption("Tile");
        label->OnPrint = [this](TBRCustomLabel &, std::string &value) {
            value = "Tile" + std::to_string(given);
        };
        report.OnNeedData = [this](TCustomBandReport &, bool &more) {
            more = given < records_;
            ++given;
        };
        report.ShowProgress = false;
    }

    platform::ScreenResolutionOverride screen{96};
    TBRServicesScope services{{.PrinterDevice = [this] { return device; }}};
    TBandReport report{TBRPaperSize::A4, 96};
    TBRBand *detail = nullptr;
    TBRLabel *label = nullptr;
    testsupport::FakePrinter printer{{.dpiX = printerDpi, .dpiY = printerDpi}};
    output::TBRPrinterDevice *device = &printer;
    int given = 0;

private:
    int records_;
};

TEST(Print, ANewReportWithoutAPaperOfItsOwnTakesTheDefaultPrintersPaper)
{
    testsupport::FakePrinter letter{{.defaultPaper = 1}};
    {
        const TBRServicesScope services{{.PrinterDevice = [&letter] { return &letter; }}};
        EXPECT_EQ(TBandReport().Page.PaperSize(), TBRPaperSize::Letter);
        EXPECT_EQ(TBandReport(TBRPaperSize::A4).Page.PaperSize(), TBRPaperSize::A4)
            << "a report with a paper of its own keeps it";
    }
    const TBRServicesScope none{{}};
    EXPECT_EQ(TBandReport().Page.PaperSize(), TBRPaperSize::A4) << "no printer installed";

    // The system's printer, with the test queue whose default paper is Letter as the default.
    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-letter") == queues.end())
        GTEST_SKIP() << "CUPS test printer tavle-letter is not set up " << testqueues::kSetUpHint;
    const QByteArray before = qgetenv("PRINTER");
    qputenv("PRINTER", "tavle-letter"); // the user's default printer, as CUPS reads it
    const auto restore = qScopeGuard([&before] {
        if (before.isEmpty())
            qunsetenv("PRINTER");
        else
            qputenv("PRINTER", before);
    });
    platform::TPrinter printedOn;
    output::TBRSystemPrinter system(printedOn);
    EXPECT_EQ(system.DefaultPaperSize(), 1);
    qputenv("PRINTER", "tavle-pdf");
    EXPECT_EQ(system.DefaultPaperSize(), 9);
}

TEST(Print, EveryPageGoesToOneDocumentTitledWithTheReportTitle)
{
    PrintReport r(15);
    r.report.ReportTitle = "ABC";
    int afterPrint = 0;
    r.report.AfterPrint = [&](TCustomBandReport &) { ++afterPrint; };
    const TCustomBandReport::TBRPrintOutcome printed = r.report.Print();
    EXPECT_FALSE(printed.Stopped);
    EXPECT_EQ(printed.Pages, 3);
    EXPECT_EQ(r.printer.documents, 1);
    EXPECT_EQ(r.printer.title, "ABC");
    ASSERT_EQ(r.printer.pageTexts().size(), 3u); // six bands of 400 to a page
    EXPECT_EQ(r.printer.pageTexts()[0].front(), "Tile1");
    EXPECT_EQ(r.printer.pageTexts()[2].back(), "Tile15");
    EXPECT_EQ(afterPrint, 1);
    EXPECT_FALSE(r.printer.printing);
    EXPECT_EQ(r.report.PageOutput(), nullptr); // the print's page output is gone again
    EXPECT_TRUE(r.report.Available());
}

TEST(Print, WithoutAPrinterNothingHappens)
{
    PrintReport r(5);
    r.device = nullptr;
    bool asked = false;
    r.report.BeforePrint = [&](TCustomBandReport &, bool &) { asked = true; };
    r.report.Print();
    EXPECT_FALSE(asked);
}

TEST(Print, APreviewsPageOutputIsKeptAsideAndComesBack)
{
    PrintReport r(3);
    r.report.Preview(); // no provider: the recorded pages stay with the report
    output::TBRPrinter *previewed = r.report.PageOutput();
    ASSERT_NE(previewed, nullptr);
    r.given = 0;
    r.report.Print();
    EXPECT_EQ(r.report.PageOutput(), previewed);
    EXPECT_EQ(previewed->PageList().PageCount(), 1);
    ASSERT_EQ(r.printer.pageTexts().size(), 1u);
    EXPECT_EQ(r.printer.pageTexts()[0].size(), 3u);
}

TEST(Print, CancellingThePageOutputPrintsThePagesSoFar)
{
    PrintReport r(100);
    r.report.OnNeedData = [&r](TCustomBandReport &rep, bool &more) {
        more = true;
        if (++r.given == 9) // the progress window's "Afbryd"
            rep.PageOutput()->CancelJob();
    };
    const TCustomBandReport::TBRPrintOutcome printed = r.report.Print();
    EXPECT_TRUE(printed.Stopped) << "the caller learns that the user stopped the job";
    EXPECT_EQ(printed.Pages, 2);
    EXPECT_EQ(r.printer.aborted, 0);
    ASSERT_EQ(r.printer.pageTexts().size(), 2u);
    EXPECT_EQ(r.printer.pageTexts()[1].size(), 2u);
    EXPECT_EQ(r.printer.pageTexts()[1].back(), "Tile8");
}

TEST(Print, CancellingTheReportAbortsTheDocument)
{
    PrintReport r(100);
    r.report.OnNeedData = [&r](TCustomBandReport &rep, bool &more) {
        more = true;
        if (++r.given == 9)
            rep.Cancel();
    };
    r.report.Print();
    EXPECT_GT(r.printer.aborted, 0);
}

TEST(Print, AFailingRunEndsItsDocumentAndReportsItsOwnFailure)
{
    PrintReport r(5);
    r.printer.failEnd = true;
    r.report.OnNeedData = [&r](TCustomBandReport &, bool &more) {
        if (++r.given == 3)
            throw std::invalid_argument("a handler failed");
        more = true;
    };
    EXPECT_THROW(r.report.Print(), std::invalid_argument);
    EXPECT_FALSE(r.printer.printing); // the document was ended all the same
    ASSERT_EQ(r.printer.pageTexts().size(), 1u);
    EXPECT_EQ(r.printer.pageTexts()[0].size(), 2u);

    // Without a failure of its own, the run reports the printer's.
    PrintReport ok(2);
    ok.printer.failEnd = true;
    EXPECT_THROW(ok.report.Print(), std::runtime_error);
    EXPECT_FALSE(ok.printer.printing);
}

TEST(Print, AFailingRunStillGivesThePreviousPageOutputBack)
{
    PrintReport r(3);
    r.report.Preview();
    output::TBRPrinter *previewed = r.report.PageOutput();
    r.report.OnNeedData = [](TCustomBandReport &, bool &) { throw std::runtime_error("x"); };
    EXPECT_THROW(r.report.Print(), std::runtime_error);
    EXPECT_EQ(r.report.PageOutput(), previewed);
}

TEST(Print, TheLinksPrintLaterPrintsTheReportFromTheEventLoop)
{
    PrintReport r(2);
    r.report.Link()->PrintLater();
    EXPECT_TRUE(r.printer.pageTexts().empty()) << "nothing before the event loop runs";
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(r.printer.pageTexts().size(), 1u);
    EXPECT_EQ(r.printer.pageTexts()[0].size(), 2u);
}

} // namespace

namespace {

TEST(Print, ThePreviewsPrintCommandRunsTheReportAgainOnThePrinter)
{
    PrintReport r(8);
    int beforePrints = 0;
    r.report.BeforePrint = [&](TCustomBandReport &, bool &) {
        ++beforePrints;
        r.given = 0;
    };
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        // The run has ended once its job has finished and the report is available again.
        while (request.Output.OutputState() != output::TBRPrinter::TOutputState::Finished ||
               !r.report.Available())
            std::this_thread::yield();
        request.Output.ReplayToPrinter(); // asks the report to print later
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(r.report.PageOutput(), &request.Output); // the preview's pages stay
        request.Report->EndPreview(request.Output);
    };
    r.report.Preview();
    EXPECT_EQ(beforePrints, 2);
    ASSERT_EQ(r.printer.pageTexts().size(), 2u);
    EXPECT_EQ(r.printer.pageTexts()[1].back(), "Tile8");
}

} // namespace
