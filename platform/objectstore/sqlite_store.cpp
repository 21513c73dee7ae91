#include "platform/objectstore/sqlite_store.h"

#include <algorithm>

#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/schema_preparation.h"
#include "platform/objectstore/store_error.h"
#include "platform/objectstore/store_functions.h"
#include "platform/sqlite/transaction.h"

namespace objectstore {

namespace {

constexpr std::size_t kStatementCacheLimit = 128;
// Keys bound to one "IN (...)" read; well below SQLite's limit on parameters.
constexpr std::size_t kKeysPerRead = 500;
constexpr int kPageCacheKiB = 16 * 1024;
constexpr std::chrono::milliseconds kBusyTimeout(5000);

// Binds a value; the object must stay alive until the statement is reset.
void bindObject(sqlite::Statement& statement, int index, const fnd::Object* value) {
  using Binding = sqlite::Statement::Binding;
  if (!value) {
    statement.bindNull(index);
    return;
  }
  switch (value->kind()) {
    case fnd::ObjectKind::String:
      statement.bindText(index, static_cast<const fnd::String*>(value)->utf8(), Binding::Borrowed);
      return;
    case fnd::ObjectKind::Number: {
      const auto* number = static_cast<const fnd::Number*>(value);
      bool fitsSigned = number->type() != fnd::Number::Type::UInt64 || number->uint64Value() <= INT64_MAX;
      if (number->isInteger() && fitsSigned) {
        statement.bindInteger(index, number->int64Value());
      } else {
        statement.bindReal(index, number->doubleValue());
      }
      return;
    }
    case fnd::ObjectKind::Date:
      statement.bindReal(index, static_cast<const fnd::Date*>(value)->timeIntervalSince1970());
      return;
    case fnd::ObjectKind::Data: {
      const auto* data = static_cast<const fnd::Data*>(value);
      statement.bindBlob(index, std::string_view(data->bytes(), data->length()), Binding::Borrowed);
      return;
    }
    default:
      statement.bindNull(index);
  }
}

// Binds a filter's values to its placeholders, in order.
void bindFilter(sqlite::Statement& statement, const SqlFilter& filter) {
  for (std::size_t i = 0; i < filter.bindings.size(); ++i)
    bindObject(statement, static_cast<int>(i + 1), filter.bindings[i].get());
}

class StatementUse {
 public:
  explicit StatementUse(sqlite::Statement& statement) : m_statement(statement) {}
  ~StatementUse() { m_statement.reset(); }
  sqlite::Statement& operator*() { return m_statement; }
  sqlite::Statement* operator->() { return &m_statement; }

