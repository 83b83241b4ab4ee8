// Export: the report run again into an export filter, which the run drives like a printer; the
// preview's export hook; no export while the preview's own run goes on.
#include "output/brprinter.h"
#include "output/export/exportfilter.h"
#include "platform/recordingcanvas.h"
#include "platform/screen.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/services.h"
#include "support/fakeprinter.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace report;

namespace {

constexpr int dpi = 600;

// One line per drawing call, with the state it draws in.
std::string describe(const platform::CanvasOp &op)
{
    std::ostringstream out;
    out << static_cast<int>(op.kind) << " " << op.rect.Left << "," << op.rect.Top << ","
        << op.rect.Right << "," << op.rect.Bottom << " brush " << op.brush.Color << " font "
        << op.font.Name << "/" << op.font.Size << "/" << op.font.Style << " at " << op.x << ","
        << op.y << " " << static_cast<int>(op.align) << " '" << op.text << "'";
    return out.str();
}

using Pages = std::vector<std::vector<std::string>>;

// Every drawing call of every page a printer was given.
Pages described(const testsupport::FakePrinter &printer)
{
    Pages pages;
    for (const auto &page : printer.pages) {
        pages.emplace_back();
        for (const auto &op : page)
            pages.back().push_back(describe(op));
    }
    return pages;
}

// A filter that keeps every drawing call and the titles of its sections.
class RecordingFilter : public output::TBRExportFilter {
public:
    RecordingFilter() : TBRExportFilter("unused", dpi) {}
    ~RecordingFilter() override { abandon(); }

    Pages pages;
    std::vector<std::string> sections;
    bool finished = false, discarded = false;

protected:
    void openDocument() override { pages.clear(); }
    void beginPage() override
    {
        pages.emplace_back();
        if (SectionPage() == 1)
            sections.push_back(SectionTitle());
    }
    void endPage() override
    {
        for (const auto &op : canvas_.ops())
            pages.back().push_back(describe(op));
        canvas_.clear();
    }
    platform::Canvas &pageCanvas() override { return canvas_; }
    void finishDocument() override { finished = true; }
    void discardDocument() noexcept override { discarded = true; }

private:
    platform::RecordingCanvas canvas_{dpi, dpi};
};

// A report of `records` detail bands with a bold label, on A4 in native units.
struct ExportReport {
    explicit ExportReport(int records) : records_(records)
    {
        detail = &report.CreateBand(TBRBandType::rbDetail);
        report.SetUnits(TBRUnit::Native);
        detail->Size.SetHeight(400);
        detail->Frame.SetDrawBottom(true);
        label = &report.CreateControl<TBRLabel>(*detail);
        label->SetCaption("Tile");
        label->SetFont({"Arial", 12, platform::fsBold, platform::clBlack});
        label->OnPrint = [this](TBRCustomLabel &, std::string &value) {
            value = "Tile " + std::to_string(given);
        };
        report.BeforePrint = [this](TCustomBandReport &, bool &) {
            given = 0;
            ++runs;
        };
        report.OnNeedData = [this](TCustomBandReport &, bool &more) {
            while (hold)
                std::this_thread::yield();
            more = given < records_;
            ++given;
        };
        report.ShowProgress = false;
    }

    platform::ScreenResolutionOverride screen{96};
    TBandReport report{TBRPaperSize::A4, 96};
    TBRBand *detail = nullptr;
    TBRLabel *label = nullptr;
    testsupport::FakePrinter printer{{.dpiX = dpi, .dpiY = dpi}};
    TBRServicesScope services{{.PrinterDevice = [this] { return &printer; }}};
    int given = 0;
    std::atomic<int> runs{0};
    std::atomic<bool> hold{false};

private:
    int records_;
};

void closePreview(const TBRPreviewRequest &request) { request.Report->EndPreview(request.Output); }

} // namespace

TEST(Export, AFilterGetsTheDrawingCallsAPrinterGets)
{
    ExportReport r(9);
    r.report.Print();
    RecordingFilter filter;
    r.report.ReportTitle = "L\xE6rer";
    r.report.Export(filter);
    filter.Finish();
    ASSERT_EQ(r.printer.pages.size(), 2u) << "8 bands of 40 mm fill a page";
    EXPECT_EQ(filter.pages, described(r.printer));
    EXPECT_EQ(filter.sections, std::vector<std::string>{"L\xE6rer"});
    EXPECT_TRUE(filter.finished);
    EXPECT_FALSE(filter.discarded);
}

TEST(Export, RunsOneAfterTheOtherGoIntoOneDocumentSectionBySection)
{
    ExportReport r(3);
    RecordingFilter filter;
    for (const char *title : {"AB", "CD"}) {
        r.report.ReportTitle = title;
        r.report.Export(filter);
    }
    EXPECT_FALSE(filter.finished) << "the caller finishes the document";
    filter.Finish();
    EXPECT_TRUE(filter.finished);
    EXPECT_EQ(filter.pages.size(), 2u);
    EXPECT_EQ(filter.sections, (std::vector<std::string>{"AB", "CD"}));
}

TEST(Export, ACancelledRunDiscardsTheDocument)
{
    for (const bool fromProgressWindow : {false, true}) {
        ExportReport r(30);
        RecordingFilter filter;
        r.report.OnStartPage = [&](TCustomBandReport &report) {
            if (report.PageNumber() != 2)
                return;
            if (fromProgressWindow) // "Afbryd"
                report.PageOutput()->CancelJob();
            else
                report.Cancel();
        };
        r.report.Export(filter);
        filter.Finish();
        EXPECT_TRUE(filter.discarded) << fromProgressWindow;
        EXPECT_FALSE(filter.finished) << fromProgressWindow;
    }
}

TEST(Export, ThePreviewsExportHookRunsTheReportAgainAndFinishesTheFilter)
{
    ExportReport r(9);
    RecordingFilter filter;
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        while (request.Output.OutputState() != output::TBRPrinter::TOutputState::Finished ||
               !r.report.Available())
            std::this_thread::yield();
        ASSERT_TRUE(request.Output.OnExport);
        request.Output.OnExport(filter);
        EXPECT_EQ(r.report.PageOutput(), &request.Output) << "the preview's pages stay";
        closePreview(request);
    };
    r.report.Preview();
    EXPECT_EQ(r.runs, 2);
    EXPECT_EQ(filter.pages.size(), 2u);
    EXPECT_TRUE(filter.finished);
}

TEST(Export, NothingIsExportedWhileThePreviewsOwnRunGoesOn)
{
    ExportReport r(9);
    RecordingFilter filter;
    r.hold = true;
    r.report.OnPreview = [&](const TBRPreviewRequest &request) {
        while (r.runs == 0)
            std::this_thread::yield();
        request.Output.OnExport(filter);
        r.hold = false;
        closePreview(request);
    };
    r.report.Preview();
    EXPECT_EQ(r.runs, 1);
    EXPECT_TRUE(filter.pages.empty());
    EXPECT_FALSE(filter.finished);
}
