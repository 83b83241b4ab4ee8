#include "platform/sqlite.h"

#include <sqlite3.h>

namespace platform {

ESqliteError::ESqliteError(int code, const std::string &text)
    : std::runtime_error(text), code_(code & 0xff)
{}

bool ESqliteError::damagedFile() const { return code_ == SQLITE_NOTADB || code_ == SQLITE_CORRUPT; }

SqliteDatabase::SqliteDatabase(const std::filesystem::path &path, int busyTimeoutMs)
{
    // SQLite takes its file names as UTF-8 on every system; on Windows string() would be the
    // ANSI code page, where a name with æ, ø or å may have no spelling at all.
    const std::u8string name = path.u8string();
    const int rc = sqlite3_open_v2(reinterpret_cast<const char *>(name.c_str()), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string text = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw ESqliteError(rc, text);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyTimeoutMs);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close(db_); }

void SqliteDatabase::fail(int code) const { throw ESqliteError(code, sqlite3_errmsg(db_)); }

void SqliteDatabase::useWriteAheadLog()
{
    SqliteStatement mode(*this, "PRAGMA journal_mode=WAL");
    mode.step();
    exec("PRAGMA synchronous=NORMAL");
}

void SqliteDatabase::exec(std::string_view sql)
{
    const std::string text(sql);
    if (const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
        fail(rc);
}

std::int64_t SqliteDatabase::scalar(std::string_view sql)
{
    SqliteStatement query(*this, sql);
    return query.step() ? query.integer(0) : 0;
}

std::int64_t SqliteDatabase::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

SqliteStatement::SqliteStatement(SqliteDatabase &db, std::string_view sql) : db_(db)
{
    const int rc =
        sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        throw ESqliteError(rc, sqlite3_errmsg(db.handle()));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

namespace {
void check(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK)
        throw ESqliteError(rc, sqlite3_errmsg(db));
}
} // namespace

SqliteStatement &SqliteStatement::bind(int index, std::int64_t value)
{
    check(db_.handle(), sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

SqliteStatement &SqliteStatement::bind(int index, std::string_view text)
{
    check(db_.handle(), sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                          SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement &SqliteStatement::bindBlob(int index, std::string_view bytes)
{
    check(db_.handle(), sqlite3_bind_blob(stmt_, index, bytes.data(),
                                          static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement &SqliteStatement::bindNull(int index)
{
    check(db_.handle(), sqlite3_bind_null(stmt_, index));
    return *this;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw ESqliteError(rc, sqlite3_errmsg(db_.handle()));
}

void SqliteStatement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

std::string SqliteStatement::text(int column) const { return std::string(blob(column)); }

std::string_view SqliteStatement::blob(int column) const
{
    const void *data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::string_view(static_cast<const char *>(data), static_cast<std::size_t>(size))
                : std::string_view();
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase &db) : db_(db) { db.exec("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction()
{
    if (open_)
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit()
{
    db_.exec("COMMIT");
    open_ = false;
}

} // namespace platform
