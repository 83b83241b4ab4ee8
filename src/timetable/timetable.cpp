#include "timetable/timetable.h"

#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "timetable/exportfile.h"
#include "timetable/tilesort.h"

#include <QCryptographicHash>
#include <QScopeGuard>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace timetable {
namespace {

std::strong_ordering compareBytes(const std::string &a, const std::string &b)
{
    return a.compare(b) <=> 0; // char_traits<char> compares as unsigned char
}

// Teacher mode: teacher, class, room; class mode: class, teacher, room.
std::strong_ordering compareTiles(const TBrik &a, const TBrik &b, SelectionMode mode)
{
    const bool teachers = mode == SelectionMode::Teachers;
    if (auto c = compareBytes(teachers ? a.Laerer : a.Klasse, teachers ? b.Laerer : b.Klasse);
        c != 0)
        return c;
    if (auto c = compareBytes(teachers ? a.Klasse : a.Laerer, teachers ? b.Klasse : b.Laerer);
        c != 0)
        return c;
    return compareBytes(a.Lokale, b.Lokale);
}

std::string joined(const std::vector<std::string_view> &names)
{
    std::string out;
    for (const auto name : names) {
        if (!out.empty())
            out += ", ";
        out += name;
    }
    return out;
}

const std::string kLineBreaks = "\r\n\r\n";

// The index of the first byte above 0x7F, or npos; eight bytes at a time, since most export
// files are plain ASCII for long stretches.
std::size_t firstHighByte(std::string_view text)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= text.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (word & kHighBits)
            break;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) > 0x7F)
            return i;
    }
    return std::string_view::npos;
}

} // namespace

Timetable::Timetable(MessageSink sink) : sink_(std::move(sink)) {}

void Timetable::message(const std::string &text) const
{
    if (sink_)
        sink_(text);
}

void Timetable::updateColumnWalk()
{
    std::sort(columnWalk_.begin(), columnWalk_.end(),
              [&](int a, int b) { return columns_[a] < columns_[b]; });
}

const std::vector<std::unique_ptr<TBrik>> &Timetable::tiles() const
{
    static const std::vector<std::unique_ptr<TBrik>> none;
    return tiles_ ? *tiles_ : none;
}

bool Timetable::ParseHeader(std::string_view line)
{
    for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
        const auto at = line.find(kColumnNames[c]);
        if (at == std::string_view::npos)
            return false;
        const auto before = line.substr(0, at);
        columns_[c] = static_cast<int>(std::count(before.begin(), before.end(), ';')) + 1;
        updateColumnWalk();
    }
    return true;
}

TBrik Timetable::MakeBrik(std::string_view line) const
{
    // GetField for each of the five columns, in one walk along the line: the columns are taken
    // in the order of their positions, so no field is searched for twice.
    std::array<std::string_view, 5> fields;
    std::string_view rest = line;
    int field = 1;
    for (const int c : columnWalk_) {
        for (; field < columns_[c]; ++field) {
            const auto sep = rest.find(';');
            if (sep == std::string_view::npos)
                break; // past the last field: the rest stays the last field
            rest.remove_prefix(sep + 1);
        }
        fields[c] = rest.substr(0, rest.find(';'));
    }
    return TBrik{std::string(fields[ColLaerer]), std::string(fields[ColKlasse]),
                 std::string(fields[ColFag]), std::string(fields[ColLokale]),
                 std::string(fields[ColPeriode])};
}

ENotAnExport::ENotAnExport(Kind kind) : std::runtime_error(danishText(kind)), kind_(kind) {}

std::string ENotAnExport::danishText(Kind kind)
{
    switch (kind) {
    case Kind::NoLessons:
        return platform::cp1252(u8"Filen indeholder ingen lektioner.");
    case Kind::NoHeader:
        return platform::cp1252(u8"Filen har ingen overskriftslinje og er ikke en eksportfil.");
    case Kind::NotText:
        break;
    }
    return platform::cp1252(u8"Filen er ikke en tekstfil og kan ikke være en eksportfil.");
}

const char *ENotAnExport::plain() const
{
    switch (kind_) {
    case Kind::NoLessons:
        return "the file holds no lessons";
    case Kind::NoHeader:
        return "the file has no header line and is not an export file";
    case Kind::NotText:
        break;
    }
    return "the file is not a text file and cannot be an export file";
}

namespace {

// A control byte where text belongs: anything below a blank but TAB and the line ends. (A
// Ctrl-Z ends the text before this is asked.)
bool holdsControlBytes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
    });
}

// Only what reaches a tile must be text: a stray form feed in a column nobody reads does not
// make an export something else. A NUL byte anywhere does: no text file holds one.
bool tileHoldsControlBytes(const TBrik &tile)
{
    return holdsControlBytes(tile.Laerer) || holdsControlBytes(tile.Klasse) ||
           holdsControlBytes(tile.Fag) || holdsControlBytes(tile.Lokale) ||
           holdsControlBytes(tile.Periode);
}

} // namespace

