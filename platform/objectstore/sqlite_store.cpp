#include "platform/objectstore/sqlite_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "platform/files/private_files.h"
#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/string_matching.h"

namespace objectstore {

// One prepared statement, reset after each use so it can be run again.
class Statement {
 public:
  Statement(sqlite3* database, const std::string& sql) {
    if (sqlite3_prepare_v3(database, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_statement,
                           nullptr) != SQLITE_OK) {
      m_statement = nullptr;
    }
  }
  ~Statement() { sqlite3_finalize(m_statement); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool isValid() const noexcept { return m_statement != nullptr; }
  sqlite3_stmt* get() const noexcept { return m_statement; }
  void reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
  }
  int step() { return sqlite3_step(m_statement); }

  // Binds a value; the object must stay alive until the statement is reset.
  void bind(int index, const fnd::Object* value) {
    if (!value || value->kind() == fnd::ObjectKind::Null) {
      sqlite3_bind_null(m_statement, index);
      return;
    }
    switch (value->kind()) {
      case fnd::ObjectKind::String: {
        auto text = static_cast<const fnd::String*>(value)->utf8();
        sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        return;
      }
      case fnd::ObjectKind::Number: {
        const auto* number = static_cast<const fnd::Number*>(value);
        bool fitsSigned = number->type() != fnd::Number::Type::UInt64 || number->uint64Value() <= INT64_MAX;
        if (number->isInteger() && fitsSigned) {
          sqlite3_bind_int64(m_statement, index, number->int64Value());
        } else {
          sqlite3_bind_double(m_statement, index, number->doubleValue());
        }
        return;
      }
      case fnd::ObjectKind::Date:
        sqlite3_bind_double(m_statement, index, static_cast<const fnd::Date*>(value)->timeIntervalSince1970());
        return;
      case fnd::ObjectKind::Data: {
        const auto* data = static_cast<const fnd::Data*>(value);
        sqlite3_bind_blob(m_statement, index, data->bytes(), static_cast<int>(data->length()), SQLITE_STATIC);
        return;
      }
      default:
        sqlite3_bind_null(m_statement, index);
    }
  }
  void bindKey(int index, std::int64_t key) { sqlite3_bind_int64(m_statement, index, key); }

 private:
  sqlite3_stmt* m_statement = nullptr;
};

namespace {

constexpr std::size_t kStatementCacheLimit = 128;
// Keys bound to one "IN (...)" read; well below SQLite's limit on parameters.
constexpr std::size_t kKeysPerRead = 500;
constexpr int kPageCacheKiB = 16 * 1024;
constexpr const char* kVersionHashKey = "modelVersionHash";
constexpr const char* kEntitySchemaPrefix = "entity:";
// The text folding that the search indexes were built with.
constexpr const char* kFoldingVersionKey = "searchFoldingVersion";

class StatementUse {
 public:
  explicit StatementUse(Statement& statement) : m_statement(statement) {}
  ~StatementUse() { m_statement.reset(); }
  Statement& operator*() { return m_statement; }
  Statement* operator->() { return &m_statement; }

