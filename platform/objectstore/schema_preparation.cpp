#include "platform/objectstore/schema_preparation.h"

#include <cstdio>

#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_matching.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/sql_filter.h"
#include "platform/objectstore/sqlite_store.h"
#include "platform/objectstore/store_error.h"
#include "platform/sqlite/transaction.h"

namespace objectstore {

using fnd::kFoldingVersion;

namespace {

constexpr const char* kVersionHashKey = "modelVersionHash";
constexpr const char* kEntitySchemaPrefix = "entity:";
// The text folding that the search indexes were built with.
constexpr const char* kFoldingVersionKey = "searchFoldingVersion";
constexpr const char* kWriteMetadata = "INSERT OR REPLACE INTO Z_METADATA (Z_KEY, Z_VALUE) VALUES (?, ?)";

const char* columnType(AttributeType type) {
  switch (type) {
    case AttributeType::String:
      return "TEXT";
    case AttributeType::Double:
    case AttributeType::Date:
      return "REAL";
    case AttributeType::Binary:
      return "BLOB";
    default:
      return "INTEGER";
  }
}

// The table that holds one to-many relationship's targets in order.
std::string createJoinTable(const std::string& join) {
  return "CREATE TABLE IF NOT EXISTS " + join +
         " (z_source INTEGER NOT NULL, z_target INTEGER NOT NULL, z_order INTEGER NOT NULL)";
}

// A double written so that SQLite reads back the same value.
std::string exactLiteral(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string sqlLiteral(const fnd::Object* value) {
  if (!value || value->kind() == fnd::ObjectKind::Null) return "NULL";
  switch (value->kind()) {
    case fnd::ObjectKind::String: {
      std::string text = "'";
      for (char c : static_cast<const fnd::String*>(value)->utf8())
        text += c == '\'' ? std::string("''") : std::string(1, c);
      return text + "'";
    }
    case fnd::ObjectKind::Number: {
      const auto* number = static_cast<const fnd::Number*>(value);
      return number->isInteger() ? std::to_string(number->int64Value()) : exactLiteral(number->doubleValue());
    }
    case fnd::ObjectKind::Date:
      return exactLiteral(static_cast<const fnd::Date*>(value)->timeIntervalSince1970());
    default:
      return "NULL";
  }
}

std::string columnDefinition(const AttributeDescription& attribute) {
  std::string definition = columnName(attribute.name) + " " + columnType(attribute.type);
  if (attribute.defaultValue) definition += " DEFAULT " + sqlLiteral(attribute.defaultValue.get());
  return definition;
}

// The stored schema of one entity: one line per property, compared on open.
std::map<std::string, std::string> propertySignatures(const EntityDescription& entity) {
  std::map<std::string, std::string> signatures;
  for (const AttributeDescription& attribute : entity.attributes()) {
    signatures[attribute.name] = std::string("a:") + attributeTypeName(attribute.type);
  }
  for (const RelationshipDescription& relationship : entity.relationships()) {
    signatures[relationship.name] = relationship.isToMany ? "r:many" : "r:one";
  }
  return signatures;
}

std::string encodeSignatures(const std::map<std::string, std::string>& signatures) {
  std::string text;
  for (const auto& [name, signature] : signatures) text += name + '=' + signature + '\n';
  return text;
}

std::map<std::string, std::string> decodeSignatures(std::string_view text) {
  std::map<std::string, std::string> signatures;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) signatures[std::string(line.substr(0, equals))] = line.substr(equals + 1);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return signatures;
}

// The recorded value of `key`; empty when there is none.
std::string valueOf(const std::map<std::string, std::string>& metadata, const std::string& key) {
  auto found = metadata.find(key);
  return found != metadata.end() ? found->second : std::string();
}

// Writes one metadata entry with `write` (a prepared kWriteMetadata) and
// leaves it ready for the next.
bool putMetadata(sqlite::Statement& write, std::string_view key, std::string_view value) {
  write.bindText(1, key);
  write.bindText(2, value);
  const bool done = write.step() == sqlite::Step::Done;
  write.reset();
  return done;
}

}  // namespace

SchemaPreparation::SchemaPreparation(sqlite::Database& database, const ManagedObjectModel& model,
                                     const std::string& path)
    : m_database(database), m_model(model), m_path(path) {}

bool SchemaPreparation::run(bool migrate, std::optional<fnd::Error>* error) {
  m_error = error;
  sqlite::Transaction transaction(m_database);
  if (!transaction.began()) {
    if (error) *error = runFailure(m_path, "BEGIN IMMEDIATE", m_database.lastFailure());
    return false;
  }
  const std::optional<Metadata> metadata = readMetadata();
  if (!metadata) return false;
  const Comparison comparison = compare(*metadata);
  if (comparison == Comparison::Older && !migrate) {
    return fail(kPersistentStoreIncompatibleVersionHashError,
                "The model used to open the store is incompatible with the one used to create the store.");
  }
  for (const auto& entity : m_model.entities()) {
    auto stored = metadata->find(kEntitySchemaPrefix + entity->name());
    if (stored == metadata->end()) {
      planCreation(*entity, comparison != Comparison::New);
    } else if (comparison != Comparison::Current && !planMigration(*entity, stored->second)) {
      return false;
    }
    planIndexes(*entity);
  }
  // The search indexes hold folded texts: folded otherwise now, they would
  // miss records, so they are rebuilt.
  const bool foldingChanged = valueOf(*metadata, kFoldingVersionKey) != kFoldingVersion;
  if (foldingChanged && comparison != Comparison::New) m_plan.push_back("REINDEX");
  for (const std::string& statement : m_plan) {
    if (!m_database.execute(statement)) return failRunning(kMigrationError, statement);
  }
  if (foldingChanged && !recordFoldingVersion()) return false;
  if (comparison != Comparison::Current && !recordSchema()) return false;
  return transaction.commit() || failRunning(kPersistentStoreOpenError, "COMMIT");
}

std::optional<SchemaPreparation::Metadata> SchemaPreparation::readMetadata() {
  const std::string create = "CREATE TABLE IF NOT EXISTS Z_METADATA (Z_KEY TEXT PRIMARY KEY, Z_VALUE TEXT)";
  if (!m_database.execute(create)) {
    failRunning(kPersistentStoreOpenError, create);
    return std::nullopt;
  }
  Metadata metadata;
  sqlite::Statement read = m_database.prepare("SELECT Z_KEY, Z_VALUE FROM Z_METADATA");
  while (read.step() == sqlite::Step::Row) metadata[std::string(read.text(0))] = read.text(1);
  return metadata;
}

SchemaPreparation::Comparison SchemaPreparation::compare(const Metadata& metadata) const {
  if (metadata.empty()) return Comparison::New;
  return valueOf(metadata, kVersionHashKey) == m_model.versionHash() ? Comparison::Current : Comparison::Older;
}

void SchemaPreparation::planCreation(const EntityDescription& entity, bool replacesOldTables) {
  // An entity that left the model and came back starts empty: its old
  // table holds rows of a shape this model no longer knows.
  const std::string table = tableName(entity);
  if (replacesOldTables) m_plan.push_back("DROP TABLE IF EXISTS " + table);
  std::string create = "CREATE TABLE IF NOT EXISTS " + table + " (Z_PK INTEGER PRIMARY KEY";
  for (const AttributeDescription& attribute : entity.attributes()) create += ", " + columnDefinition(attribute);
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (!relationship.isToMany) create += ", " + columnName(relationship.name) + " INTEGER";
  }
  m_plan.push_back(create + ")");
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (!relationship.isToMany) continue;
    const std::string join = joinTableName(entity, relationship);
    if (replacesOldTables) m_plan.push_back("DROP TABLE IF EXISTS " + join);
    m_plan.push_back(createJoinTable(join));
  }
}

