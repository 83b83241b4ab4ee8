#pragma once
// tavleprint calibrate: the printer adjustment window's calibration sheet, printed on a queue.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// `args` are the words after "calibrate": [--printer QUEUE] [--margins T,L,B,R]. The sheet
// goes to QUEUE (the standard printer by default) with the margins given, or else with those
// kept for that queue. Returns the exit code (0, 1 on failure, 2 on bad usage).
int runCalibrateCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
