#include "benchrun.h"

#include "platform/screen.h"

#include <QApplication>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <optional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace bench {
namespace {

// A memory figure of /proc/self/status ("VmRSS:"), in MiB; 0 where there is none.
double statusMiB(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(field.size())) / 1024.0;
    return 0;
}

} // namespace

double residentMiB() { return statusMiB("VmRSS:"); }

double peakResidentMiB() { return statusMiB("VmHWM:"); }

int runBenchmarks(int argc, char **argv, BenchApp kind, int screenDpi)
{
    // Drawing and measuring take a Qt application; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QGuiApplication> app =
        kind == BenchApp::Widgets ? std::make_unique<QApplication>(argc, argv)
                                  : std::make_unique<QGuiApplication>(argc, argv);
    std::optional<platform::ScreenResolutionOverride> screen;
    if (screenDpi > 0)
        screen.emplace(screenDpi);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

ProcessRun runProcess(const std::string &program, const std::vector<std::string> &args,
                      bool keepOutput)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!keepOutput)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProcessRun run;
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = usage.ru_maxrss / 1024.0; // KiB on Linux
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

} // namespace bench
