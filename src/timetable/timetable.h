#pragma once
// The timetable data of one program run: the tile list read from the export file, the column
// positions found in its header lines, the selection mode and the print list. One object of
// this class exists for the whole run; the windows and the tile sheet reach it by reference.

#include "timetable/tbrik.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace timetable {

// The names of one listing, and the tiles that listing leaves unreachable: a tile is printed
// only when its name key equals a listed name byte for byte, so tiles with an empty key and
// tiles whose key differs from the listed spelling only in letter case never reach a sheet.
struct NameListing {
    std::vector<std::string> names;
    int emptyKeyTiles = 0;
    int caseVariantTiles = 0;
    // Each case variant that has tiles, with the listed spelling that hides it.
    std::vector<std::pair<std::string, std::string>> caseVariants;
};

// An export file refused before the tiles loaded earlier go: it holds no lesson line, has no
// header line, or holds bytes no text file holds. what() is the Danish text for the window
// (Windows-1252), plain() the command line's English.
class ENotAnExport : public std::runtime_error {
public:
    enum class Kind { NoLessons, NoHeader, NotText };
    explicit ENotAnExport(Kind kind);
    Kind kind() const { return kind_; }
    const char *plain() const;

private:
    static std::string danishText(Kind kind);
    Kind kind_;
};

class Timetable {
public:
    // Receives every message for the main window's message area (Windows-1252 text that ends
    // in two line breaks).
    using MessageSink = std::function<void(const std::string &)>;

    explicit Timetable(MessageSink sink = {});

    void setMessageSink(MessageSink sink) { sink_ = std::move(sink); }
    // The messages in plain English instead (UTF-8 apart from the names, which stay as the file
    // spells them), for a terminal: as ENotAnExport::plain() says its refusal.
    void setPlainMessages(bool plain) { plainMessages_ = plain; }

    // Reads the export file into a new tile list. Throws platform::EInOutError when the file
    // cannot be opened or read; the tiles read before a failing read stay in the list. A file
    // that is no export (ENotAnExport) leaves the tile list and the message area as they were.
    void LoadBrikker(const std::filesystem::path &path);
    // LoadBrikker on the whole content of an export file, already read.
    void LoadBrikkerFromBytes(std::string_view bytes);
    // A tile list from elsewhere than a file (the board's record), replacing the one loaded.
    void SetTiles(std::vector<std::unique_ptr<TBrik>> tiles);

    // Sets the column positions from a header line; false when it stopped at a missing name.
    bool ParseHeader(std::string_view line);
    TBrik MakeBrik(std::string_view line) const;

    void SortTiles(SelectionMode mode);
    // The tile list in the order SortTiles(mode) would leave it; the list itself stays as it is.
    std::vector<const TBrik *> SortedTiles(SelectionMode mode) const;
    // The distinct name keys in tile-list order, a name equal to an earlier one but for letter
    // case (A-Z with a-z, and the Windows-1252 accented letters) counting as the same.
    NameListing FillNameList(SelectionMode mode) const;
    // A listing as the list buttons run it: sort, list, set the selection mode, and report
    // unreachable tiles in the message area.
    NameListing Listing(SelectionMode mode);

    void BuildPrintList(std::string_view name);

    bool hasTileList() const { return tiles_.has_value(); }
    // How many loads have replaced the tile list: a failed load that kept the list leaves it.
    unsigned loads() const { return loads_; }
    // The SHA-256 (hex) of the bytes LoadBrikker read for the tile list; empty for a list
    // loaded from bytes given.
    const std::string &fileHash() const { return fileHash_; }
    // The tile list; empty before the first load.
    const std::vector<std::unique_ptr<TBrik>> &tiles() const;
    const std::vector<const TBrik *> &printList() const { return printList_; }
    SelectionMode selectionMode() const { return selectionMode_; }
    // Column positions, 1-based field numbers in the order of kColumnNames; 0 until found.
    const std::array<int, 5> &columnPositions() const { return columns_; }

private:
    void message(const std::string &text) const;
    // The load of the bytes read from an export file; `readErrno` is the error that stopped the
    // read part-way, 0 when it read the whole file.
    void loadContent(std::string_view content, int readErrno);
    void updateColumnWalk();
    // The indices of the tile list in the order of its exchange sort in `mode`.
    std::vector<std::size_t> sortOrder(SelectionMode mode) const;

    MessageSink sink_;
    std::array<int, 5> columns_{};
    // The five columns in the order of their positions, so that MakeBrik walks a line once.
    std::array<int, 5> columnWalk_{0, 1, 2, 3, 4};
    std::optional<std::vector<std::unique_ptr<TBrik>>> tiles_;
    unsigned loads_ = 0;
    std::string fileHash_;
    bool plainMessages_ = false;
    SelectionMode selectionMode_ = SelectionMode::Classes;
    std::vector<const TBrik *> printList_;
};

// The SHA-256 of `bytes` in hex: how the board knows an export file again.
std::string ContentHash(std::string_view bytes);

// The message area's line about a listing's unreachable tiles; empty when there are none.
// `plain`: in plain English.
std::string unreachableTilesMessage(const NameListing &listing, SelectionMode mode,
                                    bool plain = false);

} // namespace timetable
