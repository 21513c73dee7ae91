#pragma once
// Statement: one prepared SQL statement of a Database, run again after reset().
// Used from one thread at a time; the database must outlive it.

#include <cstdint>
#include <string_view>

#include "platform/sqlite/failure.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sqlite {

// What one step of a statement came to.
enum class Step { Row, Done, Failed };

class Statement {
 public:
  // Reuse::Many tells SQLite the statement is kept and run many times.
  enum class Reuse { Once, Many };
  // Whether SQLite copies bound bytes, or the caller keeps them alive until the next reset().
  enum class Binding { Copied, Borrowed };

  Statement(sqlite3* connection, std::string_view sql, Reuse reuse);
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) = delete;
  ~Statement();

  bool isValid() const noexcept { return m_statement != nullptr; }
  void bindInteger(int index, std::int64_t value);
  void bindReal(int index, double value);
  void bindText(int index, std::string_view text, Binding binding = Binding::Copied);
  void bindBlob(int index, std::string_view bytes, Binding binding = Binding::Copied);
  void bindNull(int index);
  Step step();
  // Clears the bindings, so that the statement can run again.
  void reset();

  // Whether preparing or any step failed since the statement was prepared.
  bool failed() const noexcept { return m_failed; }
  // The first failure, kept: SQLite's own message is gone once the statement
  // is reset or another one runs.
  const Failure& failure() const noexcept { return m_failure; }

  // Columns of the current row; texts and blobs stay valid until the next step or reset.
  bool isNull(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::string_view text(int column) const;
  std::string_view blob(int column) const;

 private:
  void recordFailure();

  sqlite3* m_connection;
  sqlite3_stmt* m_statement = nullptr;
  bool m_failed = false;
  Failure m_failure;
};

}  // namespace sqlite
