#pragma once
// tavleprint sheets: the tile sheets of teachers or classes, saved as a report file, written
// into one PDF, or printed one job per name.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// `args` are the words after "sheets". Returns the exit code (0, 1 on failure, 2 on bad usage).
int runSheetsCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
