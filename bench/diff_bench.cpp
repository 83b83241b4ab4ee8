// Reprinting only what changed, on a generated school of 20,000 lessons (tavlegen 20000 9) and
// the same school with 3 % of its lessons changed (tavlegen 20000 9 --changed 3 21): the
// comparison in the process, the paper it saves, and tavleprint diff as a whole process against
// tavleprint list of one file. Goals: the comparison at most 50 ms; at least 90 % fewer sheets
// and tiles than reprinting every changed name in full; the change list at most half the pages
// its one-column layout took (51 in teacher mode, 49 in class mode), so never more pages than
// the new tiles' sheets; diff at most three times list.
#include "benchrun.h"
#include "exportgen.h"
#include "output/brprinter.h"
#include "platform/screen.h"
#include "tilesheet/changelist.h"
#include "tilesheet/rapform.h"
#include "timetable/tilediff.h"
#include "timetable/timetable.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using timetable::SelectionMode;

constexpr int lessons = 20000;
constexpr unsigned seed = 9;
constexpr double changedPercent = 3.0;
constexpr unsigned changeSeed = 21;
// The tile sheet: two tiles (three copies each) a column, ten columns a sheet.
constexpr std::size_t tilesPerColumn = 2;
constexpr std::size_t columnsPerSheet = 10;

struct Files {
    std::filesystem::path earlier, current;
};

const Files &files()
{
    static const Files paths = [] {
        const auto dir = std::filesystem::temp_directory_path();
        Files f{dir / "tavle-diff-bench-earlier.csv", dir / "tavle-diff-bench-current.csv"};
        const std::string generated = bench::generateExport(lessons, seed);
        std::ofstream(f.earlier, std::ios::binary) << generated;
        std::ofstream(f.current, std::ios::binary)
            << bench::changeExport(generated, changedPercent, changeSeed);
        return f;
    }();
    return paths;
}

std::unique_ptr<timetable::Timetable> load(const std::filesystem::path &path)
{
    auto table = std::make_unique<timetable::Timetable>();
    table->LoadBrikker(path);
    return table;
}

std::size_t ceilDiv(std::size_t a, std::size_t b) { return (a + b - 1) / b; }

void BM_CompareTiles(benchmark::State &state, SelectionMode mode)
{
    const auto earlier = load(files().earlier);
    const auto current = load(files().current);
    std::size_t added = 0;
    for (auto _ : state) {
        const timetable::TileDiff diff = timetable::CompareTiles(*earlier, *current, mode);
        added = diff.addedCount();
        benchmark::DoNotOptimize(diff.names.data());
    }
    state.counters["added"] = static_cast<double>(added);
}
BENCHMARK_CAPTURE(BM_CompareTiles, teachers, SelectionMode::Teachers)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CompareTiles, classes, SelectionMode::Classes)->Unit(benchmark::kMillisecond);

void BM_CountChanges(benchmark::State &state)
{
    const auto earlier = load(files().earlier);
    const auto current = load(files().current);
    for (auto _ : state)
        benchmark::DoNotOptimize(timetable::CountChanges(*earlier, *current));
}
BENCHMARK(BM_CountChanges)->Unit(benchmark::kMillisecond);

// The paper of both ways, as counters: a full reprint prints each changed name's own sheets
// (ceil(tiles / 20) sheets); "Kun ændringer" prints the new tiles on shared sheets, each name
// from the top of a column. The sheets of the latter are also counted from a real run of the
// tile sheet, and the pages of the change list beside them.
void BM_Paper(benchmark::State &state, SelectionMode mode)
{
    const platform::ScreenResolutionOverride screen(platform::screenDpi);
    const auto earlier = load(files().earlier);
    const auto current = load(files().current);
    current->Listing(mode);
    const timetable::TileDiff diff = timetable::CompareTiles(*earlier, *current, mode);

    std::size_t fullSheets = 0, fullTiles = 0, columns = 0, newTiles = 0;
    std::vector<std::string> names;
    for (const timetable::NameChanges &changes : diff.names) {
        names.push_back(changes.name);
        current->BuildPrintList(changes.name);
        fullTiles += current->printList().size();
        fullSheets += ceilDiv(current->printList().size(), tilesPerColumn * columnsPerSheet);
        columns += ceilDiv(changes.added.size(), tilesPerColumn);
        newTiles += changes.added.size();
    }
    const std::size_t newSheets = ceilDiv(columns, columnsPerSheet);

    int printedSheets = 0, listPages = 0;
    for (auto _ : state) {
        tilesheet::TRapFormInputs inputs;
        const auto list = timetable::NewTilesPrintList(diff, names, inputs.NameStarts);
        inputs.PrintList = &list;
        tilesheet::TRapForm sheet(inputs);
        sheet.BRBrikker.RunReport();
        printedSheets = sheet.BRBrikker.PageOutput()->PageList().PageCount();
        tilesheet::TChangeList changeList(
            {.Diff = &diff, .Names = names, .Mode = mode, .EarlierFileName = {}, .FileName = {}});
        changeList.Report().RunReport();
        listPages = changeList.Report().PageOutput()->PageList().PageCount();
    }
    state.counters["changed_names"] = static_cast<double>(diff.names.size());
    state.counters["full_sheets"] = static_cast<double>(fullSheets);
    state.counters["full_tiles"] = static_cast<double>(fullTiles);
    state.counters["new_sheets"] = static_cast<double>(newSheets);
    state.counters["new_sheets_printed"] = printedSheets;
    state.counters["new_tiles"] = static_cast<double>(newTiles);
    state.counters["sheets_saved_pct"] = 100.0 * (1.0 - double(newSheets) / double(fullSheets));
    state.counters["tiles_saved_pct"] = 100.0 * (1.0 - double(newTiles) / double(fullTiles));
    state.counters["change_list_pages"] = listPages;
    state.counters["list_pages_per_new_sheet"] = double(listPages) / double(printedSheets);
}
BENCHMARK_CAPTURE(BM_Paper, teachers, SelectionMode::Teachers)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paper, classes, SelectionMode::Classes)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_Process(benchmark::State &state, const std::vector<std::string> &args)
{
    for (auto _ : state) {
        const bench::ProcessRun run = bench::runProcess(TAVLEPRINT, args);
        if (!run.ok) {
            state.SkipWithError("tavleprint failed");
            return;
        }
        state.SetIterationTime(run.seconds);
    }
}
BENCHMARK_CAPTURE(BM_Process, list_teachers,
                  std::vector<std::string>{"list", "--teachers", files().current.string()})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Process, diff_teachers,
                  std::vector<std::string>{"diff", "--teachers", files().earlier.string(),
                                           files().current.string()})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv); // the sheets are drawn
}