void Timetable::LoadBrikker(const std::filesystem::path &path)
{
    // A device, a FIFO or a file no export comes near is refused before anything is read.
    platform::refuseUnreadableFile(path, kMaxExportBytes);
    const platform::FileBytes file = platform::readFileBytes(path, kMaxExportBytes);
    // The bytes read are the ones hashed: the file is not read a second time for it.
    const unsigned before = loads_;
    const auto hashed = qScopeGuard([&] {
        if (loads_ != before)
            fileHash_ = ContentHash(file.bytes);
    });
    loadContent(file.bytes, file.readErrno);
}

void Timetable::LoadBrikkerFromBytes(std::string_view bytes)
{
    loadContent(bytes, 0);
    fileHash_.clear();
}

std::string ContentHash(std::string_view bytes)
{
    return QCryptographicHash::hash(
               QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

void Timetable::loadContent(std::string_view content, int readErrno)
{
    if (readErrno != 0) // keep the complete lines read before the failure
        content = content.substr(0, content.rfind('\n') + 1);
    if (const auto eof = content.find(kCtrlZ); eof != std::string_view::npos)
        content = content.substr(0, eof);
    if (content.find('\0') != std::string_view::npos)
        throw ENotAnExport(ENotAnExport::Kind::NotText);

    // What the load says goes to the message area only once the file is taken.
    const bool plain = plainMessages_;
    std::vector<std::string> notes{
        (plain ? std::string("reading tiles...") : platform::cp1252(u8"Læser brikker...")) +
        kLineBreaks};
    std::string converted;
    const bool bom = content.starts_with("\xEF\xBB\xBF");
    const std::size_t high = firstHighByte(content);
    if (bom || (high != std::string_view::npos && platform::isValidUtf8(content.substr(high)))) {
        auto conversion = platform::utf8ToCp1252(content);
        converted = std::move(conversion.text);
        content = converted;
        std::string note =
            plain ? std::string("the file is saved as UTF-8 and was converted to Windows-1252")
                  : platform::cp1252(u8"Filen er gemt som UTF-8 og er omsat til Windows-1252");
        if (conversion.replaced > 0)
            note += "; " + std::to_string(conversion.replaced) +
                    (plain ? std::string(" characters without a Windows-1252 form became '?'")
                           : platform::cp1252(u8" tegn uden en Windows-1252-form er blevet til "
                                              u8"'?'"));
        notes.push_back(note + "." + kLineBreaks);
    }

    // A refused file leaves the column positions of the file loaded before as they were.
    const auto columns = columns_;
    const auto columnWalk = columnWalk_;
    std::vector<std::unique_ptr<TBrik>> tiles;
    int lineNumber = 0;
    bool headerSeen = false;
    bool controlBytesRead = false;
    forEachLine(content, [&](std::string_view line) {
        ++lineNumber;
        if (line.empty())
            return;
        if (isHeaderLine(line)) {
            headerSeen = true;
            if (!ParseHeader(line)) {
                const auto missing = missingColumns(line);
                const bool one = missing.size() == 1;
                notes.push_back(
                    plain ? "warning: the header in line " + std::to_string(lineNumber) +
                                (one ? " lacks the column " : " lacks the columns ") +
                                joined(missing) +
                                "; the tiles' fields may therefore come from the wrong columns" +
                                kLineBreaks
                          : platform::cp1252(u8"Advarsel: Overskriften i linje ") +
                                std::to_string(lineNumber) +
                                (one ? platform::cp1252(u8" mangler kolonnen ")
                                     : platform::cp1252(u8" mangler kolonnerne ")) +
                                joined(missing) +
                                platform::cp1252(u8". Brikkernes felter kan derfor komme fra "
                                                 u8"forkerte kolonner.") +
                                kLineBreaks);
            }
            return;
        }
        auto tile = std::make_unique<TBrik>(MakeBrik(line));
        controlBytesRead = controlBytesRead || tileHoldsControlBytes(*tile);
        tiles.push_back(std::move(tile));
    });
    if (controlBytesRead) {
        columns_ = columns;
        columnWalk_ = columnWalk;
        throw ENotAnExport(ENotAnExport::Kind::NotText);
    }

    // A file with nothing to print, or one that is no export at all, is refused before the
    // tiles loaded earlier go. (A failing read keeps what it read: the error follows below.)
    if (readErrno == 0 && (tiles.empty() || !headerSeen)) {
        columns_ = columns;
        columnWalk_ = columnWalk;
        throw ENotAnExport(headerSeen || tiles.empty() ? ENotAnExport::Kind::NoLessons
                                                       : ENotAnExport::Kind::NoHeader);
    }
    tiles_ = std::move(tiles);
    ++loads_;
    for (const std::string &note : notes)
        message(note);

    if (readErrno != 0)
        throw platform::EInOutError::fromErrno(readErrno);
}

void Timetable::SetTiles(std::vector<std::unique_ptr<TBrik>> tiles)
{
    tiles_ = std::move(tiles);
    ++loads_;
    printList_.clear();
}

std::vector<std::size_t> Timetable::sortOrder(SelectionMode mode) const
{
    const auto &list = tiles();
    return exchangeSortOrder(list.size(), [&](std::size_t a, std::size_t b) {
        return compareTiles(*list[a], *list[b], mode);
    });
}

std::vector<const TBrik *> Timetable::SortedTiles(SelectionMode mode) const
{
    const auto &list = tiles();
    std::vector<const TBrik *> sorted;
    sorted.reserve(list.size());
    for (const std::size_t index : sortOrder(mode))
        sorted.push_back(list[index].get());
    return sorted;
}

void Timetable::SortTiles(SelectionMode mode)
{
    if (!tiles_)
        return;
    auto &tiles = *tiles_;
    const auto order = sortOrder(mode);
    std::vector<std::unique_ptr<TBrik>> sorted;
    sorted.reserve(tiles.size());
    for (const std::size_t index : order)
        sorted.push_back(std::move(tiles[index]));
    tiles = std::move(sorted);
}

NameListing Timetable::FillNameList(SelectionMode mode) const
{
    NameListing listing;
    // folded spelling -> index of the listed name
    std::unordered_map<std::string, std::size_t> listed;
    std::unordered_map<std::string, bool> variantSeen;
    for (const auto &tile : tiles()) {
        const std::string &key = nameKey(*tile, mode);
        if (key.empty()) {
            ++listing.emptyKeyTiles;
            continue;
        }
        const auto [it, added] =
            listed.try_emplace(platform::cp1252LowerCase(key), listing.names.size());
        if (added) {
            listing.names.push_back(key);
        } else if (listing.names[it->second] != key) {
            ++listing.caseVariantTiles;
            if (variantSeen.try_emplace(key, true).second)
                listing.caseVariants.emplace_back(key, listing.names[it->second]);
        }
    }
    return listing;
}

NameListing Timetable::Listing(SelectionMode mode)
{
    SortTiles(mode);
    NameListing listing = FillNameList(mode);
    selectionMode_ = mode;
    if (const std::string note = unreachableTilesMessage(listing, mode, plainMessages_);
        !note.empty())
        message(note);
    return listing;
}

void Timetable::BuildPrintList(std::string_view name)
{
    printList_.clear();
    for (const auto &tile : tiles()) {
        if (nameKey(*tile, selectionMode_) == name)
            printList_.push_back(tile.get());
    }
}

std::string unreachableTilesMessage(const NameListing &listing, SelectionMode mode, bool plain)
{
    const int total = listing.emptyKeyTiles + listing.caseVariantTiles;
    if (total == 0)
        return {};
    const bool teachers = mode == SelectionMode::Teachers;
    // Each text in Danish, or in plain English.
    const auto say = [plain](const char8_t *danish, const char *english) {
        return plain ? std::string(english) : platform::cp1252(danish);
    };
    std::string text =
        say(u8"Bemærk: ", "note: ") + std::to_string(total) +
        (total == 1 ? say(u8" brik kommer", " tile does") : say(u8" brikker kommer", " tiles do")) +
        (teachers ? say(u8" ikke med på nogen udskrift i lærervisning: ",
                        " not appear on any print by teacher: ")
                  : say(u8" ikke med på nogen udskrift i klassevisning: ",
                        " not appear on any print by class: "));
    if (listing.emptyKeyTiles > 0)
        text += std::to_string(listing.emptyKeyTiles) +
                (teachers ? say(u8" uden lærerbetegnelse", " without a teacher")
                          : say(u8" uden klassebetegnelse", " without a class"));
    if (listing.emptyKeyTiles > 0 && listing.caseVariantTiles > 0)
        text += say(u8" og ", " and ");
    if (listing.caseVariantTiles > 0) {
        constexpr std::size_t kNamesShown = 10;
        text += std::to_string(listing.caseVariantTiles) +
                say(u8", hvor navnet kun adskiller sig fra listens ved store og små bogstaver (",
                    " whose name differs from the listed one only in letter case (");
        for (std::size_t i = 0; i < listing.caseVariants.size() && i < kNamesShown; ++i) {
            if (i > 0)
                text += ", ";
            text += listing.caseVariants[i].first + say(u8" på listen som ", " listed as ") +
                    listing.caseVariants[i].second;
        }
        if (listing.caseVariants.size() > kNamesShown)
            text += say(u8" m.fl.", " and others");
        text += ")";
    }
    return text + (plain ? "" : ".") + kLineBreaks;
}

} // namespace timetable