 private:
  Statement& m_statement;
};

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

fnd::Ref<fnd::Object> columnValue(sqlite3_stmt* statement, int column, AttributeType type) {
  int storage = sqlite3_column_type(statement, column);
  if (storage == SQLITE_NULL) return {};
  switch (type) {
    case AttributeType::String: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      return fnd::String::create(
          std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
    }
    case AttributeType::Boolean:
      return fnd::Ref<fnd::Object>(fnd::Number::boolean(sqlite3_column_int64(statement, column) != 0));
    case AttributeType::Double:
      return fnd::Number::create(sqlite3_column_double(statement, column));
    case AttributeType::Date:
      return fnd::Date::create(sqlite3_column_double(statement, column));
    case AttributeType::Binary: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
      return fnd::Data::create(
          std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
    }
    default:
      return fnd::Number::create(static_cast<std::int64_t>(sqlite3_column_int64(statement, column)));
  }
}

// rp_match(operator, options, text, operand): the evaluator's string operators.
// The folded operand is cached per statement, so a scan folds it once.
void matchFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[2]) != SQLITE_TEXT || sqlite3_value_type(arguments[3]) != SQLITE_TEXT) {
    sqlite3_result_int(context, 0);
    return;
  }
  auto op = static_cast<StringOperator>(sqlite3_value_int(arguments[0]));
  StringOptions options = StringOptions::fromBits(sqlite3_value_int(arguments[1]));
  auto* operand = static_cast<std::u32string*>(sqlite3_get_auxdata(context, 3));
  if (!operand) {
    std::string_view text(reinterpret_cast<const char*>(sqlite3_value_text(arguments[3])),
                          static_cast<std::size_t>(sqlite3_value_bytes(arguments[3])));
    operand = new std::u32string(foldText(text, options));
    sqlite3_set_auxdata(context, 3, operand, [](void* p) { delete static_cast<std::u32string*>(p); });
    operand = static_cast<std::u32string*>(sqlite3_get_auxdata(context, 3));
    if (!operand) {
      sqlite3_result_error_nomem(context);
      return;
    }
  }
  std::string_view text(reinterpret_cast<const char*>(sqlite3_value_text(arguments[2])),
                        static_cast<std::size_t>(sqlite3_value_bytes(arguments[2])));
  // One buffer per thread for the folded text: this runs for every row a
  // search scans, and a fresh string each time would cost an allocation a row.
  thread_local std::u32string value;
  foldTextInto(value, text, options);
  std::u32string_view folded(value);
  bool result = false;
  switch (op) {
    case StringOperator::Equal:
      result = folded == *operand;
      break;
    case StringOperator::Like:
      result = likeMatch(*operand, folded);
      break;
    case StringOperator::Contains:
      result = folded.find(*operand) != std::u32string_view::npos;
      break;
    case StringOperator::BeginsWith:
      result = folded.starts_with(*operand);
      break;
    case StringOperator::EndsWith:
      result = folded.ends_with(*operand);
      break;
  }
  sqlite3_result_int(context, result ? 1 : 0);
}

void searchKeyFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[0]) != SQLITE_TEXT) {
    sqlite3_result_null(context);
    return;
  }
  std::string key = searchKey(std::string_view(reinterpret_cast<const char*>(sqlite3_value_text(arguments[0])),
                                               static_cast<std::size_t>(sqlite3_value_bytes(arguments[0]))));
  sqlite3_result_text(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// The functions the store's queries and indexes call.
void registerStoreFunctions(sqlite3* database) {
  int deterministic = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_function_v2(database, kMatchFunction, 4, deterministic, nullptr, matchFunction, nullptr, nullptr,
                             nullptr);
  sqlite3_create_function_v2(database, kSearchKeyFunction, 1, deterministic, nullptr, searchKeyFunction, nullptr,
                             nullptr, nullptr);
}

fnd::Error storeError(long code, const std::string& description) {
  return fnd::Error::withDescription(kCocoaErrorDomain, code, description);
}

}  // namespace

SqliteStore::SqliteStore(std::string path, std::shared_ptr<const ManagedObjectModel> model)
    : m_path(std::move(path)), m_model(std::move(model)) {}

std::vector<std::string> SqliteStore::integrityProblems(const std::string& path) {
  sqlite3* database = nullptr;
  if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::vector<std::string> problems{std::string("cannot open: ") + sqlite3_errmsg(database)};
    sqlite3_close(database);
    return problems;
  }
  registerStoreFunctions(database);
  std::vector<std::string> problems;
  sqlite3_stmt* check = nullptr;
  if (sqlite3_prepare_v2(database, "PRAGMA integrity_check", -1, &check, nullptr) != SQLITE_OK) {
    problems.emplace_back(sqlite3_errmsg(database));
  }
  int result = SQLITE_DONE;
  while (check && (result = sqlite3_step(check)) == SQLITE_ROW) {
    const auto* row = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    if (row && std::string_view(row) != "ok") problems.emplace_back(row);
  }
  if (check && result != SQLITE_DONE) problems.emplace_back(sqlite3_errmsg(database));
  sqlite3_finalize(check);
  sqlite3_close(database);
  return problems;
}

