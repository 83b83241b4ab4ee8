#pragma once
// What the benchmark programs share: the main of those that need a Qt application, the
// process's memory, and tavleprint run as a process of its own.

#include <string>
#include <vector>

namespace bench {

// The application a benchmark's main makes, offscreen: a plain one, or one for widgets.
enum class BenchApp { Gui, Widgets };

// Runs the registered benchmarks under a Qt application of `kind`; with `screenDpi` > 0, laid
// out as on a screen of that resolution (the sheet's pixel geometry is defined against one).
int runBenchmarks(int argc, char **argv, BenchApp kind = BenchApp::Gui, int screenDpi = 0);

// This process's resident memory now (VmRSS) and its peak so far (VmHWM), in MiB.
double residentMiB();
double peakResidentMiB();

// One process run to its end: whether it ended with exit code 0, its wall time and its peak
// resident memory.
struct ProcessRun {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
};

// Runs `program` with `args`, its messages thrown away, and its standard output as well unless
// `keepOutput`.
ProcessRun runProcess(const std::string &program, const std::vector<std::string> &args,
                      bool keepOutput = false);

} // namespace bench
