#pragma once
// TChangeList: the "Ændringsliste" report. For each chosen name with changes a heading with the
// name, then the tiles to take down and the new tiles (subject, class or teacher, room,
// period), one line a lesson, in two columns on A4 portrait pages with page numbers. A column
// that goes on with a name begun before opens with the name marked "(fortsat)" and the section
// word, so that every page says whose tiles it holds. An ordinary band report: it previews,
// prints, saves and exports like the tile sheet.

#include "report/customreport.h"
#include "timetable/tilediff.h"

#include <memory>
#include <string>
#include <vector>

namespace tilesheet {

struct TChangeListInputs {
    // The comparison, alive as long as the report.
    const timetable::TileDiff *Diff = nullptr;
    // The names to list, in list order; names without changes are left out.
    std::vector<std::string> Names;
    // Teacher mode lists each tile's class, class mode its teacher.
    timetable::SelectionMode Mode = timetable::SelectionMode::Teachers;
    // The two export files' full paths, Windows-1252, for the report's header.
    std::string EarlierFileName;
    std::string FileName;
};

class TChangeList {
public:
    explicit TChangeList(const TChangeListInputs &inputs);
    ~TChangeList(); // stops a preview's run first: its handlers use this object
    TChangeList(const TChangeList &) = delete;
    TChangeList &operator=(const TChangeList &) = delete;

    // The report; its ReportTitle is "Ændringsliste" (Windows-1252).
    report::TBandReport &Report();

private:
    struct Definition;
    std::unique_ptr<Definition> d_;
};

} // namespace tilesheet
