// The preview window on a big name: one teacher with 10,000 lessons gives 30,000 tiles on 500
// pages. Goals on the reference machine: page 1 painted in the page view within 50 ms of
// Preview being called; turning a page (fetch and paint at whole-page zoom in a 1920 x 1080
// view) within 10 ms, median; paging through 1,500 pages and scrolling through all their
// thumbnails grows resident memory by less than 10 MB; searching the texts of 1,500 pages
// ("&Søg", case not mattering, a text on no page) within 1 s with resident memory flat.
#include "benchrun.h"
#include "output/brprinter.h"
#include "platform/screen.h"
#include "preview/brpreview.h"
#include "preview/standardpreview.h"
#include "preview/thumbgrid.h"
#include "report/customreport.h"
#include "tilesheet/rapform.h"
#include "timetable/tbrik.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Sheet {
    explicit Sheet(int lessons)
    {
        static const char *const subjects[] = {"Dansk",      "Matematik", "Engelsk",     "Historie",
                                               "Fysik/kemi", "Idr\xE6t",  "Billedkunst", "Musik"};
        static const char *const rooms[] = {"Lok 12", "Fys 2", "Gym A", "Bibl.", "Lok 105"};
        tiles.reserve(static_cast<std::size_t>(lessons));
        for (int i = 0; i < lessons; ++i)
            tiles.push_back({"ABC", std::to_string(i % 10 + 1) + "." + char('a' + i % 3),
                             subjects[i % 8], rooms[i % 5],
                             "Uge " + std::to_string(i % 40 + 1) + ", " +
                                 std::to_string(i % 7 + 1) + ". lektion"});
        for (const auto &t : tiles)
            printList.push_back(&t);
        form = std::make_unique<tilesheet::TRapForm>(tilesheet::TRapFormInputs{
            .FileName = "C:\\Skema\\eksport.csv", .PrintList = &printList});
    }
    std::vector<timetable::TBrik> tiles;
    std::vector<const timetable::TBrik *> printList;
    std::unique_ptr<tilesheet::TRapForm> form;
};

