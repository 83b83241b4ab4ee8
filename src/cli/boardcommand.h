#pragma once
// tavleprint board: the record of what hangs on the board, name by name; and the recording of
// each name a print put there, shared with the desktop program through one file.

#include "timetable/board.h"
#include "timetable/tbrik.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace timetable {
class Timetable;
}

namespace cli {

// `args` are the words after "board". Returns the exit code (0, 1 on failure, 2 on bad usage).
int runBoardCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// The board, opened for a command: a record set aside is told on `err`; none, with the reason
// on `err`, when no record can be opened at all.
std::unique_ptr<timetable::TBoard> openBoard(std::ostream &err);

// Records each name of a print as its job goes to the printer whole: a name whose job failed
// part-way is never passed, so the board keeps what it had for it. A record that cannot be
// written is a warning on `err`; the print itself has succeeded.
class PrintRecorder {
public:
    // `enabled` false (--no-record): records nothing.
    PrintRecorder(bool enabled, timetable::SelectionMode mode, std::string exportPath,
                  std::string queue, std::ostream &err);
    ~PrintRecorder();
    void Printed(const timetable::Timetable &table, const std::string &name);

private:
    bool enabled_;
    timetable::SelectionMode mode_;
    std::string exportPath_;
    std::string queue_;
    std::ostream &err_;
    std::unique_ptr<timetable::TBoard> board_;
    timetable::PrintSource source_;
};

} // namespace cli
