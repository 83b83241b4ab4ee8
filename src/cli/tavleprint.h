#pragma once
// tavleprint, the command-line tool: the jobs of the windows without a window.

#include <exception>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A file error as a terminal shows it: the run-time text, or for a refused file the plain
// reason ("not a regular file").
std::string fileProblem(const std::exception &error);

// Whether `command` draws or prints, and so needs a Qt application object to exist.
bool needsQtApplication(const std::string &command);

// Runs one command line (without the program name). Names and tiles go to `out`, messages to
// `err`, both as UTF-8.
int runTavleprint(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
