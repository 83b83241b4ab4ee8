// The board's record on a generated school of 20,000 lessons (tavlegen 20000 9, and the same
// school with 3 % of its lessons changed): recording a full print of every teacher onto a board
// that holds the earlier export, and "Kun ændringer" against the board. Then a school year:
// 200 school days, each changing 1 % of 20,000 lessons of 150 teachers and printing all 150,
// the file's size after it, and the time to open that board and compare an export with it.
// Goals: recording at most 100 ms; the comparison at most 50 ms; the year's file under 50 MB,
// opening it and comparing at most 100 ms.
#include "exportgen.h"
#include "timetable/board.h"
#include "timetable/timetable.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using timetable::SelectionMode;
using timetable::TBoard;

constexpr int lessons = 20000;
constexpr unsigned seed = 9;
constexpr double changedPercent = 3.0;
constexpr unsigned changeSeed = 21;
constexpr int schoolDays = 200;
constexpr int yearNames = 150;
constexpr double dailyChangePercent = 1.0;
constexpr std::int64_t dayMs = 24 * 3600 * 1000LL;

std::filesystem::path benchFolder()
{
    const auto dir = std::filesystem::temp_directory_path() / "tavle-board-bench";
    std::filesystem::create_directories(dir);
    return dir;
}

void removeBoard(const std::filesystem::path &file)
{
    for (const char *suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
}

struct School {
    std::unique_ptr<timetable::Timetable> earlier, current;
    std::vector<std::string> earlierNames, currentNames;
};

const School &school()
{
    static const School s = [] {
        School school;
        const std::string generated = bench::generateExport(lessons, seed);
        school.earlier = std::make_unique<timetable::Timetable>();
        school.earlier->LoadBrikkerFromBytes(generated);
        school.current = std::make_unique<timetable::Timetable>();
        school.current->LoadBrikkerFromBytes(
            bench::changeExport(generated, changedPercent, changeSeed));
        school.earlierNames = school.earlier->Listing(SelectionMode::Teachers).names;
        school.currentNames = school.current->Listing(SelectionMode::Teachers).names;
        return school;
    }();
    return s;
}

// A board that holds the earlier export, printed whole.
const std::filesystem::path &earlierBoard()
{
    static const std::filesystem::path file = [] {
        const auto path = benchFolder() / "earlier.sqlite";
        removeBoard(path);
        TBoard(path).RecordPrint(SelectionMode::Teachers, *school().earlier, school().earlierNames,
                                 {"/skema/august.csv", "0", "tavle-pdf", 1});
        return path;
    }();
    return file;
}

void BM_RecordFullPrint(benchmark::State &state)
{
    const auto work = benchFolder() / "record.sqlite";
    for (auto _ : state) {
        state.PauseTiming();
        removeBoard(work);
        std::filesystem::copy_file(earlierBoard(), work);
        TBoard board(work);
        state.ResumeTiming();
        board.RecordPrint(SelectionMode::Teachers, *school().current, school().currentNames,
                          {"/skema/oktober.csv", "0", "tavle-pdf", 2});
    }
    state.counters["names"] = static_cast<double>(school().currentNames.size());
}
BENCHMARK(BM_RecordFullPrint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_CompareWithBoard(benchmark::State &state)
{
    TBoard board(earlierBoard());
    std::size_t added = 0;
    for (auto _ : state) {
        const auto comparison =
            timetable::CompareWithBoard(board, *school().current, SelectionMode::Teachers);
        added = comparison.counts.added;
    }
    state.counters["added"] = static_cast<double>(added);
}
BENCHMARK(BM_CompareWithBoard)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The year's school: 150 teachers of about 133 lessons each.
std::vector<timetable::TBrik> yearSchool()
{
    std::vector<timetable::TBrik> tiles;
    for (int i = 0; i < lessons; ++i) {
        const int teacher = i % yearNames;
        tiles.push_back({"L" + std::to_string(teacher),
                         std::to_string(i % 10) + "." + char('a' + i % 3),
                         "fag" + std::to_string(i % 17), "Lok " + std::to_string(i % 60),
                         std::string("MaTiOnToFr").substr((i / 7) % 5 * 2, 2) + " " +
                             std::to_string(i % 7 + 1) + ". lek"});
    }
    return tiles;
}

std::unique_ptr<timetable::Timetable> tableOf(const std::vector<timetable::TBrik> &tiles)
{
    std::vector<std::unique_ptr<timetable::TBrik>> owned;
    for (const auto &tile : tiles)
        owned.push_back(std::make_unique<timetable::TBrik>(tile));
    auto table = std::make_unique<timetable::Timetable>();
    table->SetTiles(std::move(owned));
    return table;
}

struct Year {
    std::filesystem::path file;
    std::vector<timetable::TBrik> lastDay;
};

// Every school day 1 % of the lessons moved to another room or period, and all 150 printed.
const Year &year()
{
    static const Year y = [] {
        Year year{benchFolder() / "year.sqlite", yearSchool()};
        removeBoard(year.file);
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> lesson(0, year.lastDay.size() - 1);
        std::vector<std::string> names;
        for (int n = 0; n < yearNames; ++n)
            names.push_back("L" + std::to_string(n));
        TBoard board(year.file);
        for (int day = 0; day < schoolDays; ++day) {
            for (int i = 0; i < lessons * dailyChangePercent / 100; ++i) {
                timetable::TBrik &moved = year.lastDay[lesson(random)];
                if (i % 2 == 0)
                    moved.Lokale = "Lok " + std::to_string(random() % 60);
                else
                    moved.Periode = "Fr " + std::to_string(random() % 8 + 1) + ". lek";
            }
            board.RecordPrint(SelectionMode::Teachers, *tableOf(year.lastDay), names,
                              {"/skema/dag-" + std::to_string(day) + ".csv", "0", "tavle-pdf",
                               (day + 1) * dayMs});
        }
        return year;
    }();
    return y;
}

void BM_YearOpenAndCompare(benchmark::State &state)
{
    const auto current = tableOf(year().lastDay);
    std::size_t added = 0;
    for (auto _ : state) {
        TBoard board(year().file);
        added = timetable::CompareWithBoard(board, *current, SelectionMode::Teachers).counts.added;
    }
    state.counters["added"] = static_cast<double>(added);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(year().file)) / 1e6;
    state.counters["prints"] = schoolDays * yearNames;
}
BENCHMARK(BM_YearOpenAndCompare)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The board of a past day, replayed from the year's history.
void BM_YearBoardOnADate(benchmark::State &state)
{
    TBoard board(year().file);
    for (auto _ : state)
        benchmark::DoNotOptimize(board.BoardTable(SelectionMode::Teachers, 100 * dayMs));
}
BENCHMARK(BM_YearBoardOnADate)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
