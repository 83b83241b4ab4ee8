#pragma once
// What the export-file fuzz target does with one input, shared with the corpus replay in the
// unit tests: the bytes are loaded as the content of an export file, as the main window loads
// one, then listed per teacher and per class with print lists built. A file that is no export
// must end in the reader's own error, never in a crash or a hang.
#include "timetable/timetable.h"

#include <string>
#include <string_view>

namespace fuzzbody {

// "" when the bytes load as an export file, otherwise why the reader refused them.
inline std::string readExportFile(std::string_view bytes)
{
    timetable::Timetable table([](const std::string &) {});
    try {
        table.LoadBrikkerFromBytes(bytes);
    } catch (const timetable::ENotAnExport &e) {
        return e.plain();
    }
    for (const auto mode :
         {timetable::SelectionMode::Teachers, timetable::SelectionMode::Classes}) {
        // The first names and the last: every name would make a run quadratic in the lines.
        const auto names = table.Listing(mode).names;
        for (std::size_t n = 0; n < names.size(); ++n) {
            if (n < 8 || n + 1 == names.size())
                table.BuildPrintList(names[n]);
        }
    }
    return "";
}

} // namespace fuzzbody
