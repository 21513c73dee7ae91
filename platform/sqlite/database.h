#pragma once
// Database: one SQLite connection, opened with the file modes and journal the
// user's data needs, with its failures kept as SQLite gave them. One thread at
// a time, unless opened serialized (then SQLite itself locks every call).

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sqlite/failure.h"
#include "platform/sqlite/statement.h"

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace sqlite {

struct OpenOptions {
  // Absent files are made, with their folders, readable by the user alone;
  // without, the file must exist.
  bool create = true;
  // SQLite serialises calls from several threads; a caller with a lock of its own needs none.
  bool serialized = true;
  // How long a statement waits for another connection's write before it fails as busy.
  std::chrono::milliseconds busyTimeout{0};
  // A write-ahead log with normal syncing: a process killed half-way through a
  // write leaves the last committed state, and readers never wait for a writer.
  bool writeAheadLog = true;
};

class Database {
 public:
  // Opens the file at `path`, or a private in-memory database when `path` is empty.
  static std::optional<Database> open(const std::string& path, const OpenOptions& options, Failure* failure);
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) = delete;
  ~Database();

  // Runs `sql`, one statement or several; on failure lastFailure() says why.
  bool execute(std::string_view sql);
  Statement prepare(std::string_view sql, Statement::Reuse reuse = Statement::Reuse::Once);
  // The last failure on this connection, while no other call has run since.
  Failure lastFailure() const;
  std::int64_t lastInsertRowID() const;
  // Changes whenever another connection commits to the file.
  std::int64_t dataVersion();

  // A function that SQL run here can call; deterministic and free of side effects.
  using Function = void (*)(sqlite3_context* context, int argumentCount, sqlite3_value** arguments);
  void addFunction(const char* name, int argumentCount, Function function);

 private:
  explicit Database(sqlite3* connection) : m_connection(connection) {}
  sqlite3* m_connection;
};

}  // namespace sqlite
