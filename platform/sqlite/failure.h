#pragma once
// Failure: what SQLite answered when a call failed, for each user to word in
// its own error domain. A plain value; any thread.

#include <string>

namespace sqlite {

struct Failure {
  int code = 0;         // SQLite's extended result code
  std::string message;  // SQLite's own words; empty when it could not make a connection at all
  std::string sql;      // the statement that failed, when one did

  // The file is not a database, or a damaged one.
  bool isCorruption() const noexcept;
};

}  // namespace sqlite