bool SchemaPreparation::planMigration(const EntityDescription& entity, const std::string& storedSignatures) {
  // Inferred migration: new properties become new columns or join tables;
  // existing rows keep their values. A property whose kind changed cannot
  // be inferred.
  const std::string table = tableName(entity);
  const std::map<std::string, std::string> old = decodeSignatures(storedSignatures);
  const std::set<std::string> columns = columnNames(table);
  for (const auto& [name, signature] : propertySignatures(entity)) {
    auto previous = old.find(name);
    if (previous != old.end()) {
      if (previous->second != signature) {
        return fail(kMigrationMissingSourceModelError, "Can't find mapping model for migration: " + entity.name() +
                                                           "." + name + " changed from " + previous->second + " to " +
                                                           signature);
      }
      continue;
    }
    // A property that left the model and came back finds its old column or
    // join table: it starts again from its default, as a new one would.
    const AttributeDescription* attribute = entity.attributeNamed(name);
    const RelationshipDescription* relationship = entity.relationshipNamed(name);
    if (!attribute && relationship->isToMany) {
      const std::string join = joinTableName(entity, *relationship);
      m_plan.push_back(createJoinTable(join));
      m_plan.push_back("DELETE FROM " + join);
    } else if (columns.count("z_" + name)) {
      std::string value = attribute ? sqlLiteral(attribute->defaultValue.get()) : std::string("NULL");
      m_plan.push_back("UPDATE " + table + " SET " + columnName(name) + " = " + value);
    } else {
      m_plan.push_back("ALTER TABLE " + table + " ADD COLUMN " +
                       (attribute ? columnDefinition(*attribute) : columnName(name) + " INTEGER"));
    }
  }
  return true;
}

