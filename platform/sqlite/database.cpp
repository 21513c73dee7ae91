#include "platform/sqlite/database.h"

#include <sqlite3.h>

#include <utility>

#include "platform/files/private_files.h"

namespace sqlite {

namespace {

constexpr const char* kInMemoryName = ":memory:";
constexpr const char* kJournalPragmas[] = {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"};

Failure failureOf(sqlite3* connection, std::string sql = {}) {
  // Without a connection SQLite has no words of its own beyond "out of memory";
  // each user says that in its own.
  if (!connection) return Failure{SQLITE_NOMEM, {}, std::move(sql)};
  return Failure{sqlite3_extended_errcode(connection), sqlite3_errmsg(connection), std::move(sql)};
}

int openFlags(const OpenOptions& options) {
  int flags = SQLITE_OPEN_READWRITE;
  if (options.create) flags |= SQLITE_OPEN_CREATE;
  flags |= options.serialized ? SQLITE_OPEN_FULLMUTEX : SQLITE_OPEN_NOMUTEX;
  return flags;
}

}  // namespace

std::optional<Database> Database::open(const std::string& path, const OpenOptions& options, Failure* failure) {
  const bool inMemory = path.empty();
  // The file holds the user's own data: made private before SQLite opens it,
  // its logs beside it take the same mode. A failure here shows up as
  // SQLite's own when it opens the file.
  if (!inMemory && options.create) files::createPrivateFileIfAbsent(path);
  sqlite3* connection = nullptr;
  if (sqlite3_open_v2(inMemory ? kInMemoryName : path.c_str(), &connection, openFlags(options), nullptr) != SQLITE_OK) {
    if (failure) *failure = failureOf(connection);
    sqlite3_close(connection);
    return std::nullopt;
  }
  sqlite3_extended_result_codes(connection, 1);
  sqlite3_busy_timeout(connection, static_cast<int>(options.busyTimeout.count()));
  Database database(connection);
  if (options.writeAheadLog && !inMemory) {
    for (const char* pragma : kJournalPragmas) {
      if (!database.execute(pragma)) {
        if (failure) *failure = failureOf(connection, pragma);
        return std::nullopt;
      }
    }
  }
  return database;
}

Database::Database(Database&& other) noexcept : m_connection(std::exchange(other.m_connection, nullptr)) {}

Database::~Database() { sqlite3_close_v2(m_connection); }

bool Database::execute(std::string_view sql) {
  const std::string text(sql);
  return sqlite3_exec(m_connection, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement Database::prepare(std::string_view sql, Statement::Reuse reuse) {
  return Statement(m_connection, sql, reuse);
}

Failure Database::lastFailure() const { return failureOf(m_connection); }

std::int64_t Database::lastInsertRowID() const { return sqlite3_last_insert_rowid(m_connection); }

std::int64_t Database::dataVersion() {
  Statement statement = prepare("PRAGMA data_version");
  return statement.step() == Step::Row ? statement.integer(0) : 0;
}

void Database::addFunction(const char* name, int argumentCount, Function function) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_function_v2(m_connection, name, argumentCount, flags, nullptr, function, nullptr, nullptr, nullptr);
}

}  // namespace sqlite
