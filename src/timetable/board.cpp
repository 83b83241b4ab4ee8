#include "timetable/board.h"

#include "platform/cp1252.h"
#include "platform/pathtext.h"
#include "platform/sqlite.h"
#include "timetable/timetable.h"

#include <QDateTime>
#include <QFile>
#include <QStandardPaths>

#include <map>
#include <unordered_map>

namespace timetable {
namespace {

// Marks the file as this program's record, so that another program's database is set aside
// rather than written into.
constexpr std::int64_t kApplicationId = 0x54766C65; // "Tvle"
constexpr std::int64_t kSchemaVersion = 1;
// A second program recording at the same moment waits this long for the first one's commit.
constexpr int kBusyTimeoutMs = 10000;
constexpr char kLineBreaks[] = "\r\n\r\n";

constexpr std::string_view kSchema = R"(
CREATE TABLE IF NOT EXISTS print (
  id INTEGER PRIMARY KEY,
  mode INTEGER NOT NULL,
  name_key BLOB NOT NULL,
  name BLOB NOT NULL,
  printed_at INTEGER NOT NULL,
  file_path TEXT,
  file_hash TEXT,
  printer TEXT,
  tile_count INTEGER NOT NULL,
  delta BLOB NOT NULL
);
CREATE INDEX IF NOT EXISTS print_by_name ON print (mode, name_key, id);
CREATE TABLE IF NOT EXISTS board_now (
  mode INTEGER NOT NULL,
  name_key BLOB NOT NULL,
  print_id INTEGER NOT NULL REFERENCES print (id),
  tiles BLOB NOT NULL,
  PRIMARY KEY (mode, name_key)
) WITHOUT ROWID;
)";

class EForeignRecord : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

int modeNumber(SelectionMode mode) { return mode == SelectionMode::Teachers ? 0 : 1; }

std::int64_t nowOr(std::int64_t at) { return at != 0 ? at : QDateTime::currentMSecsSinceEpoch(); }

// A tile multiset: each distinct line (its five fields, encoded) with its count.
using TileCounts = std::map<std::string, std::int64_t>;

void putNumber(std::string &out, std::uint64_t n)
{
    while (n >= 0x80) {
        out.push_back(static_cast<char>((n & 0x7f) | 0x80));
        n >>= 7;
    }
    out.push_back(static_cast<char>(n));
}

std::uint64_t takeNumber(std::string_view bytes, std::size_t &pos)
{
    std::uint64_t n = 0;
    for (int shift = 0; pos < bytes.size() && shift < 64; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[pos++]);
        n |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            return n;
    }
    throw platform::ESqliteError(11 /* SQLITE_CORRUPT */, "a tile record ends early");
}

// The five fields, each with its length first: no byte of a field needs escaping.
std::string encodeLine(const TBrik &t)
{
    std::string out;
    for (const std::string *field : {&t.Laerer, &t.Klasse, &t.Fag, &t.Lokale, &t.Periode}) {
        putNumber(out, field->size());
        out += *field;
    }
    return out;
}

std::string_view takeField(std::string_view bytes, std::size_t &pos)
{
    const std::uint64_t size = takeNumber(bytes, pos);
    if (size > bytes.size() - pos)
        throw platform::ESqliteError(11 /* SQLITE_CORRUPT */, "a tile record ends early");
    const std::string_view field = bytes.substr(pos, size);
    pos += size;
    return field;
}

// Entries of a set or a delta: a line, then its count (or change) zig-zag encoded.
std::string encodeCounts(const TileCounts &counts)
{
    std::string out;
    for (const auto &[line, count] : counts) {
        out += line;
        putNumber(out, (static_cast<std::uint64_t>(count) << 1) ^
                           static_cast<std::uint64_t>(count >> 63));
    }
    return out;
}

template <typename Visit> void forEachEntry(std::string_view bytes, Visit visit)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t start = pos;
        std::string_view fields[5];
        for (std::string_view &field : fields)
            field = takeField(bytes, pos);
        const std::string_view line = bytes.substr(start, pos - start);
        const std::uint64_t zigzag = takeNumber(bytes, pos);
        const auto count =
            static_cast<std::int64_t>(zigzag >> 1) ^ -static_cast<std::int64_t>(zigzag & 1);
        visit(line, fields, count);
    }
}

void applyDelta(TileCounts &counts, std::string_view delta)
{
    forEachEntry(delta, [&](std::string_view line, const std::string_view *, std::int64_t change) {
        const auto it = counts.try_emplace(std::string(line), 0).first;
        it->second += change;
        if (it->second == 0)
            counts.erase(it);
    });
}

