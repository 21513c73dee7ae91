#pragma once
// SqliteStore: the records of one model in one SQLite file (or in memory): a
// table per entity, a join table per to-many relationship, and a metadata
// table with the model's schema. Opening migrates an older schema in place;
// every save is one transaction. Thread-safe: one lock serialises all use.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/objectstore/object_id.h"
#include "platform/objectstore/sql_filter.h"

struct sqlite3;

namespace objectstore {

class Statement;

struct StoreChange {
  enum class Kind { Insert, Update, Delete };
  Kind kind = Kind::Insert;
  ObjectID id;
  const RecordValues* values = nullptr;        // Insert and Update; must outlive the save
  const std::vector<bool>* changed = nullptr;  // Update: which properties to write; must outlive the save
};

struct StoredRow {
  std::int64_t key = 0;
  RecordValues values;  // empty when fetched without values
};

class SqliteStore {
 public:
  // Opens the store at `path` (created when absent), or an in-memory store when
  // `path` is empty. With `migrate`, a store of an older model is brought up to
  // this one; without, it is refused. Null with `error` set on failure.
  static std::unique_ptr<SqliteStore> open(const std::string& path, std::shared_ptr<const ManagedObjectModel> model,
                                           bool migrate, std::optional<fnd::Error>* error);
  // What SQLite's integrity check finds wrong with the store file at `path`,
  // run with the store's own functions at hand (its indexes use them); empty
  // when the file is sound. The file must exist.
  static std::vector<std::string> integrityProblems(const std::string& path);
  ~SqliteStore();
  SqliteStore(const SqliteStore&) = delete;
  SqliteStore& operator=(const SqliteStore&) = delete;

  const std::string& path() const noexcept { return m_path; }

  // Rows of `entity` passing `filter`, in `orderSql` (else key order), after
  // skipping `offset`, at most `limit` (0: no limit).
  std::vector<StoredRow> fetchRows(const EntityDescription& entity, const SqlFilter& filter,
                                   const std::string& orderSql, std::size_t limit, std::size_t offset, bool withValues,
                                   std::optional<fnd::Error>* error);
  std::optional<RecordValues> fetchRow(const EntityDescription& entity, std::int64_t key);
  // The rows of those `keys` that exist, in no particular order.
  std::vector<StoredRow> fetchRowsWithKeys(const EntityDescription& entity, const std::vector<std::int64_t>& keys);
  std::vector<std::int64_t> fetchRelationship(const EntityDescription& entity, int relationshipIndex, std::int64_t key);
  std::optional<std::int64_t> count(const EntityDescription& entity, const SqlFilter& filter,
                                    std::optional<fnd::Error>* error);
  std::int64_t maximumKey(const EntityDescription& entity);

  // Applies every change in one transaction; on failure nothing is applied.
  bool save(const std::vector<StoreChange>& changes, std::optional<fnd::Error>* error);

 private:
  SqliteStore(std::string path, std::shared_ptr<const ManagedObjectModel> model);
  bool prepareSchema(bool migrate, std::optional<fnd::Error>* error);
  // The columns the table has in the file, by name.
  std::set<std::string> columnNames(const std::string& table);
  bool execute(const std::string& sql, std::optional<fnd::Error>* error);
  Statement& cachedStatement(const std::string& sql);
  fnd::Error lastError(long code, const std::string& what) const;
  void readValues(Statement& statement, int firstColumn, const EntityDescription& entity, RecordValues& values);
  bool writeChange(const StoreChange& change);
  // Deletes the rows of `keys` (sorted here) by runs of consecutive keys.
  bool deleteRanges(const EntityDescription& entity, std::vector<std::int64_t>& keys);
  struct EntityStatements;
  EntityStatements& statementsFor(const EntityDescription& entity);
  bool writeRelationships(const StoreChange& change);

  std::string m_path;
  std::shared_ptr<const ManagedObjectModel> m_model;
  std::mutex m_mutex;
  sqlite3* m_database = nullptr;                                             // guarded by m_mutex
  std::unordered_map<std::string, std::unique_ptr<Statement>> m_statements;  // guarded by m_mutex
  std::unordered_map<const EntityDescription*, std::unique_ptr<EntityStatements>>
      m_entityStatements;  // guarded by m_mutex
};

// Error domain and codes of the object store, as the platform gives them.
inline constexpr const char* kCocoaErrorDomain = "NSCocoaErrorDomain";
inline constexpr long kFileReadCorruptFileError = 259;
inline constexpr long kPersistentStoreOpenError = 134080;
inline constexpr long kPersistentStoreIncompatibleVersionHashError = 134100;
inline constexpr long kMigrationError = 134110;
// The stored schema cannot be mapped to the model (a property changed its kind).
inline constexpr long kMigrationMissingSourceModelError = 134130;
inline constexpr long kPersistentStoreSaveError = 134030;
inline constexpr long kPersistentStoreCoordinatorNoStoresError = 134060;

}  // namespace objectstore
