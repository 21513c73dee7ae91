#pragma once
// SchemaPreparation: brings a store file's tables in line with the model as
// the store opens, in one transaction. Used once, under the store's lock.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/objectstore/model.h"
#include "platform/sqlite/database.h"

namespace objectstore {

class SchemaPreparation {
 public:
  // `path` names the store in errors.
  SchemaPreparation(sqlite::Database& database, const ManagedObjectModel& model, const std::string& path);
  // Reads the schema recorded in the file, compares it with the model, makes
  // or migrates the tables (without `migrate`, an older schema is refused) and
  // records the model's. False with `error` set, and the file untouched, on failure.
  bool run(bool migrate, std::optional<fnd::Error>* error);

 private:
  using Metadata = std::map<std::string, std::string>;
  enum class Comparison { New, Current, Older };

  std::optional<Metadata> readMetadata();
  Comparison compare(const Metadata& metadata) const;
  void planCreation(const EntityDescription& entity, bool replacesOldTables);
  bool planMigration(const EntityDescription& entity, const std::string& storedSignatures);
  void planIndexes(const EntityDescription& entity);
  bool recordFoldingVersion();
  bool recordSchema();
  // The columns the table has in the file, by name.
  std::set<std::string> columnNames(const std::string& table);
  // Each sets the error (when asked for) and answers false: under `code` with
  // `description`; with SQLite's words for the statement `sql` that failed;
  // as a migration that failed to do `what`.
  bool fail(long code, const std::string& description);
  bool failRunning(long code, const std::string& sql);
  bool failDoing(const std::string& what);

  sqlite::Database& m_database;
  const ManagedObjectModel& m_model;
  const std::string& m_path;
  std::optional<fnd::Error>* m_error = nullptr;
  std::vector<std::string> m_plan;  // the statements that make and migrate the tables
};

}  // namespace objectstore