 private:
  sqlite::Statement& m_statement;
};

fnd::Ref<fnd::Object> columnValue(const sqlite::Statement& statement, int column, AttributeType type) {
  if (statement.isNull(column)) return {};
  switch (type) {
    case AttributeType::String:
      return fnd::String::create(statement.text(column));
    case AttributeType::Boolean:
      return fnd::Ref<fnd::Object>(fnd::Number::boolean(statement.integer(column) != 0));
    case AttributeType::Double:
      return fnd::Number::create(statement.real(column));
    case AttributeType::Date:
      return fnd::Date::create(statement.real(column));
    case AttributeType::Binary:
      return fnd::Data::create(std::string(statement.blob(column)));
    default:
      return fnd::Number::create(statement.integer(column));
  }
}

}  // namespace

SqliteStore::SqliteStore(std::string path, std::shared_ptr<const ManagedObjectModel> model, sqlite::Database database)
    : m_path(std::move(path)), m_model(std::move(model)), m_database(std::move(database)) {}

std::vector<std::string> SqliteStore::integrityProblems(const std::string& path) {
  sqlite::Failure failure;
  std::optional<sqlite::Database> database =
      sqlite::Database::open(path, sqlite::OpenOptions{.create = false, .writeAheadLog = false}, &failure);
  if (!database) return {"cannot open: " + describe(failure)};
  addStoreFunctions(*database);
  std::vector<std::string> problems;
  sqlite::Statement check = database->prepare("PRAGMA integrity_check");
  while (check.step() == sqlite::Step::Row) {
    if (!check.isNull(0) && check.text(0) != "ok") problems.emplace_back(check.text(0));
  }
  if (check.failed()) problems.push_back(describe(check.failure()));
  return problems;
}

SqliteStore::~SqliteStore() = default;

std::unique_ptr<SqliteStore> SqliteStore::open(const std::string& path, std::shared_ptr<const ManagedObjectModel> model,
                                               bool migrate, std::optional<fnd::Error>* error) {
  // The store holds the user's own numbers, kept in a private file with a
  // write-ahead log: a killed process leaves the last committed state, and
  // readers never see half a save. The store's lock serialises all use.
  sqlite::Failure failure;
  std::optional<sqlite::Database> database =
      sqlite::Database::open(path, sqlite::OpenOptions{.serialized = false, .busyTimeout = kBusyTimeout}, &failure);
  if (!database) {
    if (error) {
      *error = failure.sql.empty() ? storeFailure(path, kPersistentStoreOpenError, "open", failure)
                                   : runFailure(path, failure.sql, failure);
    }
    return nullptr;
  }
  std::unique_ptr<SqliteStore> store(new SqliteStore(path, std::move(model), std::move(*database)));
  std::lock_guard lock(store->m_mutex);
  addStoreFunctions(store->m_database);
  // A replaced list of 100,000 records touches more pages than the default
  // 2 MB cache holds; spilled pages were written to the log mid-save and again
  // at its end. 16 MB (a negative size counts KiB) is an upper bound, not an allocation.
  const std::string cacheSize = "PRAGMA cache_size=-" + std::to_string(kPageCacheKiB);
  if (!store->m_database.execute(cacheSize)) {
    if (error) *error = runFailure(path, cacheSize, store->m_database.lastFailure());
    return nullptr;
  }
  if (!SchemaPreparation(store->m_database, *store->m_model, path).run(migrate, error)) return nullptr;
  return store;
}

fnd::Error SqliteStore::lastError(long code, const std::string& what) const {
  return storeFailure(m_path, code, what, m_database.lastFailure());
}

sqlite::Statement& SqliteStore::cachedStatement(const std::string& sql) {
  auto found = m_statements.find(sql);
  if (found != m_statements.end()) return *found->second;
  if (m_statements.size() >= kStatementCacheLimit) m_statements.clear();
  auto [entry, inserted] = m_statements.emplace(sql, keptStatement(sql));
  return *entry->second;
}

std::unique_ptr<sqlite::Statement> SqliteStore::keptStatement(const std::string& sql) {
  return std::make_unique<sqlite::Statement>(m_database.prepare(sql, sqlite::Statement::Reuse::Many));
}

void SqliteStore::readValues(const sqlite::Statement& statement, int firstColumn, const EntityDescription& entity,
                             RecordValues& values) {
  int column = firstColumn;
  values.attributes.reserve(entity.attributes().size());
  for (const AttributeDescription& attribute : entity.attributes()) {
    values.attributes.push_back(columnValue(statement, column++, attribute.type));
  }
  values.relationships.reserve(entity.relationships().size());
  for (const RelationshipDescription& relationship : entity.relationships()) {
    if (relationship.isToMany) {
      values.relationships.emplace_back(std::nullopt);
      continue;
    }
    std::vector<std::int64_t> keys;
    if (!statement.isNull(column)) keys.push_back(statement.integer(column));
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
  sqlite::Statement& statement = cachedStatement(sql);
  if (!statement.isValid()) {
    if (error) *error = lastError(kPersistentStoreOpenError, "read " + entity.name());
    m_statements.erase(sql);
    return rows;
  }
  StatementUse use(statement);
  bindFilter(*use, filter);
  sqlite::Step result;
  while ((result = use->step()) == sqlite::Step::Row) {
    StoredRow row;
    row.key = use->integer(0);
    if (withValues) readValues(*use, 1, entity, row.values);
    rows.push_back(std::move(row));
  }
  if (result != sqlite::Step::Done && error) *error = lastError(kPersistentStoreOpenError, "read " + entity.name());
  return rows;
}

std::optional<RecordValues> SqliteStore::fetchRow(const EntityDescription& entity, std::int64_t key) {
  std::string sql = "SELECT " + selectColumns(entity) + " FROM " + tableName(entity) + " WHERE Z_PK = ?";
  std::lock_guard lock(m_mutex);
  sqlite::Statement& statement = cachedStatement(sql);
  if (!statement.isValid()) return std::nullopt;
  StatementUse use(statement);
  use->bindInteger(1, key);
  if (use->step() != sqlite::Step::Row) return std::nullopt;
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
    sqlite::Statement& statement = cachedStatement(sql + ")");
    if (!statement.isValid()) break;
    StatementUse use(statement);
    for (std::size_t i = 0; i < count; ++i) use->bindInteger(static_cast<int>(i + 1), keys[first + i]);
    while (use->step() == sqlite::Step::Row) {
      StoredRow& row = rows.emplace_back();
      row.key = use->integer(0);
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
  sqlite::Statement& statement = cachedStatement(sql);
  if (!statement.isValid()) return keys;
  StatementUse use(statement);
  use->bindInteger(1, key);
  while (use->step() == sqlite::Step::Row) keys.push_back(use->integer(0));
  return keys;
}

std::optional<std::int64_t> SqliteStore::count(const EntityDescription& entity, const SqlFilter& filter,
                                               std::optional<fnd::Error>* error) {
  std::string sql = "SELECT count(*) FROM " + tableName(entity);
  if (!filter.where.empty()) sql += " WHERE " + filter.where;
  std::lock_guard lock(m_mutex);
  sqlite::Statement& statement = cachedStatement(sql);
  if (statement.isValid()) {
    StatementUse use(statement);
    bindFilter(*use, filter);
    if (use->step() == sqlite::Step::Row) return use->integer(0);
  }
  if (error) *error = lastError(kPersistentStoreOpenError, "count " + entity.name());
  m_statements.erase(sql);
  return std::nullopt;
}

std::int64_t SqliteStore::maximumKey(const EntityDescription& entity) {
  std::lock_guard lock(m_mutex);
  sqlite::Statement& statement = cachedStatement("SELECT max(Z_PK) FROM " + tableName(entity));
  if (!statement.isValid()) return 0;
  StatementUse use(statement);
  return use->step() == sqlite::Step::Row ? use->integer(0) : 0;
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
      remove->bindInteger(1, change.id.key);
      if (remove->step() != sqlite::Step::Done) return false;
    }
    if (change.kind == StoreChange::Kind::Delete || !keys) continue;
    StatementUse insert(cachedStatement("INSERT INTO " + join + " (z_source, z_target, z_order) VALUES (?, ?, ?)"));
    for (std::size_t i = 0; i < keys->size(); ++i) {
      insert->bindInteger(1, change.id.key);
      insert->bindInteger(2, (*keys)[i]);
      insert->bindInteger(3, static_cast<std::int64_t>(i));
      if (insert->step() != sqlite::Step::Done) return false;
      insert->reset();
    }
  }
  return true;
}

// The statements that write one entity's rows, prepared once per store.
struct SqliteStore::EntityStatements {
  std::unique_ptr<sqlite::Statement> insert;
  std::unique_ptr<sqlite::Statement> update;
  std::unique_ptr<sqlite::Statement> remove;
  // Deletes a run of consecutive keys in one statement; absent with to-many
  // relationships, whose join rows go one record at a time.
  std::unique_ptr<sqlite::Statement> removeRange;
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
  statements->insert = keptStatement(insert + ") VALUES (" + placeholders + ")");
  statements->update = keptStatement(update + " WHERE Z_PK = ?1");
  statements->remove = keptStatement("DELETE FROM " + table + " WHERE Z_PK = ?1");
  bool hasJoinTables = std::any_of(entity.relationships().begin(), entity.relationships().end(),
                                   [](const RelationshipDescription& relationship) { return relationship.isToMany; });
  if (!hasJoinTables) {
    statements->removeRange = keptStatement("DELETE FROM " + table + " WHERE Z_PK BETWEEN ?1 AND ?2");
  }
  return *m_entityStatements.emplace(&entity, std::move(statements)).first->second;
}

bool SqliteStore::writeChange(const StoreChange& change) {
  const EntityDescription& entity = *change.id.entity;
  EntityStatements& statements = statementsFor(entity);
  if (change.kind == StoreChange::Kind::Delete) {
    if (!statements.remove->isValid()) return false;
    StatementUse remove(*statements.remove);
    remove->bindInteger(1, change.id.key);
    return remove->step() == sqlite::Step::Done && writeRelationships(change);
  }
  sqlite::Statement& statement = change.kind == StoreChange::Kind::Insert ? *statements.insert : *statements.update;
  if (!statement.isValid()) return false;
  StatementUse use(statement);
  use->bindInteger(1, change.id.key);
  int parameter = 2;
  for (const fnd::Ref<fnd::Object>& value : change.values->attributes) bindObject(*use, parameter++, value.get());
  for (std::size_t r = 0; r < entity.relationships().size(); ++r) {
    if (entity.relationships()[r].isToMany) continue;
    const auto& keys = change.values->relationships[r];
    if (keys && !keys->empty()) {
      use->bindInteger(parameter, keys->front());
    } else {
      use->bindNull(parameter);
    }
    ++parameter;
  }
  return use->step() == sqlite::Step::Done && writeRelationships(change);
}

bool SqliteStore::deleteRanges(const EntityDescription& entity, std::vector<std::int64_t>& keys) {
  sqlite::Statement& statement = *statementsFor(entity).removeRange;
  if (!statement.isValid()) return false;
  // Keys are handed out in sequence, so a replaced list is a few long runs.
  std::sort(keys.begin(), keys.end());
  for (std::size_t first = 0; first < keys.size();) {
    std::size_t last = first;
    while (last + 1 < keys.size() && keys[last + 1] - keys[last] <= 1) ++last;
    StatementUse use(statement);
    use->bindInteger(1, keys[first]);
    use->bindInteger(2, keys[last]);
    if (use->step() != sqlite::Step::Done) return false;
    first = last + 1;
  }
  return true;
}

bool SqliteStore::save(const std::vector<StoreChange>& changes, std::optional<fnd::Error>* error) {
  std::lock_guard lock(m_mutex);
  sqlite::Transaction transaction(m_database);
  if (!transaction.began()) {
    if (error) *error = lastError(kPersistentStoreSaveError, "begin a save");
    return false;
  }
  // Leaving uncommitted rolls the whole save back.
  auto fail = [&](const EntityDescription& entity) {
    if (error) *error = lastError(kPersistentStoreSaveError, "save " + entity.name());
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
  if (!transaction.commit()) {
    if (error) *error = lastError(kPersistentStoreSaveError, "commit a save");
    return false;
  }
  return true;
}

}  // namespace objectstore
