#pragma once
// A thin owner of one SQLite connection and its prepared statements, turning
// result codes into error values. Not thread-safe: one thread at a time.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ab {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* database, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool isValid() const noexcept { return m_statement != nullptr; }
  void bind(int index, std::int64_t value);
  void bind(int index, std::string_view text);
  void bindBlob(int index, std::string_view bytes);
  void bindNull(int index);
  // True while a row is available; false at the end or on failure (see failed()).
  bool step();
  bool failed() const noexcept { return m_failed; }
  // The reason of the first failure, kept as SQLite gave it: the connection's
  // own message is gone once the statement is reset or another one runs.
  fnd::Error failure() const;
  void reset();

  std::int64_t integer(int column) const;
  std::string text(int column) const;
  std::string blob(int column) const;
  bool isNull(int column) const;

 private:
  sqlite3* m_database;
  sqlite3_stmt* m_statement = nullptr;
  bool m_failed = false;
  std::string m_failureMessage;
};

class SqliteDatabase {
 public:
  // Opens (creating when absent, private to the user) the file and its
  // folders; a statement waits up to `busyTimeout` for another connection's write.
  static std::optional<SqliteDatabase> open(const std::string& path, std::chrono::milliseconds busyTimeout,
                                            std::optional<fnd::Error>* error);
  SqliteDatabase(SqliteDatabase&& other) noexcept;
  SqliteDatabase& operator=(SqliteDatabase&& other) = delete;
  ~SqliteDatabase();

  bool execute(std::string_view sql, std::optional<fnd::Error>* error = nullptr);
  SqliteStatement prepare(std::string_view sql) { return SqliteStatement(m_database, sql); }
  std::int64_t lastInsertRowID() const;
  // Changes whenever another connection commits to the file.
  std::int64_t dataVersion();
  fnd::Error lastError() const;

 private:
  explicit SqliteDatabase(sqlite3* database) : m_database(database) {}
  sqlite3* m_database;
};

// Runs `body` inside BEGIN IMMEDIATE ... COMMIT; rolls back when it answers
// false or the commit fails.
template <class Body>
bool inTransaction(SqliteDatabase& database, std::optional<fnd::Error>* error, Body&& body) {
  if (!database.execute("BEGIN IMMEDIATE", error)) return false;
  if (body() && database.execute("COMMIT", error)) return true;
  if (error && !*error) *error = database.lastError();
  database.execute("ROLLBACK");
  return false;
}

}  // namespace ab
