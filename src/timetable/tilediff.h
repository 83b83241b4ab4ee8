#pragma once
// What changed between the export a board was printed from and a newer one. A tile is one
// lesson line, its five fields compared byte for byte; the two tile lists are compared as
// multisets, so a line that stands k times in the earlier file and m times in the newer one
// gives |k - m| removed or added tiles, and a lesson moved to another room, period or teacher is
// one removed tile and one added tile. Nothing is matched by its place in the file.

#include "timetable/tbrik.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace timetable {

class Timetable;

// The changed tiles of one listed name. The tiles point into the two tables compared and live
// as long as those tables keep their tile lists.
struct NameChanges {
    std::string name; // the listed spelling, Windows-1252
    // In the order `tavleprint tiles` gives for the earlier file, and for the newer one.
    std::vector<const TBrik *> removed;
    std::vector<const TBrik *> added;
};

struct TileDiff {
    // Only names with changes: names in the newer file's list order, then the names found only
    // in the earlier file, in its list order.
    std::vector<NameChanges> names;

    std::size_t addedCount() const;
    std::size_t removedCount() const;
    bool empty() const { return names.empty(); }
    // The changes of a listed name; nullptr when it has none.
    const NameChanges *find(std::string_view name) const;
};

// The changes per name in `mode`, grouped by the listing's rules: a tile belongs to the name its
// key lists as (letter case folded as the list folds it). Neither table is changed: the tile
// order of each is worked out on a copy, as a listing in `mode` would leave it.
TileDiff CompareTiles(const Timetable &earlier, const Timetable &current, SelectionMode mode);

// The tiles added and removed over the whole files, whatever the mode.
struct ChangeCounts {
    std::size_t added = 0;
    std::size_t removed = 0;
};
ChangeCounts CountChanges(const Timetable &earlier, const Timetable &current);

// The print list of the "Nye brikker" report for `names` (listed spellings, in the order
// given): the added tiles of each name that has any, one name after the other, and in
// `nameStarts` the print-list index where each of those names begins.
std::vector<const TBrik *> NewTilesPrintList(const TileDiff &diff,
                                             const std::vector<std::string> &names,
                                             std::vector<std::size_t> &nameStarts);

} // namespace timetable