SqliteStore::~SqliteStore() {
  m_statements.clear();
  m_entityStatements.clear();
  sqlite3_close_v2(m_database);
}

std::unique_ptr<SqliteStore> SqliteStore::open(const std::string& path, std::shared_ptr<const ManagedObjectModel> model,
                                               bool migrate, std::optional<fnd::Error>* error) {
  std::unique_ptr<SqliteStore> store(new SqliteStore(path, std::move(model)));
  std::lock_guard lock(store->m_mutex);
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  std::string name = path.empty() ? std::string(":memory:") : path;
  // The store holds the user's own numbers: a new file, and so the logs SQLite
  // makes beside it, is readable by the user alone. A failure here shows up
  // as SQLite's own when it opens the file.
  if (!path.empty()) files::createPrivateFileIfAbsent(path);
  if (sqlite3_open_v2(name.c_str(), &store->m_database, flags, nullptr) != SQLITE_OK) {
    if (error) *error = store->lastError(kPersistentStoreOpenError, "open");
    return nullptr;
  }
  sqlite3_extended_result_codes(store->m_database, 1);
  sqlite3_busy_timeout(store->m_database, 5000);
  registerStoreFunctions(store->m_database);
  // Write-ahead logging: a killed process leaves the last committed state, and
  // readers never see half a save.
  if (!path.empty() && !store->execute("PRAGMA journal_mode=WAL", error)) return nullptr;
  if (!store->execute("PRAGMA synchronous=NORMAL", error)) return nullptr;
  // A replaced list of 100,000 records touches more pages than the default
  // 2 MB cache holds; spilled pages were written to the log mid-save and again
  // at its end. 16 MB (a negative size counts KiB) is an upper bound, not an allocation.
  if (!store->execute("PRAGMA cache_size=-" + std::to_string(kPageCacheKiB), error)) return nullptr;
  if (!store->prepareSchema(migrate, error)) return nullptr;
  return store;
}

fnd::Error SqliteStore::lastError(long code, const std::string& what) const {
  int result = sqlite3_extended_errcode(m_database);
  if ((result & 0xff) == SQLITE_NOTADB || (result & 0xff) == SQLITE_CORRUPT) code = kFileReadCorruptFileError;
  std::string message = m_database ? sqlite3_errmsg(m_database) : "out of memory";
  return storeError(code, "The store at " + (m_path.empty() ? std::string("(memory)") : m_path) + " failed to " + what +
                              ": " + message);
}

