#pragma once
// A thin owner of SQLite's C interface: a connection, its prepared statements and a write
// transaction, each closed or rolled back by its destructor, and every failure thrown as
// ESqliteError with SQLite's own code and text.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

class ESqliteError : public std::runtime_error {
public:
    ESqliteError(int code, const std::string &text);
    // SQLite's primary result code (SQLITE_CORRUPT, SQLITE_NOTADB, SQLITE_BUSY, ...).
    int code() const { return code_; }
    // The file is no database, or one whose pages no longer hold together.
    bool damagedFile() const;

private:
    int code_;
};

class SqliteDatabase {
public:
    // Opens `path`, creating it when missing, and waits up to `busyTimeoutMs` for another
    // writer's lock before giving up. Throws ESqliteError.
    SqliteDatabase(const std::filesystem::path &path, int busyTimeoutMs);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    // Write-ahead logging: readers never wait for a writer, and a kill mid-write costs only
    // the transaction under way. Synchronous NORMAL keeps every commit whole across a kill of
    // the process; only a power failure may lose the last commits.
    void useWriteAheadLog();
    // Runs statements that return no rows.
    void exec(std::string_view sql);
    // The first column of the first row of `sql` as a number; 0 without rows.
    std::int64_t scalar(std::string_view sql);
    std::int64_t lastInsertId() const;

    sqlite3 *handle() const { return db_; }

private:
    [[noreturn]] void fail(int code) const;
    sqlite3 *db_ = nullptr;
};

// One prepared statement; its parameters are numbered from 1, its columns from 0.
class SqliteStatement {
public:
    SqliteStatement(SqliteDatabase &db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    SqliteStatement &bind(int index, std::int64_t value);
    SqliteStatement &bind(int index, std::string_view text); // bytes as they are, as TEXT
    SqliteStatement &bindBlob(int index, std::string_view bytes);
    SqliteStatement &bindNull(int index);

    // The next row: true while there is one. Throws on failure.
    bool step();
    // Ready for new parameters and a new run.
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;      // TEXT or BLOB bytes
    std::string_view blob(int column) const; // valid until the next step or reset
    bool isNull(int column) const;

private:
    SqliteDatabase &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// BEGIN IMMEDIATE: takes the write lock at once (waiting out the busy timeout), so that two
// writers queue instead of one failing at its first write. Rolled back unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase &db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;
    void commit();

private:
    SqliteDatabase &db_;
    bool open_ = true;
};

} // namespace platform