TileCounts decodeCounts(std::string_view bytes)
{
    TileCounts counts;
    applyDelta(counts, bytes);
    return counts;
}

// What turns `before` into `after`.
TileCounts deltaOf(const TileCounts &before, const TileCounts &after)
{
    TileCounts delta;
    auto b = before.begin();
    auto a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && b->first < a->first)) {
            delta.emplace(b->first, -b->second);
            ++b;
        } else if (b == before.end() || a->first < b->first) {
            delta.emplace(a->first, a->second);
            ++a;
        } else {
            if (a->second != b->second)
                delta.emplace(a->first, a->second - b->second);
            ++a;
            ++b;
        }
    }
    return delta;
}

std::size_t tileCount(const TileCounts &counts)
{
    std::size_t n = 0;
    for (const auto &entry : counts)
        n += static_cast<std::size_t>(entry.second);
    return n;
}

void appendTiles(std::vector<std::unique_ptr<TBrik>> &tiles, std::string_view bytes)
{
    forEachEntry(bytes, [&](std::string_view, const std::string_view *f, std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i)
            tiles.push_back(std::make_unique<TBrik>(TBrik{std::string(f[0]), std::string(f[1]),
                                                          std::string(f[2]), std::string(f[3]),
                                                          std::string(f[4])}));
    });
}

} // namespace

struct TBoard::NameState {
    std::string key;
    BoardName info;
    TileCounts tiles;
    bool onBoard = false;
};

