#pragma once
// tavleprint diff, changes and sheets --since: what changed between the export a board was
// printed from (EARLIER, or the board's record with --board) and a newer one (EXPORT), as lines, as
// the "Ændringsliste" report, or as the "Nye brikker" report of the new tiles on shared sheets.

#include "cli/reportdestination.h"
#include "tilesheet/rapform.h"
#include "timetable/tbrik.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

struct ReportOutput {
    ReportDestination destination = ReportDestination::Pdf;
    std::string target;  // the .brp file or the exported file
    std::string printer; // queue name for --print, empty: the default printer
};

// `args` are the words after "diff" or "changes". Return the exit code (0, 1 on failure, 2 on
// bad usage).
int runDiffCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
int runChangesCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// sheets --since (EARLIER | --board): the new tiles of the named names (UTF-8, as typed; every
// changed one when none is named) on shared sheets, one report.
struct NewTilesRequest {
    timetable::SelectionMode mode = timetable::SelectionMode::Teachers;
    std::string earlierPath; // empty: the board's record is the earlier side
    std::string exportPath;
    std::vector<std::string> names;
    tilesheet::TRapFormInputs inputs; // margins and cut frames
    ReportOutput output;
    bool record = true; // a print records its names on the board with the export's tiles
};
int runNewTilesCommand(const NewTilesRequest &request, std::ostream &out, std::ostream &err);

} // namespace cli
