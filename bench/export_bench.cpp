// The three exports of tavleprint sheets side by side on a generated school of 999 teachers and
// 20,000 lessons (tavlegen 20000 9, 1,445 pages), each run as its own tavleprint process so
// that its peak memory is its own. Goals: the Excel and HTML exports take at most 1.5 times as
// long as the PDF document, and no export needs more than 100 MB.
#include "exportgen.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

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
bool export_(const std::string &option, double &seconds, double &peakMiB)
{
    const std::string out =
        (std::filesystem::temp_directory_path() / ("tavle-export-bench." + option)).string();
    std::vector<std::string> args{TAVLEPRINT,    "sheets", "--teachers", exportFile().string(),
                                  "--" + option, out};
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    peakMiB = usage.ru_maxrss / 1024.0; // KiB on Linux
    std::filesystem::remove(out);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Export(benchmark::State &state, const std::string &option)
{
    double peak = 0;
    for (auto _ : state) {
        double seconds = 0;
        if (!export_(option, seconds, peak)) {
            state.SkipWithError("tavleprint failed");
            return;
        }
        state.SetIterationTime(seconds);
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
