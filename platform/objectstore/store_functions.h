#pragma once
// The SQL functions that the store's queries and search indexes call; every
// connection to a store file needs them. Any thread.

#include "platform/sqlite/database.h"

namespace objectstore {

void addStoreFunctions(sqlite::Database& database);

}  // namespace objectstore
