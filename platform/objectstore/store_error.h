#pragma once
// The object store's error values, built from what SQLite answered. Any thread.

#include <string>

#include "platform/foundation/error.h"
#include "platform/sqlite/failure.h"

namespace objectstore {

fnd::Error storeError(long code, const std::string& description);
// "The store at <path> failed to <what>: <SQLite's words>" under `code`, or
// under the corrupt-file code when SQLite found the file damaged.
fnd::Error storeFailure(const std::string& path, long code, const std::string& what, const sqlite::Failure& failure);
// The failure of running `sql` on the store at `path`.
fnd::Error runFailure(const std::string& path, const std::string& sql, const sqlite::Failure& failure);
// SQLite's words for `failure`, also when it could not make a connection at all.
std::string describe(const sqlite::Failure& failure);

}  // namespace objectstore