void SchemaPreparation::planIndexes(const EntityDescription& entity) {
  const std::string table = tableName(entity);
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (!relationship.isToMany) continue;
    std::string join = joinTableName(entity, relationship);
    m_plan.push_back("CREATE INDEX IF NOT EXISTS \"" + join.substr(1, join.size() - 2) + "_source\" ON " + join +
                     " (z_source, z_order)");
  }
  for (const AttributeDescription& attribute : entity.attributes()) {
    std::string index = "Z_" + entity.name() + "_" + attribute.name;
    if (attribute.isIndexed) {
      m_plan.push_back("CREATE INDEX IF NOT EXISTS \"" + index + "_index\" ON " + table + " (" +
                       columnName(attribute.name) + ")");
    }
    if (attribute.isIndexedForSearch) {
      m_plan.push_back("CREATE INDEX IF NOT EXISTS \"" + index + "_search\" ON " + table + " (" + kSearchKeyFunction +
                       "(" + columnName(attribute.name) + "))");
    }
  }
}

bool SchemaPreparation::recordFoldingVersion() {
  sqlite::Statement write = m_database.prepare(kWriteMetadata);
  return putMetadata(write, kFoldingVersionKey, kFoldingVersion) || failDoing("record the text folding");
}

bool SchemaPreparation::recordSchema() {
  sqlite::Statement write = m_database.prepare(kWriteMetadata);
  // Entities no longer in the model leave the schema record, so that one
  // coming back later is made anew.
  bool written =
      m_database.execute(std::string("DELETE FROM Z_METADATA WHERE Z_KEY LIKE '") + kEntitySchemaPrefix + "%'");
  written = written && putMetadata(write, kVersionHashKey, m_model.versionHash());
  for (const auto& entity : m_model.entities()) {
    written = written &&
              putMetadata(write, kEntitySchemaPrefix + entity->name(), encodeSignatures(propertySignatures(*entity)));
  }
  return written || failDoing("record the schema");
}

std::set<std::string> SchemaPreparation::columnNames(const std::string& table) {
  std::set<std::string> names;
  sqlite::Statement read = m_database.prepare("PRAGMA table_info(" + table + ")");
  while (read.step() == sqlite::Step::Row) names.emplace(read.text(1));
  return names;
}

bool SchemaPreparation::fail(long code, const std::string& description) {
  if (m_error) *m_error = storeError(code, description);
  return false;
}

bool SchemaPreparation::failDoing(const std::string& what) {
  return fail(kMigrationError,
              storeFailure(m_path, kMigrationError, what, m_database.lastFailure()).localizedDescription());
}

bool SchemaPreparation::failRunning(long code, const std::string& sql) {
  return fail(code, runFailure(m_path, sql, m_database.lastFailure()).localizedDescription());
}

}  // namespace objectstore
