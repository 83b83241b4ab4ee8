// The page store under a long preview: recording tile-sheet-like pages (60 white rectangles
// and 300 short texts each) and reading them back in order and at random. Goals on the
// reference machine: recording at least 2,000 pages per second, in-order reading at least
// 5,000; resident memory within the store's memory limit plus a few pages at any page count.
#include "benchrun.h"
#include "output/brprinter.h"
#include "platform/canvas.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int fillsPerPage = 60;
constexpr int textsPerPage = 300;

void drawTileSheet(platform::Canvas &canvas, int n)
{
    constexpr int columns = 10, rows = 6, tileWidth = 76, tileHeight = 180, linesPerTile = 5;
    canvas.setBrush({platform::clWhite, platform::TBrushStyle::bsSolid});
    for (int i = 0; i < fillsPerPage; ++i) {
        const int x = 20 + (i % columns) * tileWidth, y = 20 + (i / columns % rows) * tileHeight;
        canvas.fillRect({x, y, x + tileWidth - 2, y + tileHeight - 2});
    }
    static const char *const words[] = {"MAT", "Dan", "1.a", "Lok 12", "3. lektion", "HK", "Eng"};
    platform::TFont font;
    font.Size = 9;
    for (int i = 0; i < textsPerPage; ++i) {
        font.Style = (i % linesPerTile == 0) ? unsigned{platform::fsBold} : 0u;
        canvas.setFont(font);
        const int tile = i / linesPerTile;
        canvas.textOut(24 + (tile % columns) * tileWidth,
                       24 + (tile / columns % rows) * tileHeight + (i % linesPerTile) * 30,
                       i == 0 ? std::to_string(n) : words[(i + n) % 7]);
    }
}

std::unique_ptr<output::TBRPrinter> recordRun(int pages)
{
    auto printer = std::make_unique<output::TBRPrinter>();
    printer->StartJob();
    for (int n = 1; n <= pages; ++n) {
        printer->NewPage();
        drawTileSheet(*printer->PageCanvas(), n);
    }
    printer->FinishJob();
    return printer;
}

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_RecordPages(benchmark::State &state)
{
    const int pages = static_cast<int>(state.range(0));
    for (auto _ : state)
        recordRun(pages);
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_RecordPages)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

// Resident memory of one recording run, sampled after every page: the peak above the level
// before the run, and the growth from the 100th page to the last (which should be nothing but
// noise once the store has moved to its file).
void BM_ResidentMemory(benchmark::State &state)
{
    const int pages = static_cast<int>(state.range(0));
    constexpr int settled = 100;
    long peakGrowth = 0, lateGrowth = 0;
    for (auto _ : state) {
        const long before = residentKiB();
        long peak = before, atSettled = before;
        output::TBRPrinter printer;
        printer.StartJob();
        for (int n = 1; n <= pages; ++n) {
            printer.NewPage();
            drawTileSheet(*printer.PageCanvas(), n);
            const long now = residentKiB();
            peak = std::max(peak, now);
            if (n == settled)
                atSettled = now;
        }
        printer.FinishJob();
        peakGrowth = peak - before;
        lateGrowth = residentKiB() - atSettled;
    }
    state.counters["peak_growth_KiB"] = static_cast<double>(peakGrowth);
    state.counters["growth_after_page_100_KiB"] = static_cast<double>(lateGrowth);
}
BENCHMARK(BM_ResidentMemory)->Arg(1000)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadPagesInOrder(benchmark::State &state)
{
    const int pages = static_cast<int>(state.range(0));
    const auto printer = recordRun(pages);
    for (auto _ : state)
        for (int n = 1; n <= pages; ++n)
            benchmark::DoNotOptimize(printer->GetPage(n));
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_ReadPagesInOrder)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ReadPagesAtRandom(benchmark::State &state)
{
    const int pages = static_cast<int>(state.range(0));
    const auto printer = recordRun(pages);
    std::vector<int> order(pages);
    for (int n = 0; n < pages; ++n)
        order[n] = n + 1;
    std::shuffle(order.begin(), order.end(), std::mt19937(1));
    for (auto _ : state)
        for (int n : order)
            benchmark::DoNotOptimize(printer->GetPage(n));
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_ReadPagesAtRandom)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return bench::runBenchmarks(argc, argv); }
