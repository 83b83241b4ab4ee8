// The three exports of tavleprint sheets side by side on a generated school of 999 teachers and
// 20,000 lessons (tavlegen 20000 9, 1,445 pages), each run as its own tavleprint process so
// that its peak memory is its own. Goals: the Excel and HTML exports take at most 1.5 times as
// long as the PDF document, and no export needs more than 100 MB.
#include "benchrun.h"
#include "exportgen.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int lessons = 20000;
constexpr unsigned seed = 9;

const std::filesystem::path &exportFile()
{
    static const std::filesystem::path path = [] {
        const auto file = std::filesystem::temp_directory_path() / "tavle-export-bench.csv";
        std::ofstream(file, std::ios::binary) << bench::generateExport(lessons, seed);
        return file;
    }();
    return path;
}

// Runs tavleprint sheets into `option`'s format; the wall time and the peak resident memory.
bench::ProcessRun export_(const std::string &option)
{
    const std::string out =
        (std::filesystem::temp_directory_path() / ("tavle-export-bench." + option)).string();
    const bench::ProcessRun run = bench::runProcess(
        TAVLEPRINT, {"sheets", "--teachers", exportFile().string(), "--" + option, out}, true);
    std::filesystem::remove(out);
    return run;
}

void BM_Export(benchmark::State &state, const std::string &option)
{
    double peak = 0;
    for (auto _ : state) {
        const bench::ProcessRun run = export_(option);
        if (!run.ok) {
            state.SkipWithError("tavleprint failed");
            return;
        }
        peak = run.peakMiB;
        state.SetIterationTime(run.seconds);
    }
    state.counters["peak_resident_MiB"] = peak;
}
BENCHMARK_CAPTURE(BM_Export, pdf, std::string("pdf"))
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, xlsx, std::string("xlsx"))
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, html, std::string("html"))
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