bool SqliteStore::execute(const std::string& sql, std::optional<fnd::Error>* error) {
  if (sqlite3_exec(m_database, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  if (error) *error = lastError(kPersistentStoreOpenError, "run \"" + sql + "\"");
  return false;
}

Statement& SqliteStore::cachedStatement(const std::string& sql) {
  auto found = m_statements.find(sql);
  if (found != m_statements.end()) return *found->second;
  if (m_statements.size() >= kStatementCacheLimit) m_statements.clear();
  auto [entry, inserted] = m_statements.emplace(sql, std::make_unique<Statement>(m_database, sql));
  return *entry->second;
}

std::set<std::string> SqliteStore::columnNames(const std::string& table) {
  std::set<std::string> names;
  Statement read(m_database, "PRAGMA table_info(" + table + ")");
  while (read.isValid() && read.step() == SQLITE_ROW) {
    names.insert(reinterpret_cast<const char*>(sqlite3_column_text(read.get(), 1)));
  }
  return names;
}

bool SqliteStore::prepareSchema(bool migrate, std::optional<fnd::Error>* error) {
  if (!execute("BEGIN IMMEDIATE", error)) return false;
  auto fail = [&](long code, const std::string& description) {
    if (error) {
      // A statement that failed has already said why; keep its words under this code.
      *error = storeError(code, description.empty() && *error ? (*error)->localizedDescription() : description);
    }
    execute("ROLLBACK", nullptr);
    return false;
  };
  if (!execute("CREATE TABLE IF NOT EXISTS Z_METADATA (Z_KEY TEXT PRIMARY KEY, Z_VALUE TEXT)", error)) {
    return fail(kPersistentStoreOpenError, "");
  }
  std::map<std::string, std::string> metadata;
  {
    Statement read(m_database, "SELECT Z_KEY, Z_VALUE FROM Z_METADATA");
    while (read.isValid() && read.step() == SQLITE_ROW) {
      metadata[reinterpret_cast<const char*>(sqlite3_column_text(read.get(), 0))] =
          reinterpret_cast<const char*>(sqlite3_column_text(read.get(), 1));
    }
  }
  const std::string versionHash = m_model->versionHash();
  bool isNew = metadata.empty();
  bool isCurrent = !isNew && metadata[kVersionHashKey] == versionHash;
  if (!isNew && !isCurrent && !migrate) {
    return fail(kPersistentStoreIncompatibleVersionHashError,
                "The model used to open the store is incompatible with the one used to create the store.");
  }
  std::vector<std::string> statements;
  for (const auto& entity : m_model->entities()) {
    const std::string table = tableName(*entity);
    auto stored = metadata.find(kEntitySchemaPrefix + entity->name());
    if (stored == metadata.end()) {
      // An entity that left the model and came back starts empty: its old
      // table holds rows of a shape this model no longer knows.
      if (!isNew) statements.push_back("DROP TABLE IF EXISTS " + table);
      std::string create = "CREATE TABLE IF NOT EXISTS " + table + " (Z_PK INTEGER PRIMARY KEY";
      for (const AttributeDescription& attribute : entity->attributes()) create += ", " + columnDefinition(attribute);
      for (const RelationshipDescription& relationship : entity->relationships()) {
        if (!relationship.isToMany) create += ", " + columnName(relationship.name) + " INTEGER";
      }
      statements.push_back(create + ")");
      for (const RelationshipDescription& relationship : entity->relationships()) {
        if (!relationship.isToMany) continue;
        std::string join = joinTableName(*entity, relationship);
        if (!isNew) statements.push_back("DROP TABLE IF EXISTS " + join);
        statements.push_back(createJoinTable(join));
      }
    } else if (!isCurrent) {
      // Inferred migration: new properties become new columns or join tables;
      // existing rows keep their values. A property whose kind changed cannot
      // be inferred.
      std::map<std::string, std::string> old = decodeSignatures(stored->second);
      const std::set<std::string> columns = columnNames(table);
      for (const auto& [name, signature] : propertySignatures(*entity)) {
        auto previous = old.find(name);
        if (previous != old.end()) {
          if (previous->second != signature) {
            return fail(kMigrationMissingSourceModelError, "Can't find mapping model for migration: " + entity->name() +
                                                               "." + name + " changed from " + previous->second +
                                                               " to " + signature);
          }
          continue;
        }
        // A property that left the model and came back finds its old column or
        // join table: it starts again from its default, as a new one would.
        const AttributeDescription* attribute = entity->attributeNamed(name);
        const RelationshipDescription* relationship = entity->relationshipNamed(name);
        if (!attribute && relationship->isToMany) {
          const std::string join = joinTableName(*entity, *relationship);
          statements.push_back(createJoinTable(join));
          statements.push_back("DELETE FROM " + join);
        } else if (columns.count("z_" + name)) {
          std::string value = attribute ? sqlLiteral(attribute->defaultValue.get()) : std::string("NULL");
          statements.push_back("UPDATE " + table + " SET " + columnName(name) + " = " + value);
        } else {
          statements.push_back("ALTER TABLE " + table + " ADD COLUMN " +
                               (attribute ? columnDefinition(*attribute) : columnName(name) + " INTEGER"));
        }
      }
    }
    for (const RelationshipDescription& relationship : entity->relationships()) {
      if (!relationship.isToMany) continue;
      std::string join = joinTableName(*entity, relationship);
      statements.push_back("CREATE INDEX IF NOT EXISTS \"" + join.substr(1, join.size() - 2) + "_source\" ON " + join +
                           " (z_source, z_order)");
    }
    for (const AttributeDescription& attribute : entity->attributes()) {
      std::string index = "Z_" + entity->name() + "_" + attribute.name;
      if (attribute.isIndexed) {
        statements.push_back("CREATE INDEX IF NOT EXISTS \"" + index + "_index\" ON " + table + " (" +
                             columnName(attribute.name) + ")");
      }
      if (attribute.isIndexedForSearch) {
        statements.push_back("CREATE INDEX IF NOT EXISTS \"" + index + "_search\" ON " + table + " (" +
                             kSearchKeyFunction + "(" + columnName(attribute.name) + "))");
      }
    }
  }
  // The search indexes hold folded texts: folded otherwise now, they would
  // miss records, so they are rebuilt.
  const bool foldingChanged = metadata[kFoldingVersionKey] != kFoldingVersion;
  if (foldingChanged && !isNew) statements.push_back("REINDEX");
  for (const std::string& statement : statements) {
    if (!execute(statement, error)) return fail(kMigrationError, "");
  }
  if (foldingChanged) {
    Statement write(m_database, "INSERT OR REPLACE INTO Z_METADATA (Z_KEY, Z_VALUE) VALUES (?, ?)");
    sqlite3_bind_text(write.get(), 1, kFoldingVersionKey, -1, SQLITE_STATIC);
    sqlite3_bind_text(write.get(), 2, kFoldingVersion.data(), static_cast<int>(kFoldingVersion.size()), SQLITE_STATIC);
    if (!write.isValid() || write.step() != SQLITE_DONE)
      return fail(kMigrationError, lastError(kMigrationError, "record the text folding").localizedDescription());
  }
  if (!isCurrent) {
    Statement write(m_database, "INSERT OR REPLACE INTO Z_METADATA (Z_KEY, Z_VALUE) VALUES (?, ?)");
    auto put = [&](const std::string& key, const std::string& value) {
      sqlite3_bind_text(write.get(), 1, key.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(write.get(), 2, value.c_str(), -1, SQLITE_TRANSIENT);
      bool done = write.step() == SQLITE_DONE;
      write.reset();
      return done;
    };
    // Entities no longer in the model leave the schema record, so that one
    // coming back later is made anew.
    bool written =
        execute(std::string("DELETE FROM Z_METADATA WHERE Z_KEY LIKE '") + kEntitySchemaPrefix + "%'", nullptr);
    written = written && write.isValid() && put(kVersionHashKey, versionHash);
    for (const auto& entity : m_model->entities()) {
      written = written && put(kEntitySchemaPrefix + entity->name(), encodeSignatures(propertySignatures(*entity)));
    }
    if (!written) return fail(kMigrationError, lastError(kMigrationError, "record the schema").localizedDescription());
  }
  if (!execute("COMMIT", error)) return fail(kPersistentStoreOpenError, "");
  return true;
}

void SqliteStore::readValues(Statement& statement, int firstColumn, const EntityDescription& entity,
                             RecordValues& values) {
  int column = firstColumn;
  values.attributes.reserve(entity.attributes().size());
  for (const AttributeDescription& attribute : entity.attributes()) {
    values.attributes.push_back(columnValue(statement.get(), column++, attribute.type));
  }
  values.relationships.reserve(entity.relationships().size());
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (relationship.isToMany) {
      values.relationships.emplace_back(std::nullopt);
      continue;
    }
    std::vector<std::int64_t> keys;
    if (sqlite3_column_type(statement.get(), column) != SQLITE_NULL)
      keys.push_back(sqlite3_column_int64(statement.get(), column));
    ++column;
    values.relationships.emplace_back(std::move(keys));
  }
}

namespace {

std::string selectColumns(const EntityDescription& entity) {
  std::string columns = "Z_PK";
  for (const AttributeDescription& attribute : entity.attributes()) columns += ", " + columnName(attribute.name);
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (!relationship.isToMany) columns += ", " + columnName(relationship.name);
  }
  return columns;
}

}  // namespace

std::vector<StoredRow> SqliteStore::fetchRows(const EntityDescription& entity, const SqlFilter& filter,
                                              const std::string& orderSql, std::size_t limit, std::size_t offset,
                                              bool withValues, std::optional<fnd::Error>* error) {
  std::string sql =
      "SELECT " + (withValues ? selectColumns(entity) : std::string("Z_PK")) + " FROM " + tableName(entity);
  if (!filter.where.empty()) sql += " WHERE " + filter.where;
  sql += orderSql.empty() ? " ORDER BY Z_PK" : orderSql;
  if (limit || offset)
    sql += " LIMIT " + (limit ? std::to_string(limit) : std::string("-1")) + " OFFSET " + std::to_string(offset);
  std::lock_guard lock(m_mutex);
  std::vector<StoredRow> rows;
  Statement& statement = cachedStatement(sql);
  if (!statement.isValid()) {
    if (error) *error = lastError(kPersistentStoreOpenError, "read " + entity.name());
    m_statements.erase(sql);
    return rows;
  }
  StatementUse use(statement);
  for (std::size_t i = 0; i < filter.bindings.size(); ++i) use->bind(static_cast<int>(i + 1), filter.bindings[i].get());
  int result;
  while ((result = use->step()) == SQLITE_ROW) {
    StoredRow row;
    row.key = sqlite3_column_int64(use->get(), 0);
    if (withValues) readValues(*use, 1, entity, row.values);
    rows.push_back(std::move(row));
  }
  if (result != SQLITE_DONE && error) *error = lastError(kPersistentStoreOpenError, "read " + entity.name());
  return rows;
}

std::optional<RecordValues> SqliteStore::fetchRow(const EntityDescription& entity, std::int64_t key) {
  std::string sql = "SELECT " + selectColumns(entity) + " FROM " + tableName(entity) + " WHERE Z_PK = ?";
  std::lock_guard lock(m_mutex);
  Statement& statement = cachedStatement(sql);
  if (!statement.isValid()) return std::nullopt;
  StatementUse use(statement);
  use->bindKey(1, key);
  if (use->step() != SQLITE_ROW) return std::nullopt;
  RecordValues values;
  readValues(*use, 1, entity, values);
  return values;
}

std::vector<StoredRow> SqliteStore::fetchRowsWithKeys(const EntityDescription& entity,
                                                      const std::vector<std::int64_t>& keys) {
  std::vector<StoredRow> rows;
  const std::string select = "SELECT " + selectColumns(entity) + " FROM " + tableName(entity) + " WHERE Z_PK IN (";
  std::lock_guard lock(m_mutex);
  for (std::size_t first = 0; first < keys.size(); first += kKeysPerRead) {
    const std::size_t count = std::min(kKeysPerRead, keys.size() - first);
    std::string sql = select + "?";
    for (std::size_t i = 1; i < count; ++i) sql += ",?";
    Statement& statement = cachedStatement(sql + ")");
    if (!statement.isValid()) break;
    StatementUse use(statement);
    for (std::size_t i = 0; i < count; ++i) use->bindKey(static_cast<int>(i + 1), keys[first + i]);
    while (use->step() == SQLITE_ROW) {
      StoredRow& row = rows.emplace_back();
      row.key = sqlite3_column_int64(use->get(), 0);
      readValues(*use, 1, entity, row.values);
    }
  }
  return rows;
}

std::vector<std::int64_t> SqliteStore::fetchRelationship(const EntityDescription& entity, int relationshipIndex,
                                                         std::int64_t key) {
  const RelationshipDescription& relationship = entity.relationships()[static_cast<std::size_t>(relationshipIndex)];
  std::string sql =
      "SELECT z_target FROM " + joinTableName(entity, relationship) + " WHERE z_source = ? ORDER BY z_order";
  std::lock_guard lock(m_mutex);
  std::vector<std::int64_t> keys;
  Statement& statement = cachedStatement(sql);
  if (!statement.isValid()) return keys;
  StatementUse use(statement);
  use->bindKey(1, key);
  while (use->step() == SQLITE_ROW) keys.push_back(sqlite3_column_int64(use->get(), 0));
  return keys;
}

std::optional<std::int64_t> SqliteStore::count(const EntityDescription& entity, const SqlFilter& filter,
                                               std::optional<fnd::Error>* error) {
  std::string sql = "SELECT count(*) FROM " + tableName(entity);
  if (!filter.where.empty()) sql += " WHERE " + filter.where;
  std::lock_guard lock(m_mutex);
  Statement& statement = cachedStatement(sql);
  if (statement.isValid()) {
    StatementUse use(statement);
    for (std::size_t i = 0; i < filter.bindings.size(); ++i)
      use->bind(static_cast<int>(i + 1), filter.bindings[i].get());
    if (use->step() == SQLITE_ROW) return sqlite3_column_int64(use->get(), 0);
  }
  if (error) *error = lastError(kPersistentStoreOpenError, "count " + entity.name());
  m_statements.erase(sql);
  return std::nullopt;
}

std::int64_t SqliteStore::maximumKey(const EntityDescription& entity) {
  std::lock_guard lock(m_mutex);
  Statement& statement = cachedStatement("SELECT max(Z_PK) FROM " + tableName(entity));
  if (!statement.isValid()) return 0;
  StatementUse use(statement);
  return use->step() == SQLITE_ROW ? sqlite3_column_int64(use->get(), 0) : 0;
}

bool SqliteStore::writeRelationships(const StoreChange& change) {
  const EntityDescription& entity = *change.id.entity;
  std::size_t attributeCount = entity.attributes().size();
  for (std::size_t r = 0; r < entity.relationships().size(); ++r) {
    const RelationshipDescription& relationship = entity.relationships()[r];
    if (!relationship.isToMany) continue;
    bool changed = change.kind != StoreChange::Kind::Update || (*change.changed)[attributeCount + r];
    const std::optional<std::vector<std::int64_t>> none;
    const auto& keys = change.values ? change.values->relationships[r] : none;
    if (!changed || (!keys && change.kind == StoreChange::Kind::Update)) continue;
    std::string join = joinTableName(entity, relationship);
    if (change.kind != StoreChange::Kind::Insert) {
      StatementUse remove(cachedStatement("DELETE FROM " + join + " WHERE z_source = ?"));
      remove->bindKey(1, change.id.key);
      if (remove->step() != SQLITE_DONE) return false;
    }
    if (change.kind == StoreChange::Kind::Delete || !keys) continue;
    StatementUse insert(cachedStatement("INSERT INTO " + join + " (z_source, z_target, z_order) VALUES (?, ?, ?)"));
    for (std::size_t i = 0; i < keys->size(); ++i) {
      insert->bindKey(1, change.id.key);
      insert->bindKey(2, (*keys)[i]);
      insert->bindKey(3, static_cast<std::int64_t>(i));
      if (insert->step() != SQLITE_DONE) return false;
      insert->reset();
    }
  }
  return true;
}

// The statements that write one entity's rows, prepared once per store.
struct SqliteStore::EntityStatements {
  std::unique_ptr<Statement> insert;
  std::unique_ptr<Statement> update;
  std::unique_ptr<Statement> remove;
  // Deletes a run of consecutive keys in one statement; absent with to-many
  // relationships, whose join rows go one record at a time.
  std::unique_ptr<Statement> removeRange;
};

SqliteStore::EntityStatements& SqliteStore::statementsFor(const EntityDescription& entity) {
  auto found = m_entityStatements.find(&entity);
  if (found != m_entityStatements.end()) return *found->second;
  const std::string table = tableName(entity);
  std::vector<std::string> columns;
  for (const AttributeDescription& attribute : entity.attributes()) columns.push_back(columnName(attribute.name));
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (!relationship.isToMany) columns.push_back(columnName(relationship.name));
  }
  std::string insert = "INSERT INTO " + table + " (Z_PK";
  std::string placeholders = "?1";
  std::string update = "UPDATE " + table + " SET Z_PK = ?1";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::string parameter = "?" + std::to_string(i + 2);
    insert += ", " + columns[i];
    placeholders += ", " + parameter;
    update += ", " + columns[i] + " = " + parameter;
  }
  auto statements = std::make_unique<EntityStatements>();
  statements->insert = std::make_unique<Statement>(m_database, insert + ") VALUES (" + placeholders + ")");
  statements->update = std::make_unique<Statement>(m_database, update + " WHERE Z_PK = ?1");
  statements->remove = std::make_unique<Statement>(m_database, "DELETE FROM " + table + " WHERE Z_PK = ?1");
  bool hasJoinTables = std::any_of(entity.relationships().begin(), entity.relationships().end(),
                                   [](const RelationshipDescription& relationship) { return relationship.isToMany; });
  if (!hasJoinTables) {
    statements->removeRange =
        std::make_unique<Statement>(m_database, "DELETE FROM " + table + " WHERE Z_PK BETWEEN ?1 AND ?2");
  }
  return *m_entityStatements.emplace(&entity, std::move(statements)).first->second;
}

