#pragma once
// tavleprint, the command-line tool: the jobs of the windows without a window.

#include <exception>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace timetable {
class Timetable;
struct TBrik;
} // namespace timetable

namespace cli {

// A message of the message area as a terminal shows it, on `err`: everything but the reading
// note, without its line breaks, in UTF-8 after "tavleprint: " and `prefix`.
void toTerminal(std::ostream &err, const std::string &message, const std::string &prefix = {});

// Loads the export file `path` into `table`. False, with the plain reason on `err`, when it is
// no export or cannot be read.
bool loadExport(timetable::Timetable &table, const std::string &path, std::ostream &err);

// A tile as `tiles` prints it: its five fields, TAB-separated, in UTF-8.
std::string tileLine(const timetable::TBrik &tile);

// The full path of `path` (UTF-8 in, Windows-1252 out, as the sheets print it).
std::string absolutePath(const std::string &path);

// A file error as a terminal shows it: the run-time text, or for a refused file the plain
// reason ("not a regular file").
std::string fileProblem(const std::exception &error);

// A mistake on the command line of `command` (empty or unknown: of tavleprint as a whole):
// "tavleprint: " and `problem` on `err`, then the usage that goes with it; the exit code for it.
int usageError(std::ostream &err, std::string_view command, const std::string &problem);

// Whether `command` draws or prints, and so needs a Qt application object to exist.
bool needsQtApplication(const std::string &command);

// Runs one command line (without the program name). Names and tiles go to `out`, messages to
// `err`, both as UTF-8.
int runTavleprint(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
