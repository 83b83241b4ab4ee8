#pragma once
// The export the board was printed from, chosen with "Tidligere fil…". The main window owns it
// for the whole run; the selection window compares the loaded export with it.

#include "timetable/timetable.h"

#include <QString>
#include <memory>

namespace app {

struct EarlierExport {
    // None until a file has been chosen; replaced only by a file that loaded completely.
    std::unique_ptr<timetable::Timetable> table;
    QString path; // its full path

    bool chosen() const { return table != nullptr; }
};

} // namespace app