std::string ExportFileHash(const std::filesystem::path &path)
{
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return ContentHash(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::filesystem::path TBoard::DefaultPath()
{
    // The generic folder, not the application's: both programs must find the same file.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return platform::qStringToPath(data) / "Tavleplanner" / "tavle.sqlite";
}

TBoard::TBoard(const std::filesystem::path &path, MessageSink sink, bool plainMessages)
    : path_(path), sink_(std::move(sink)), plainMessages_(plainMessages)
{
    std::error_code ignored;
    std::filesystem::create_directories(path_.parent_path(), ignored);
    open();
}

TBoard::~TBoard() = default;

void TBoard::open()
{
    std::string why;
    try {
        db_ = std::make_unique<platform::SqliteDatabase>(path_, kBusyTimeoutMs);
        prepareSchema();
        return;
    } catch (const platform::ESqliteError &e) {
        if (!e.damagedFile())
            throw;
        why = e.what();
    } catch (const EForeignRecord &e) {
        why = e.what();
    }
    startOver(why);
}

void TBoard::startOver(const std::string &why) const
{
    db_.reset();
    setAside(why);
    db_ = std::make_unique<platform::SqliteDatabase>(path_, kBusyTimeoutMs);
    prepareSchema();
}

void TBoard::prepareSchema() const
{
    platform::SqliteDatabase &db = *db_;
    db.useWriteAheadLog(); // the first read of the file: a file that is no database fails here
    const std::int64_t id = db.scalar("PRAGMA application_id");
    const std::int64_t objects = db.scalar("SELECT count(*) FROM sqlite_master");
    if (objects != 0 && id != kApplicationId)
        throw EForeignRecord("another program's database");
    if (id == kApplicationId && db.scalar("PRAGMA user_version") > kSchemaVersion)
        throw EForeignRecord("a newer version's record");
    if (objects != 0)
        return;
    platform::SqliteTransaction transaction(db);
    db.exec(kSchema);
    db.exec("PRAGMA application_id = " + std::to_string(kApplicationId));
    db.exec("PRAGMA user_version = " + std::to_string(kSchemaVersion));
    transaction.commit();
}

void TBoard::setAside(const std::string &why) const
{
    const std::filesystem::path damaged = path_.string() + ".damaged";
    std::error_code ignored;
    std::filesystem::rename(path_, damaged, ignored);
    // The log and index belong to the old file: a new database must not replay them.
    std::filesystem::rename(path_.string() + "-wal", damaged.string() + "-wal", ignored);
    std::filesystem::remove(path_.string() + "-shm", ignored);
    if (!sink_)
        return;
    if (plainMessages_) {
        sink_("the record of the board " + path_.string() + " could not be used (" + why +
              "); it was set aside as " + damaged.string() + " and a new, empty board started" +
              kLineBreaks);
    } else {
        sink_(platform::cp1252(u8"Optegnelsen over tavlen kunne ikke bruges og er lagt til side "
                               u8"som ") +
              platform::utf8ToCp1252(damaged.string()).text +
              platform::cp1252(u8". En ny, tom tavle er startet.") + kLineBreaks);
    }
}

void TBoard::RecordPrint(SelectionMode mode, const Timetable &table,
                         const std::vector<std::string> &names, const PrintSource &source)
{
    recovering([&] { recordPrint(mode, table, names, source); });
}

// A file whose damage shows only when a page is read: set aside then, and the work done again on
// the new board (a print recorded there, a reader given the empty board).
template <typename Op> auto TBoard::recovering(Op op) const -> decltype(op())
{
    try {
        return op();
    } catch (const platform::ESqliteError &e) {
        if (!e.damagedFile())
            throw;
        startOver(e.what());
    }
    return op();
}

void TBoard::recordPrint(SelectionMode mode, const Timetable &table,
                         const std::vector<std::string> &names, const PrintSource &source)
{
    // The tiles of each name as the comparison groups them: by folded name key.
    std::unordered_map<std::string, TileCounts> byName;
    for (const std::string &name : names)
        byName.try_emplace(platform::cp1252LowerCase(name));
    for (const auto &tile : table.tiles()) {
        const std::string &key = nameKey(*tile, mode);
        if (key.empty())
            continue;
        const auto it = byName.find(platform::cp1252LowerCase(key));
        if (it != byName.end())
            ++it->second[encodeLine(*tile)];
    }

    const std::int64_t at = nowOr(source.printedAt);
    platform::SqliteDatabase &db = *db_;
    platform::SqliteTransaction transaction(db);
    if (hook_)
        hook_(1);
    platform::SqliteStatement current(db,
                                      "SELECT tiles FROM board_now WHERE mode=? AND name_key=?");
    platform::SqliteStatement addPrint(
        db, "INSERT INTO print (mode, name_key, name, printed_at, file_path, file_hash, printer, "
            "tile_count, delta) VALUES (?,?,?,?,?,?,?,?,?)");
    platform::SqliteStatement setNow(
        db, "INSERT OR REPLACE INTO board_now (mode, name_key, print_id, tiles) VALUES (?,?,?,?)");
    int step = 1;
    for (const std::string &name : names) {
        const std::string key = platform::cp1252LowerCase(name);
        const TileCounts &after = byName[key];
        current.bind(1, modeNumber(mode)).bindBlob(2, key);
        const TileCounts before = current.step() ? decodeCounts(current.blob(0)) : TileCounts();
        current.reset();
        addPrint.bind(1, modeNumber(mode))
            .bindBlob(2, key)
            .bindBlob(3, name)
            .bind(4, at)
            .bind(5, source.filePath)
            .bind(6, source.fileHash)
            .bind(7, source.printer)
            .bind(8, static_cast<std::int64_t>(tileCount(after)))
            .bindBlob(9, encodeCounts(deltaOf(before, after)));
        addPrint.step();
        addPrint.reset();
        setNow.bind(1, modeNumber(mode))
            .bindBlob(2, key)
            .bind(3, db.lastInsertId())
            .bindBlob(4, encodeCounts(after));
        setNow.step();
        setNow.reset();
        if (hook_)
            hook_(++step);
    }
    if (hook_)
        hook_(0);
    transaction.commit();
}

void TBoard::forget(SelectionMode mode, const std::vector<std::string> &keys, std::int64_t at)
{
    platform::SqliteDatabase &db = *db_;
    platform::SqliteTransaction transaction(db);
    platform::SqliteStatement current(
        db, "SELECT b.tiles, p.name FROM board_now b JOIN print p ON p.id = b.print_id "
            "WHERE b.mode=? AND b.name_key=?");
    platform::SqliteStatement addForget(
        db, "INSERT INTO print (mode, name_key, name, printed_at, tile_count, delta) "
            "VALUES (?,?,?,?,0,?)");
    platform::SqliteStatement remove(db, "DELETE FROM board_now WHERE mode=? AND name_key=?");
    for (const std::string &key : keys) {
        current.bind(1, modeNumber(mode)).bindBlob(2, key);
        if (!current.step()) {
            current.reset();
            continue;
        }
        const TileCounts before = decodeCounts(current.blob(0));
        const std::string name = current.text(1);
        current.reset();
        addForget.bind(1, modeNumber(mode))
            .bindBlob(2, key)
            .bindBlob(3, name)
            .bind(4, nowOr(at))
            .bindBlob(5, encodeCounts(deltaOf(before, {})));
        addForget.step();
        addForget.reset();
        remove.bind(1, modeNumber(mode)).bindBlob(2, key);
        remove.step();
        remove.reset();
    }
    transaction.commit();
}

void TBoard::Forget(SelectionMode mode, std::string_view name, std::int64_t at)
{
    recovering([&] { forget(mode, {platform::cp1252LowerCase(name)}, at); });
}

void TBoard::ForgetBoard(SelectionMode mode, std::int64_t at)
{
    recovering([&] {
        std::vector<std::string> keys;
        for (const NameState &name : state(mode, std::nullopt))
            keys.push_back(name.key);
        forget(mode, keys, at);
    });
}

// The names on the board at `at`, replayed from the history; now, from board_now.
std::vector<TBoard::NameState> TBoard::state(SelectionMode mode,
                                             std::optional<std::int64_t> at) const
{
    platform::SqliteDatabase &db = *db_;
    std::vector<NameState> names;
    if (!at) {
        platform::SqliteStatement query(
            db, "SELECT b.name_key, p.name, p.tile_count, p.file_path, p.file_hash, p.printer, "
                "p.printed_at, b.tiles FROM board_now b JOIN print p ON p.id = b.print_id "
                "WHERE b.mode=? ORDER BY b.name_key");
        query.bind(1, modeNumber(mode));
        while (query.step()) {
            NameState &name = names.emplace_back();
            name.key = query.text(0);
            name.info = {query.text(1),
                         static_cast<std::size_t>(query.integer(2)),
                         {query.text(3), query.text(4), query.text(5), query.integer(6)}};
            name.tiles = decodeCounts(query.blob(7));
            name.onBoard = true;
        }
        return names;
    }
    platform::SqliteStatement query(
        db, "SELECT name_key, name, tile_count, file_path, file_hash, printer, printed_at, delta, "
            "file_path IS NULL FROM print WHERE mode=? AND printed_at<=? ORDER BY id");
    query.bind(1, modeNumber(mode)).bind(2, *at);
    std::map<std::string, NameState> byKey;
    while (query.step()) {
        NameState &name = byKey[query.text(0)];
        name.key = query.text(0);
        name.info = {query.text(1),
                     static_cast<std::size_t>(query.integer(2)),
                     {query.text(3), query.text(4), query.text(5), query.integer(6)}};
        applyDelta(name.tiles, query.blob(7));
        name.onBoard = query.integer(8) == 0;
    }
    for (auto &[key, name] : byKey)
        if (name.onBoard)
            names.push_back(std::move(name));
    return names;
}

std::vector<BoardName> TBoard::Names(SelectionMode mode, std::optional<std::int64_t> at) const
{
    std::vector<BoardName> names;
    for (NameState &name : recovering([&] { return state(mode, at); }))
        names.push_back(std::move(name.info));
    return names;
}

std::vector<TBrik> TBoard::Tiles(SelectionMode mode, std::string_view name,
                                 std::optional<std::int64_t> at) const
{
    const std::string key = platform::cp1252LowerCase(name);
    std::vector<std::unique_ptr<TBrik>> tiles;
    for (const NameState &state : recovering([&] { return this->state(mode, at); })) {
        if (state.key == key)
            appendTiles(tiles, encodeCounts(state.tiles));
    }
    std::vector<TBrik> out;
    for (auto &tile : tiles)
        out.push_back(std::move(*tile));
    return out;
}

std::unique_ptr<Timetable> TBoard::BoardTable(SelectionMode mode,
                                              std::optional<std::int64_t> at) const
{
    return recovering([&] { return boardTable(mode, at); });
}

std::unique_ptr<Timetable> TBoard::boardTable(SelectionMode mode,
                                              std::optional<std::int64_t> at) const
{
    std::vector<std::unique_ptr<TBrik>> tiles;
    if (!at) { // straight from the stored sets, one row a name
        platform::SqliteStatement query(*db_, "SELECT tiles FROM board_now WHERE mode=?");
        query.bind(1, modeNumber(mode));
        while (query.step())
            appendTiles(tiles, query.blob(0));
    } else {
        for (const NameState &name : state(mode, at))
            appendTiles(tiles, encodeCounts(name.tiles));
    }
    auto table = std::make_unique<Timetable>();
    table->SetTiles(std::move(tiles));
    return table;
}

BoardComparison CompareWithBoard(const TBoard &board, const Timetable &current, SelectionMode mode,
                                 std::optional<std::int64_t> at)
{
    BoardComparison comparison;
    comparison.board = board.BoardTable(mode, at);
    comparison.diff = CompareTiles(*comparison.board, current, mode);
    comparison.counts = {comparison.diff.addedCount(), comparison.diff.removedCount()};
    return comparison;
}

} // namespace timetable
