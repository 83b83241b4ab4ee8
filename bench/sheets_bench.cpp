// Tile sheets into the page store, the preview's work: one name with 10,000 lessons gives
// 30,000 tiles on 500 pages. Goals on the reference machine: at least 300 pages per second
// into the page store, and the first page in the store within 50 ms of Preview being called.
#include "benchrun.h"
#include "output/brprinter.h"
#include "platform/screen.h"
#include "report/customreport.h"
#include "tilesheet/rapform.h"
#include "timetable/tbrik.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int lessons = 10000;

std::vector<timetable::TBrik> lessonsOfOneTeacher(int n)
{
    static const char *const subjects[] = {"Dansk",      "Matematik", "Engelsk",     "Historie",
                                           "Fysik/kemi", "Idræt",     "Billedkunst", "Musik"};
    static const char *const rooms[] = {"Lok 12", "Fys 2", "Gym A", "Bibl.", "Lok 105"};
    std::vector<timetable::TBrik> tiles;
    tiles.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        tiles.push_back(
            {"ABC", std::to_string(i % 10 + 1) + "." + char('a' + i % 3), subjects[i % 8],
             rooms[i % 5],
             "Uge " + std::to_string(i % 40 + 1) + ", " + std::to_string(i % 7 + 1) + ". lektion"});
    return tiles;
}

struct Sheet {
    Sheet()
        : tiles(lessonsOfOneTeacher(lessons)), printList([this] {
              std::vector<const timetable::TBrik *> list;
              for (const auto &t : tiles)
                  list.push_back(&t);
              return list;
          }()),
          form(tilesheet::TRapFormInputs{.FileName = "C:\\Skema\\eksport.csv",
                                         .PrintList = &printList})
    {}
    std::vector<timetable::TBrik> tiles;
    std::vector<const timetable::TBrik *> printList;
    tilesheet::TRapForm form;
};

void BM_SheetsIntoPageStore(benchmark::State &state)
{
    Sheet sheet;
    int pages = 0;
    for (auto _ : state) {
        sheet.form.BRBrikker.SetPageOutput(nullptr);
        sheet.form.BRBrikker.RunReport();
        pages = sheet.form.BRBrikker.PageOutput()->PageList().PageCount();
    }
    state.counters["pages"] = pages;
    state.counters["peak_resident_MiB"] = bench::peakResidentMiB();
    state.counters["pages_per_s"] =
        benchmark::Counter(static_cast<double>(pages) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SheetsIntoPageStore)->UseRealTime()->Unit(benchmark::kMillisecond);

// From Preview being called to page 1 in the page store, with the run going on behind it.
void BM_FirstPreviewPage(benchmark::State &state)
{
    Sheet sheet;
    for (auto _ : state) {
        std::chrono::steady_clock::time_point start;
        double seconds = 0;
        sheet.form.BRBrikker.OnPreview = [&](const report::TBRPreviewRequest &request) {
            while (request.Output.GetPage(1) == nullptr)
                std::this_thread::yield();
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            request.Report->EndPreview(request.Output);
        };
        start = std::chrono::steady_clock::now();
        sheet.form.BRBrikker.Preview();
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_FirstPreviewPage)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The sheet's pixel geometry is defined against a 96 dpi screen.
    return bench::runBenchmarks(argc, argv, bench::BenchApp::Gui, 96);
}
