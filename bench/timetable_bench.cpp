// Loading an export, ordering the tiles and listing the names, as the list buttons do.
#include "exportgen.h"
#include "timetable/tilesort.h"
#include "timetable/timetable.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using timetable::SelectionMode;

const std::filesystem::path &exportFile(int lessons)
{
    static std::map<int, std::filesystem::path> files;
    auto &path = files[lessons];
    if (path.empty()) {
        path = std::filesystem::temp_directory_path() /
               ("tavle-bench-" + std::to_string(lessons) + ".csv");
        std::ofstream(path, std::ios::binary) << bench::generateExport(lessons, 7);
    }
    return path;
}

// Load, then sort and list in `mode`; with `otherFirst` the tile list starts from the other
// mode's order, as after pressing the other list button.
void LoadSortList(benchmark::State &state, SelectionMode mode, bool otherFirst)
{
    const auto &path = exportFile(static_cast<int>(state.range(0)));
    const SelectionMode other =
        mode == SelectionMode::Teachers ? SelectionMode::Classes : SelectionMode::Teachers;
    for (auto _ : state) {
        timetable::Timetable table;
        table.LoadBrikker(path);
        if (otherFirst) {
            state.PauseTiming();
            table.SortTiles(other);
            state.ResumeTiming();
        }
        table.SortTiles(mode);
        benchmark::DoNotOptimize(table.FillNameList(mode));
    }
}

void BM_ListTeachersFromFileOrder(benchmark::State &s)
{
    LoadSortList(s, SelectionMode::Teachers, false);
}
void BM_ListClassesFromFileOrder(benchmark::State &s)
{
    LoadSortList(s, SelectionMode::Classes, false);
}
void BM_ListTeachersAfterClasses(benchmark::State &s)
{
    LoadSortList(s, SelectionMode::Teachers, true);
}
void BM_ListClassesAfterTeachers(benchmark::State &s)
{
    LoadSortList(s, SelectionMode::Classes, true);
}

void BM_LoadOnly(benchmark::State &state)
{
    const auto &path = exportFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        timetable::Timetable table;
        table.LoadBrikker(path);
        benchmark::DoNotOptimize(table.tiles().data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}

// The exchange procedure itself with string compares, for comparison.
void BM_LiteralExchangeSortTeachers(benchmark::State &state)
{
    timetable::Timetable table;
    table.LoadBrikker(exportFile(static_cast<int>(state.range(0))));
    std::vector<timetable::TBrik> tiles;
    for (const auto &t : table.tiles())
        tiles.push_back(*t);
    for (auto _ : state) {
        auto copy = tiles;
        timetable::exchangeSortInPlace(copy,
                                       [](const timetable::TBrik &a, const timetable::TBrik &b) {
                                           if (auto c = a.Laerer.compare(b.Laerer) <=> 0; c != 0)
                                               return c;
                                           if (auto c = a.Klasse.compare(b.Klasse) <=> 0; c != 0)
                                               return c;
                                           return a.Lokale.compare(b.Lokale) <=> 0;
                                       });
        benchmark::DoNotOptimize(copy.data());
    }
}

} // namespace

BENCHMARK(BM_ListTeachersFromFileOrder)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListClassesFromFileOrder)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListTeachersAfterClasses)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListClassesAfterTeachers)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOnly)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralExchangeSortTeachers)
    ->Arg(1000)
    ->Arg(20000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
