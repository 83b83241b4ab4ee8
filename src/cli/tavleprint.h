#pragma once
// tavleprint, the command-line tool: the jobs of the windows without a window.

#include <exception>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

// A message of the message area as a terminal shows it, on `err`: everything but the reading
// note, without its line breaks, in UTF-8 after "tavleprint: " and `prefix`.
void toTerminal(std::ostream &err, const std::string &message, const std::string &prefix = {});

// A file error as a terminal shows it: the run-time text, or for a refused file the plain
// reason ("not a regular file").
std::string fileProblem(const std::exception &error);

// Whether `command` draws or prints, and so needs a Qt application object to exist.
bool needsQtApplication(const std::string &command);

// Runs one command line (without the program name). Names and tiles go to `out`, messages to
// `err`, both as UTF-8.
int runTavleprint(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
