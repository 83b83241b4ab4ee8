#pragma once
// The export the board was printed from, chosen with "Tidligere fil…". The main window owns it
// for the whole run; the selection window compares the loaded export with it.

#include "platform/cp1252.h"
#include "timetable/timetable.h"

#include <QString>
#include <memory>
#include <string>

namespace app {

struct EarlierExport {
    // None until a file has been chosen; replaced only by a file that loaded completely.
    std::unique_ptr<timetable::Timetable> table;
    QString path; // its full path

    bool chosen() const { return table != nullptr; }
};

// The message area's words when the two exports hold the same tiles.
inline std::string noChangesMessage()
{
    return platform::cp1252(u8"Ingen ændringer mellem de to filer.\r\n\r\n");
}

} // namespace app