bool SqliteStore::writeChange(const StoreChange& change) {
  const EntityDescription& entity = *change.id.entity;
  EntityStatements& statements = statementsFor(entity);
  if (change.kind == StoreChange::Kind::Delete) {
    if (!statements.remove->isValid()) return false;
    StatementUse remove(*statements.remove);
    remove->bindKey(1, change.id.key);
    return remove->step() == SQLITE_DONE && writeRelationships(change);
  }
  Statement& statement = change.kind == StoreChange::Kind::Insert ? *statements.insert : *statements.update;
  if (!statement.isValid()) return false;
  StatementUse use(statement);
  use->bindKey(1, change.id.key);
  int parameter = 2;
  for (const fnd::Ref<fnd::Object>& value : change.values->attributes) use->bind(parameter++, value.get());
  for (std::size_t r = 0; r < entity.relationships().size(); ++r) {
    if (entity.relationships()[r].isToMany) continue;
    const auto& keys = change.values->relationships[r];
    if (keys && !keys->empty()) {
      use->bindKey(parameter, keys->front());
    } else {
      use->bind(parameter, nullptr);
    }
    ++parameter;
  }
  return use->step() == SQLITE_DONE && writeRelationships(change);
}

bool SqliteStore::deleteRanges(const EntityDescription& entity, std::vector<std::int64_t>& keys) {
  Statement& statement = *statementsFor(entity).removeRange;
  if (!statement.isValid()) return false;
  // Keys are handed out in sequence, so a replaced list is a few long runs.
  std::sort(keys.begin(), keys.end());
  for (std::size_t first = 0; first < keys.size();) {
    std::size_t last = first;
    while (last + 1 < keys.size() && keys[last + 1] - keys[last] <= 1) ++last;
    StatementUse use(statement);
    use->bindKey(1, keys[first]);
    use->bindKey(2, keys[last]);
    if (use->step() != SQLITE_DONE) return false;
    first = last + 1;
  }
  return true;
}

