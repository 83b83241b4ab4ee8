#pragma once
// One tile: one lesson of the export file. Created by the reader, never changed afterwards.
// The fields hold the file's Windows-1252 bytes exactly as they stand.

#include <string>

namespace timetable {

struct TBrik {
    std::string Laerer;  // teacher designation
    std::string Klasse;  // class designation
    std::string Fag;     // subject
    std::string Lokale;  // room
    std::string Periode; // period (lesson time)
};

// Teacher mode puts each teacher's tiles on sheets of their own, class mode each class's.
enum class SelectionMode { Teachers, Classes };

// The name key of a tile in a mode: its teacher in teacher mode, its class in class mode.
inline const std::string &nameKey(const TBrik &brik, SelectionMode mode)
{
    return mode == SelectionMode::Teachers ? brik.Laerer : brik.Klasse;
}

} // namespace timetable
