#include "platform/addressbook/sqlite_database.h"

#include <sqlite3.h>

#include "platform/addressbook/errors.h"
#include "platform/files/private_files.h"

namespace ab {

SqliteStatement::SqliteStatement(sqlite3* database, std::string_view sql) : m_database(database) {
  if (sqlite3_prepare_v2(database, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
    m_statement = nullptr;
    m_failed = true;
    m_failureMessage = sqlite3_errmsg(database);
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_statement); }

void SqliteStatement::bind(int index, std::int64_t value) { sqlite3_bind_int64(m_statement, index, value); }

void SqliteStatement::bind(int index, std::string_view text) {
  sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindBlob(int index, std::string_view bytes) {
  sqlite3_bind_blob64(m_statement, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index) { sqlite3_bind_null(m_statement, index); }

bool SqliteStatement::step() {
  if (!m_statement) return false;
  const int result = sqlite3_step(m_statement);
  if (result == SQLITE_ROW) return true;
  if (result != SQLITE_DONE && !m_failed) {
    m_failed = true;
    m_failureMessage = sqlite3_errmsg(m_database);
  }
  return false;
}

fnd::Error SqliteStatement::failure() const { return makeError(ErrorCode::StorageFailure, m_failureMessage); }

void SqliteStatement::reset() {
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
}

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(m_statement, column); }

std::string SqliteStatement::text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))) : std::string();
}

std::string SqliteStatement::blob(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
  return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
               : std::string();
}

bool SqliteStatement::isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }

std::optional<SqliteDatabase> SqliteDatabase::open(const std::string& path, std::chrono::milliseconds busyTimeout,
                                                   std::optional<fnd::Error>* error) {
  // The user's contacts are readable by the user alone: the file, the logs
  // SQLite makes beside it and the folders made for it. A failure here
  // shows up as SQLite's own when it opens the file.
  files::createPrivateFileIfAbsent(path);
  sqlite3* handle = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
    if (error)
      *error = makeError(ErrorCode::StorageFailure, handle ? sqlite3_errmsg(handle) : "Cannot open the address book");
    sqlite3_close(handle);
    return std::nullopt;
  }
  sqlite3_busy_timeout(handle, static_cast<int>(busyTimeout.count()));
  SqliteDatabase database(handle);
  // Write-ahead logging lets other programs read while one saves, and a save
  // killed half-way leaves the last committed state.
  if (!database.execute("PRAGMA journal_mode=WAL", error) || !database.execute("PRAGMA synchronous=NORMAL", error) ||
      !database.execute("PRAGMA foreign_keys=ON", error))
    return std::nullopt;
  return database;
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_database(std::exchange(other.m_database, nullptr)) {}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(m_database); }

bool SqliteDatabase::execute(std::string_view sql, std::optional<fnd::Error>* error) {
  const std::string statement(sql);
  if (sqlite3_exec(m_database, statement.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  if (error) *error = lastError();
  return false;
}

std::int64_t SqliteDatabase::lastInsertRowID() const { return sqlite3_last_insert_rowid(m_database); }

std::int64_t SqliteDatabase::dataVersion() {
  SqliteStatement statement(m_database, "PRAGMA data_version");
  return statement.step() ? statement.integer(0) : 0;
}

fnd::Error SqliteDatabase::lastError() const {
  return makeError(ErrorCode::StorageFailure, sqlite3_errmsg(m_database));
}

}  // namespace ab