bool SqliteStore::save(const std::vector<StoreChange>& changes, std::optional<fnd::Error>* error) {
  std::lock_guard lock(m_mutex);
  if (sqlite3_exec(m_database, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    if (error) *error = lastError(kPersistentStoreSaveError, "begin a save");
    return false;
  }
  auto fail = [&](const EntityDescription& entity) {
    if (error) *error = lastError(kPersistentStoreSaveError, "save " + entity.name());
    sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  };
  // Plain rows are deleted by key runs, first, so that a key can never clash.
  std::unordered_map<const EntityDescription*, std::vector<std::int64_t>> rangeDeletes;
  for (const StoreChange& change : changes) {
    if (change.kind == StoreChange::Kind::Delete && statementsFor(*change.id.entity).removeRange) {
      std::vector<std::int64_t>& keys = rangeDeletes[change.id.entity];
      if (keys.empty()) keys.reserve(changes.size());
      keys.push_back(change.id.key);
    }
  }
  for (auto& [entity, keys] : rangeDeletes) {
    if (!deleteRanges(*entity, keys)) return fail(*entity);
  }
  for (const StoreChange& change : changes) {
    if (change.kind == StoreChange::Kind::Delete && rangeDeletes.count(change.id.entity)) continue;
    if (!writeChange(change)) return fail(*change.id.entity);
  }
  if (sqlite3_exec(m_database, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    if (error) *error = lastError(kPersistentStoreSaveError, "commit a save");
    sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  return true;
}

}  // namespace objectstore
