#pragma once
// The board: what hangs on the wall, name by name, as the prints put it there. Every print of
// a name is recorded (its tiles, the export file they came from, the time and the printer) in
// one SQLite file shared by the desktop program and tavleprint, so that "Kun ændringer" can
// compare a newly loaded export with the board itself instead of with an earlier file.
//
// Schema (one file, write-ahead log, one transaction per recorded print):
//   print      one row per print or forgetting of a name: mode, folded and listed name, time,
//              export path and SHA-256, printer, tile count, and the change of the name's tile
//              multiset since its previous row (a delta, so that a year of daily prints stays
//              small); the board on any past date is the sum of the deltas up to it.
//   board_now  the current tile multiset of each name on the board, whole, so that the
//              comparison reads one row a name.
// Forgetting keeps the history: it is a row that takes every tile of the name down.

#include "timetable/tbrik.h"
#include "timetable/tilediff.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class SqliteDatabase;
}

namespace timetable {

class Timetable;

// Where a recorded print came from.
struct PrintSource {
    std::string filePath;       // the export's full path, UTF-8
    std::string fileHash;       // SHA-256 of its bytes, lower-case hex
    std::string printer;        // the queue
    std::int64_t printedAt = 0; // milliseconds since 1970 UTC; 0: now
};

// One name on the board, as last printed.
struct BoardName {
    std::string name; // the listed spelling, Windows-1252
    std::size_t tileCount = 0;
    PrintSource source;
};

// The SHA-256 of a file's bytes in lower-case hex; empty when it cannot be read.
std::string ExportFileHash(const std::filesystem::path &path);

class TBoard {
public:
    // Receives the one message about a record set aside (Windows-1252, ending in two line
    // breaks, as the Timetable's messages).
    using MessageSink = std::function<void(const std::string &)>;
    // Called inside a recording's transaction at each step (1 after it began, then once per
    // name written, then 0 just before the commit): a test's way to stop a process mid-write.
    using StepHook = std::function<void(int)>;

    // tavle.sqlite in the user's data folder (…/Tavleplanner/, the same for both programs).
    static std::filesystem::path DefaultPath();

    // Opens (creating when missing) the record at `path`. A file that is no database, a damaged
    // one or another program's is renamed to `path`.damaged, the sink told, and a new board
    // starts; so is one whose damage shows only when a later call reads it. Throws
    // platform::ESqliteError when the folder cannot hold a database at all.
    explicit TBoard(const std::filesystem::path &path = DefaultPath(), MessageSink sink = {},
                    bool plainMessages = false);
    ~TBoard();
    TBoard(const TBoard &) = delete;
    TBoard &operator=(const TBoard &) = delete;

    const std::filesystem::path &path() const { return path_; }
    void setStepHook(StepHook hook) { hook_ = std::move(hook); }

    // `names` (listed spellings) of `table` went to the printer whole: each now holds the
    // table's tiles whose name key folds to it. One transaction for all of them.
    void RecordPrint(SelectionMode mode, const Timetable &table,
                     const std::vector<std::string> &names, const PrintSource &source);
    // Takes a name, or every name of a board, down; the history stays.
    void Forget(SelectionMode mode, std::string_view name, std::int64_t at = 0);
    void ForgetBoard(SelectionMode mode, std::int64_t at = 0);

    // The names on the board now, or at `at` (milliseconds since 1970 UTC), in folded order.
    std::vector<BoardName> Names(SelectionMode mode,
                                 std::optional<std::int64_t> at = std::nullopt) const;
    // A name's tiles on the board now or at `at`, in no particular order.
    std::vector<TBrik> Tiles(SelectionMode mode, std::string_view name,
                             std::optional<std::int64_t> at = std::nullopt) const;
    // Every tile on the board now or at `at`, as a tile list to compare a loaded export with.
    std::unique_ptr<Timetable> BoardTable(SelectionMode mode,
                                          std::optional<std::int64_t> at = std::nullopt) const;

    struct NameState; // a name's record and tiles, encoded

private:
    void open();
    void prepareSchema() const;
    void setAside(const std::string &why) const;
    void startOver(const std::string &why) const;
    template <typename Op> auto recovering(Op op) const -> decltype(op());
    void recordPrint(SelectionMode mode, const Timetable &table,
                     const std::vector<std::string> &names, const PrintSource &source);
    std::unique_ptr<Timetable> boardTable(SelectionMode mode, std::optional<std::int64_t> at) const;
    std::vector<NameState> state(SelectionMode mode, std::optional<std::int64_t> at) const;
    void forget(SelectionMode mode, const std::vector<std::string> &keys, std::int64_t at);

    std::filesystem::path path_;
    MessageSink sink_;
    bool plainMessages_;
    StepHook hook_;
    // Replaced by a new board when the file turns out damaged, even while only reading it.
    mutable std::unique_ptr<platform::SqliteDatabase> db_;
};

// The loaded export against the board: the comparison "Kun ændringer" makes against an earlier
// file, with the board's tiles as the earlier ones, so a name never printed is wholly new.
struct BoardComparison {
    std::unique_ptr<Timetable> board; // the diff's removed tiles point into it
    TileDiff diff;
    ChangeCounts counts; // over the listed names
};
BoardComparison CompareWithBoard(const TBoard &board, const Timetable &current, SelectionMode mode,
                                 std::optional<std::int64_t> at = std::nullopt);

} // namespace timetable