// From Preview being called until the page view has painted page 1, the window built and the
// run going on behind it.
void BM_FirstPagePaintedInView(benchmark::State &state)
{
    Sheet sheet(10000);
    for (auto _ : state) {
        Clock::time_point start;
        double seconds = 0;
        sheet.form->BRBrikker.OnPreview = [&](const report::TBRPreviewRequest &request) {
            preview::TBRStandardPreview window(request);
            window.show();
            preview::TBRPreviewImage &image = window.Preview().Image();
            while (!image.HasPicture())
                QCoreApplication::processEvents();
            image.repaint();
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            window.close();
        };
        start = Clock::now();
        sheet.form->BRBrikker.Preview();
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_FirstPagePaintedInView)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

output::TBRPrinter &finishedRun(Sheet &sheet)
{
    sheet.form->BRBrikker.RunReport();
    return *sheet.form->BRBrikker.PageOutput();
}

// A finished run of a 10,000-tile name shown in a 1920 x 1080 page view at whole-page zoom.
struct FittedView {
    FittedView() : output(finishedRun(sheet))
    {
        view.resize(1920, 1080);
        view.SetPageOutput(&output);
        view.show();
        view.ZoomToFit();
        QCoreApplication::processEvents();
    }
    ~FittedView() { view.SetPageOutput(nullptr); }
    Sheet sheet{10000};
    output::TBRPrinter &output;
    preview::TBRPreview view;
};

// A finished run shown in a 1920 x 1080 page view at whole-page zoom: each turn fetches the
// next page from the store and paints it.
void BM_TurnPage(benchmark::State &state)
{
    FittedView fitted;
    output::TBRPrinter &output = fitted.output;
    preview::TBRPreview &view = fitted.view;
    const int pages = output.PageNumber();
    std::vector<double> turns;
    int page = 1;
    for (auto _ : state) {
        page = page % pages + 1;
        const auto start = Clock::now();
        view.SetPageNumber(page);
        view.Image().repaint();
        turns.push_back(milliseconds(Clock::now() - start));
    }
    state.counters["median_ms"] = median(turns);
    state.counters["zoom"] = view.Zoom();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_TurnPage)->Unit(benchmark::kMillisecond);

// The two halves of a turn: fetching a page from the store, and painting the page held.
void BM_TurnPageParts(benchmark::State &state)
{
    FittedView fitted;
    output::TBRPrinter &output = fitted.output;
    preview::TBRPreview &view = fitted.view;
    const int pages = output.PageNumber();
    std::vector<double> fetches, paints;
    int page = 1;
    for (auto _ : state) {
        page = page % pages + 1;
        auto start = Clock::now();
        benchmark::DoNotOptimize(output.GetPage(page));
        fetches.push_back(milliseconds(Clock::now() - start));
        start = Clock::now();
        view.Image().repaint();
        paints.push_back(milliseconds(Clock::now() - start));
    }
    state.counters["fetch_median_ms"] = median(fetches);
    state.counters["paint_median_ms"] = median(paints);
}
BENCHMARK(BM_TurnPageParts)->Unit(benchmark::kMillisecond);

// 1,500 pages (30,000 lessons): every page shown in turn, then every thumbnail row scrolled
// into view and painted. Resident memory is taken after the first page and thumbnails are up.
void BM_PagingAndThumbnailsMemory(benchmark::State &state)
{
    Sheet sheet(30000);
    for (auto _ : state) {
        sheet.form->BRBrikker.SetPageOutput(nullptr);
        sheet.form->BRBrikker.RunReport();
        output::TBRPrinter &output = *sheet.form->BRBrikker.PageOutput();
        preview::TBRStandardPreview window(
            report::TBRPreviewRequest{output, nullptr, {}, "", false, 100});
        window.show();
        window.setWindowState(Qt::WindowNoState);
        window.resize(1920, 1080);
        QCoreApplication::processEvents();
        window.BRPreviewPageAvailable(output.PageNumber());
        QCoreApplication::processEvents();
        const double before = bench::residentMiB();
        const int pages = output.PageNumber();
        for (int n = 1; n <= pages; ++n) {
            window.GoToPage(n);
            window.Preview().Image().repaint();
        }
        preview::TBRThumbGrid &grid = window.Thumbs();
        QScrollBar &bar = *grid.verticalScrollBar();
        for (int position = 0; position <= bar.maximum(); position += grid.viewport()->height()) {
            bar.setValue(position);
            grid.viewport()->repaint();
        }
        const double after = bench::residentMiB();
        state.counters["pages"] = pages;
        state.counters["resident_before_MiB"] = before;
        state.counters["resident_growth_MiB"] = after - before;
        window.close();
    }
}
BENCHMARK(BM_PagingAndThumbnailsMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// 1,500 pages (30,000 lessons of one name): the search command looks through every page for a
// text that is on none of them, so that every text record of every page is read.
void BM_SearchAllPages(benchmark::State &state)
{
    Sheet sheet(30000);
    sheet.form->BRBrikker.RunReport();
    output::TBRPrinter &output = *sheet.form->BRBrikker.PageOutput();
    preview::TBRStandardPreview window(
        report::TBRPreviewRequest{output, nullptr, {}, "", false, 100});
    window.show();
    QCoreApplication::processEvents();
    window.SearchPages(QStringLiteral("ikke på nogen side"), false); // settles the first fetch
    const double before = bench::residentMiB();
    double peakGrowth = 0;
    for (auto _ : state) {
        window.SearchPages(QStringLiteral("ikke på nogen side"), false);
        peakGrowth = std::max(peakGrowth, bench::residentMiB() - before);
    }
    state.counters["pages"] = output.PageNumber();
    state.counters["resident_growth_MiB"] = peakGrowth;
    window.close();
}
BENCHMARK(BM_SearchAllPages)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The sheet's pixel geometry is defined against a 96 dpi screen.
    return bench::runBenchmarks(argc, argv, bench::BenchApp::Widgets, 96);
}
