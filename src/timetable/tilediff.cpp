#include "timetable/tilediff.h"

#include "platform/cp1252.h"
#include "timetable/timetable.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace timetable {
namespace {

struct LineHash {
    std::size_t operator()(const TBrik *t) const
    {
        const std::hash<std::string_view> h;
        std::size_t seed = h(t->Laerer);
        for (const std::string *field : {&t->Klasse, &t->Fag, &t->Lokale, &t->Periode})
            seed ^= h(*field) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
        return seed;
    }
};

// All five fields, byte for byte.
struct LineEqual {
    bool operator()(const TBrik *a, const TBrik *b) const
    {
        return a->Laerer == b->Laerer && a->Klasse == b->Klasse && a->Fag == b->Fag &&
               a->Lokale == b->Lokale && a->Periode == b->Periode;
    }
};

// Which tiles of the two lists are changed: of a line that stands k times in `earlier` and m
// times in `current`, k - m of its earlier tiles are marked removed, or m - k of its newer ones
// added. Equal lines are interchangeable, so which of them carry the mark does not matter.
struct ChangeMarks {
    std::vector<bool> removed; // by index into `earlier`
    std::vector<bool> added;   // by index into `current`
};

ChangeMarks markChanges(const std::vector<const TBrik *> &earlier,
                        const std::vector<const TBrik *> &current)
{
    // Per distinct line: its newer copies less its earlier ones.
    std::unordered_map<const TBrik *, std::ptrdiff_t, LineHash, LineEqual> balance;
    balance.reserve(std::max(earlier.size(), current.size()));
    for (const TBrik *tile : earlier)
        --balance[tile];
    for (const TBrik *tile : current)
        ++balance[tile];

    ChangeMarks marks{std::vector<bool>(earlier.size()), std::vector<bool>(current.size())};
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        if (std::ptrdiff_t &b = balance.find(earlier[i])->second; b < 0) {
            marks.removed[i] = true;
            ++b;
        }
    }
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (std::ptrdiff_t &b = balance.find(current[i])->second; b > 0) {
            marks.added[i] = true;
            --b;
        }
    }
    return marks;
}

std::vector<const TBrik *> tilePointers(const Timetable &table)
{
    std::vector<const TBrik *> out;
    out.reserve(table.tiles().size());
    for (const auto &tile : table.tiles())
        out.push_back(tile.get());
    return out;
}

// The names of both listings, merged by folded spelling as the list merges them.
class NameIndex {
public:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // The entry of a tile's name key, made at the end when the name is new; `none` for an
    // empty key, which no listing shows. The tiles come in sorted order, so a key's tiles
    // stand together and one fold serves all of them.
    std::size_t entryOf(const std::string &key)
    {
        if (key.empty())
            return none;
        if (lastKey_ != nullptr && *lastKey_ == key)
            return lastEntry_;
        const auto [it, added] = byFold_.try_emplace(platform::cp1252LowerCase(key), names.size());
        if (added)
            names.push_back({key, {}, {}});
        lastKey_ = &key;
        lastEntry_ = it->second;
        return lastEntry_;
    }
    // The next table's keys live elsewhere.
    void startTable() { lastKey_ = nullptr; }

    std::vector<NameChanges> names;

private:
    std::unordered_map<std::string, std::size_t> byFold_;
    const std::string *lastKey_ = nullptr;
    std::size_t lastEntry_ = none;
};

} // namespace

std::size_t TileDiff::addedCount() const
{
    std::size_t count = 0;
    for (const NameChanges &name : names)
        count += name.added.size();
    return count;
}

std::size_t TileDiff::removedCount() const
{
    std::size_t count = 0;
    for (const NameChanges &name : names)
        count += name.removed.size();
    return count;
}

const NameChanges *TileDiff::find(std::string_view name) const
{
    const auto it = std::find_if(names.begin(), names.end(),
                                 [&](const NameChanges &n) { return n.name == name; });
    return it != names.end() ? &*it : nullptr;
}

// A tile whose key is a case variant of a listed name counts for that name, though its own
// spelling never reaches a print list: it is still on the board, or still has to go there.
// Tiles with an empty key belong to no name and appear only in CountChanges.
TileDiff CompareTiles(const Timetable &earlier, const Timetable &current, SelectionMode mode)
{
    const std::vector<const TBrik *> before = earlier.SortedTiles(mode);
    const std::vector<const TBrik *> after = current.SortedTiles(mode);
    const ChangeMarks marks = markChanges(before, after);

    // The newer file first, so that its names and spellings lead; names found only in the
    // earlier file follow in its list order.
    NameIndex index;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const std::size_t entry = index.entryOf(nameKey(*after[i], mode));
        if (entry != NameIndex::none && marks.added[i])
            index.names[entry].added.push_back(after[i]);
    }
    index.startTable();
    for (std::size_t i = 0; i < before.size(); ++i) {
        const std::size_t entry = index.entryOf(nameKey(*before[i], mode));
        if (entry != NameIndex::none && marks.removed[i])
            index.names[entry].removed.push_back(before[i]);
    }

    TileDiff diff;
    for (NameChanges &name : index.names) {
        if (!name.added.empty() || !name.removed.empty())
            diff.names.push_back(std::move(name));
    }
    return diff;
}

ChangeCounts CountChanges(const Timetable &earlier, const Timetable &current)
{
    const ChangeMarks marks = markChanges(tilePointers(earlier), tilePointers(current));
    return {static_cast<std::size_t>(std::count(marks.added.begin(), marks.added.end(), true)),
            static_cast<std::size_t>(std::count(marks.removed.begin(), marks.removed.end(), true))};
}

std::vector<const TBrik *> NewTilesPrintList(const TileDiff &diff,
                                             const std::vector<std::string> &names,
                                             std::vector<std::size_t> &nameStarts)
{
    std::vector<const TBrik *> list;
    nameStarts.clear();
    for (const std::string &name : names) {
        const NameChanges *changes = diff.find(name);
        if (changes == nullptr || changes->added.empty())
            continue;
        nameStarts.push_back(list.size());
        list.insert(list.end(), changes->added.begin(), changes->added.end());
    }
    return list;
}

} // namespace timetable
