#include "platform/addressbook/sqlite_address_book.h"

#include <algorithm>
#include <mutex>

#include "platform/addressbook/errors.h"
#include "platform/addressbook/multi_value.h"
#include "platform/addressbook/people_names.h"
#include "platform/addressbook/value_codec.h"
#include "platform/dispatch/block_thread.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/sqlite/transaction.h"

namespace ab {

namespace {

constexpr std::string_view kSchema = R"sql(
CREATE TABLE IF NOT EXISTS records(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  type INTEGER NOT NULL,
  source INTEGER,
  image BLOB,
  properties BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS members(
  group_id INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
  person_id INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
  PRIMARY KEY(group_id, person_id));
CREATE TABLE IF NOT EXISTS access(application TEXT PRIMARY KEY, status INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT);
)sql";

// Set once the first program made the file, so that the initial sources are written only once.
constexpr std::string_view kInitializedKey = "initialized";

fnd::Error storageError(const sqlite::Failure& failure) {
  return makeError(ErrorCode::StorageFailure, failure.message);
}

// Runs `body` in one transaction that takes the write lock at once; rolls
// back when it answers false or the commit fails.
template <class Body>
bool inTransaction(sqlite::Database& database, std::optional<fnd::Error>* error, Body&& body) {
  sqlite::Transaction transaction(database);
  if (!transaction.began()) {
    if (error) *error = storageError(database.lastFailure());
    return false;
  }
  if (!body()) {
    if (error && !*error) *error = storageError(database.lastFailure());
    return false;
  }
  if (!transaction.commit()) {
    if (error) *error = storageError(database.lastFailure());
    return false;
  }
  return true;
}

bool insertSource(sqlite::Database& database, const SourceDescription& source) {
  PropertyValues values;
  if (!source.name.empty()) values[kSourceNameProperty] = fnd::String::create(source.name);
  if (source.type) values[kSourceTypeProperty] = fnd::Number::create(static_cast<std::int64_t>(*source.type));
  sqlite::Statement insert = database.prepare("INSERT INTO records(type, properties) VALUES(?, ?)");
  insert.bindInteger(1, static_cast<std::int64_t>(RecordType::Source));
  insert.bindBlob(2, encodePropertyValues(values));
  insert.step();
  return !insert.failed();
}

bool prepareFile(sqlite::Database& database, const Configuration& configuration, std::optional<fnd::Error>* error) {
  return inTransaction(database, error, [&] {
    if (!database.execute(kSchema)) return false;
    sqlite::Statement initialized = database.prepare("SELECT value FROM meta WHERE key = ?");
    initialized.bindText(1, kInitializedKey);
    if (initialized.step() == sqlite::Step::Row) return true;
    for (const SourceDescription& source : configuration.initialSources)
      if (!insertSource(database, source)) return false;
    sqlite::Statement mark = database.prepare("INSERT INTO meta(key, value) VALUES(?, '1')");
    mark.bindText(1, kInitializedKey);
    mark.step();
    return !mark.failed();
  });
}

std::optional<sqlite::Database> openPrepared(const Configuration& configuration, std::optional<fnd::Error>* error) {
  sqlite::Failure failure;
  std::optional<sqlite::Database> database = sqlite::Database::open(
      addressBookFilePath(configuration), sqlite::OpenOptions{.busyTimeout = configuration.busyTimeout}, &failure);
  if (!database) {
    if (error)
      *error = makeError(ErrorCode::StorageFailure,
                         failure.message.empty() ? "Cannot open the address book" : failure.message);
    return std::nullopt;
  }
  if (!database->execute("PRAGMA foreign_keys=ON")) {
    if (error) *error = storageError(database->lastFailure());
    return std::nullopt;
  }
  if (!prepareFile(*database, configuration, error)) return std::nullopt;
  return database;
}

bool storeAccess(const Configuration& configuration, AuthorizationStatus status) {
  std::optional<sqlite::Database> database = openPrepared(configuration, nullptr);
  if (!database) return false;
  sqlite::Statement store = database->prepare("INSERT OR REPLACE INTO access(application, status) VALUES(?, ?)");
  store.bindText(1, applicationName(configuration));
  store.bindInteger(2, static_cast<std::int64_t>(status));
  store.step();
  return !store.failed();
}

// The access question may wait on a person; it gets a thread of its own so
// that nothing else waits behind it.
dispatch::BlockThread& accessThread() {
  static auto* const thread = new dispatch::BlockThread("AddressBookAccess");  // lives for the process
  return *thread;
}

void answerAccess(const AddressBook::AccessCompletion& completion, AuthorizationStatus status) {
  if (status == AuthorizationStatus::Authorized) {
    completion(true, std::nullopt);
  } else {
    completion(false, makeError(ErrorCode::OperationNotPermittedByUser, status == AuthorizationStatus::Restricted
                                                                            ? "Access to the address book is restricted"
                                                                            : "Access to the address book was denied"));
  }
}

}  // namespace

// Change callbacks poll the file's data version, which SQLite advances only
// for commits of other connections: a cheap query that sees saves of other
// instances and of other programs alike, and never the instance's own.
struct SqliteAddressBook::ChangeWatch {
  std::recursive_mutex mutex;
  SqliteAddressBook* book = nullptr;               // guarded by mutex; null once the book is gone
  std::map<CallbackId, ChangeCallback> callbacks;  // guarded by mutex
  CallbackId nextId = 1;                           // guarded by mutex
  dispatch::BlockThread* thread = nullptr;
  dispatch::BlockThread::TimerId timer = 0;
  std::int64_t seenVersion = 0;  // guarded by mutex

  void poll() {
    std::lock_guard lock(mutex);
    if (!book) return;
    const std::int64_t version = book->m_database.dataVersion();
    if (version == seenVersion) return;
    seenVersion = version;
    const auto snapshot = callbacks;  // a callback may unregister itself
    for (const auto& [id, callback] : snapshot) callback();
  }
};

fnd::Ref<AddressBook> AddressBook::create(std::optional<fnd::Error>* error) {
  return SqliteAddressBook::open(configuration(), error);
}

AuthorizationStatus AddressBook::authorizationStatus() {
  return SqliteAddressBook::authorizationStatus(configuration());
}

fnd::Ref<SqliteAddressBook> SqliteAddressBook::open(const Configuration& configuration,
                                                    std::optional<fnd::Error>* error) {
  std::optional<sqlite::Database> database = openPrepared(configuration, error);
  if (!database) return nullptr;
  auto book = fnd::Ref<SqliteAddressBook>::adopt(new SqliteAddressBook(std::move(*database), configuration));
  if (!book->reload(error)) return nullptr;
  return book;
}

SqliteAddressBook::SqliteAddressBook(sqlite::Database database, Configuration configuration)
    : m_database(std::move(database)), m_configuration(std::move(configuration)) {}

SqliteAddressBook::~SqliteAddressBook() {
  if (m_watch) {
    std::lock_guard lock(m_watch->mutex);
    m_watch->book = nullptr;
    m_watch->thread->invalidateTimer(m_watch->timer);
  }
  for (const fnd::Ref<Record>& record : m_records) record->setOwner(nullptr);
}

AuthorizationStatus SqliteAddressBook::authorizationStatus(const Configuration& configuration) {
  if (configuration.accessRestricted) return AuthorizationStatus::Restricted;
  // Only read: a file not prepared yet holds no answer, and a save under way
  // in another instance does not hold up the question.
  std::optional<sqlite::Database> database = sqlite::Database::open(
      addressBookFilePath(configuration), sqlite::OpenOptions{.busyTimeout = configuration.busyTimeout}, nullptr);
  if (!database) return AuthorizationStatus::NotDetermined;
  sqlite::Statement query = database->prepare("SELECT status FROM access WHERE application = ?");
  query.bindText(1, applicationName(configuration));
  if (query.step() != sqlite::Step::Row) return AuthorizationStatus::NotDetermined;
  return static_cast<AuthorizationStatus>(std::clamp<std::int64_t>(query.integer(0), 0, 3));
}

void SqliteAddressBook::requestAccess(AccessCompletion completion) {
  accessThread().async([configuration = m_configuration, completion = std::move(completion)] {
    AuthorizationStatus status = authorizationStatus(configuration);
    if (status == AuthorizationStatus::NotDetermined) {
      const AccessPrompt prompt = accessPrompt();
      const bool granted = prompt ? prompt(applicationName(configuration)) : configuration.accessGrantedWithoutPrompt;
      status = granted ? AuthorizationStatus::Authorized : AuthorizationStatus::Denied;
      storeAccess(configuration, status);
    }
    answerAccess(completion, status);
  });
}

AddressBook::Records SqliteAddressBook::recordsOfType(RecordType type) const {
  Records found;
  for (const fnd::Ref<Record>& record : m_records)
    if (record->recordType() == type) found.push_back(record);
  return found;
}

AddressBook::Records SqliteAddressBook::recordsWhere(RecordType type, RecordID sourceID) const {
  Records found;
  for (const fnd::Ref<Record>& record : m_records)
    if (record->recordType() == type && record->sourceID() == sourceID) found.push_back(record);
  return found;
}

Record* SqliteAddressBook::defaultSource() {
  Record* first = nullptr;
  for (const fnd::Ref<Record>& record : m_records) {
    if (record->recordType() != RecordType::Source) continue;
    if (!first) first = record.get();
    const fnd::Ref<fnd::Object> type = record->copyValue(kSourceTypeProperty);
    const bool isLocal = !type || static_cast<const fnd::Number&>(*type).int64Value() == kSourceTypeLocal;
    if (isLocal) return record.get();
  }
  return first;
}

AddressBook::Records SqliteAddressBook::groupsInSource(const Record& source) {
  return recordsWhere(RecordType::Group, source.recordID());
}

AddressBook::Records SqliteAddressBook::peopleInSource(const Record& source) {
  return recordsWhere(RecordType::Person, source.recordID());
}

AddressBook::Records SqliteAddressBook::peopleWithName(std::string_view name) {
  Records found;
  for (const fnd::Ref<Record>& record : m_records)
    if (record->recordType() == RecordType::Person && personMatchesName(*record, name)) found.push_back(record);
  return found;
}

Record* SqliteAddressBook::recordWithID(RecordType type, RecordID id) {
  auto found = m_byID.find(id);
  return found != m_byID.end() && found->second->recordType() == type ? found->second : nullptr;
}

bool SqliteAddressBook::addRecord(Record* record, std::optional<fnd::Error>* error) {
  if (!record || record->recordType() == RecordType::Source)
    return fail(error, ErrorCode::OperationNotPermittedByStore, "Only people and groups can be added");
  if (record->owner() == this) return true;
  if (record->owner())
    return fail(error, ErrorCode::OperationNotPermittedByStore, "The record belongs to another address book");
  Record* source = recordWithID(RecordType::Source, record->sourceID());
  if (!source) source = defaultSource();
  if (!source) return fail(error, ErrorCode::OperationNotPermittedByStore, "The address book has no source");
  record->setSourceID(source->recordID());
  record->setOwner(this);
  // A record removed and added again before a save is simply kept.
  const bool wasRemoved =
      std::erase_if(m_removed, [record](const auto& removed) { return removed.get() == record; }) > 0;
  m_records.emplace_back(record);
  if (wasRemoved) m_byID[record->recordID()] = record;
  return true;
}

bool SqliteAddressBook::removeRecord(Record* record, std::optional<fnd::Error>* error) {
  if (!record || record->owner() != this || record->recordType() == RecordType::Source)
    return fail(error, ErrorCode::OperationNotPermittedByStore, "The record is not in this address book");
  if (record->recordType() == RecordType::Person)
    for (const fnd::Ref<Record>& group : m_records)
      if (group->recordType() == RecordType::Group) group->forgetMember(record);
  record->setOwner(nullptr);
  if (record->recordID() != kInvalidRecordID) {
    m_removed.emplace_back(record);
    m_byID.erase(record->recordID());
  }
  std::erase_if(m_records, [record](const auto& kept) { return kept.get() == record; });
  return true;
}

bool SqliteAddressBook::hasUnsavedChanges() {
  return !m_removed.empty() || std::any_of(m_records.begin(), m_records.end(), [](const fnd::Ref<Record>& record) {
    return record->recordID() == kInvalidRecordID || record->isChanged();
  });
}

bool SqliteAddressBook::hasExternalChanges() { return m_database.dataVersion() != m_readVersion; }

bool SqliteAddressBook::writeChanges(std::optional<fnd::Error>* error,
                                     std::unordered_map<const Record*, RecordID>& assigned) {
  sqlite::Statement remove = m_database.prepare("DELETE FROM records WHERE id = ?");
  for (const fnd::Ref<Record>& record : m_removed) {
    remove.bindInteger(1, record->recordID());
    remove.step();
    remove.reset();
  }
  sqlite::Statement insert =
      m_database.prepare("INSERT INTO records(type, source, image, properties) VALUES(?, ?, ?, ?)");
  sqlite::Statement update =
      m_database.prepare("UPDATE records SET source = ?, image = ?, properties = ? WHERE id = ?");
  for (const fnd::Ref<Record>& record : m_records) {
    const bool isNew = record->recordID() == kInvalidRecordID;
    if (!isNew && !record->isChanged()) continue;
    sqlite::Statement& statement = isNew ? insert : update;
    int column = 1;
    if (isNew) statement.bindInteger(column++, static_cast<std::int64_t>(record->recordType()));
    statement.bindInteger(column++, record->sourceID());
    if (record->imageData())
      statement.bindBlob(column++, record->imageData()->view());
    else
      statement.bindNull(column++);
    statement.bindBlob(column++, encodePropertyValues(record->values()));
    if (!isNew) statement.bindInteger(column, record->recordID());
    statement.step();
    statement.reset();
    if (isNew) assigned[record.get()] = static_cast<RecordID>(m_database.lastInsertRowID());
  }
  sqlite::Statement clearMembers = m_database.prepare("DELETE FROM members WHERE group_id = ?");
  sqlite::Statement addMember = m_database.prepare("INSERT OR IGNORE INTO members(group_id, person_id) VALUES(?, ?)");
  const auto idOf = [&assigned](const Record* record) {
    auto found = assigned.find(record);
    return found != assigned.end() ? found->second : record->recordID();
  };
  for (const fnd::Ref<Record>& group : m_records) {
    if (group->recordType() != RecordType::Group || !group->isChanged()) continue;
    clearMembers.bindInteger(1, idOf(group.get()));
    clearMembers.step();
    clearMembers.reset();
    for (const fnd::Ref<Record>& member : group->members()) {
      addMember.bindInteger(1, idOf(group.get()));
      addMember.bindInteger(2, idOf(member.get()));
      addMember.step();
      addMember.reset();
    }
  }
  for (const sqlite::Statement* statement : {&remove, &insert, &update, &clearMembers, &addMember}) {
    if (statement->failed()) {
      if (error) *error = storageError(statement->failure());
      return false;
    }
  }
  return true;
}

bool SqliteAddressBook::save(std::optional<fnd::Error>* error) {
  if (!hasUnsavedChanges()) return true;
  const fnd::Ref<fnd::Date> now = fnd::Date::now();
  for (const fnd::Ref<Record>& record : m_records)
    if (record->recordType() == RecordType::Person && (record->isChanged() || record->recordID() == kInvalidRecordID))
      record->storeValue(kPersonModificationDateProperty, now);
  std::unordered_map<const Record*, RecordID> assigned;
  if (!inTransaction(m_database, error, [&] { return writeChanges(error, assigned); })) return false;
  for (const fnd::Ref<Record>& record : m_records) {
    auto found = assigned.find(record.get());
    record->markSaved(found != assigned.end() ? found->second : record->recordID());
  }
  m_removed.clear();
  indexByID();
  return true;
}

void SqliteAddressBook::revert() { reload(nullptr); }

bool SqliteAddressBook::reload(std::optional<fnd::Error>* error) {
  // Taken first: a save of another program that lands during the read counts as unseen.
  const std::int64_t version = m_database.dataVersion();
  sqlite::Statement rows = m_database.prepare("SELECT id, type, source, image, properties FROM records ORDER BY id");
  Records stored;
  std::unordered_map<RecordID, Record*> storedByID;
  while (rows.step() == sqlite::Step::Row) {
    const auto type = rows.integer(1);
    if (type < 0 || type > static_cast<std::int64_t>(RecordType::Source)) continue;
    fnd::Ref<fnd::Data> image = rows.isNull(3) ? nullptr : fnd::Data::create(std::string(rows.blob(3)));
    const auto id = static_cast<RecordID>(rows.integer(0));
    const auto source = rows.isNull(2) ? kInvalidRecordID : static_cast<RecordID>(rows.integer(2));
    stored.push_back(
        Record::restore(static_cast<RecordType>(type), id, source, std::string(rows.blob(4)), std::move(image)));
    storedByID[id] = stored.back().get();
  }
  if (rows.failed()) {
    if (error) *error = storageError(m_database.lastFailure());
    return false;
  }
  std::unordered_map<RecordID, std::vector<fnd::Ref<Record>>> membersByGroup;
  sqlite::Statement members = m_database.prepare("SELECT group_id, person_id FROM members ORDER BY rowid");
  while (members.step() == sqlite::Step::Row) {
    auto person = storedByID.find(static_cast<RecordID>(members.integer(1)));
    if (person != storedByID.end())
      membersByGroup[static_cast<RecordID>(members.integer(0))].emplace_back(person->second);
  }

  // Records this instance already handed out keep their identity and take the stored state.
  std::unordered_map<RecordID, fnd::Ref<Record>> known;
  for (Records* list : {&m_records, &m_removed})
    for (const fnd::Ref<Record>& record : *list) {
      record->setOwner(nullptr);
      if (record->recordID() != kInvalidRecordID) known[record->recordID()] = record;
    }
  std::unordered_map<const Record*, Record*> replacement;
  for (fnd::Ref<Record>& record : stored) {
    auto existing = known.find(record->recordID());
    if (existing == known.end()) continue;
    existing->second->refresh(*record);
    replacement[record.get()] = existing->second.get();
    record = existing->second;
  }
  for (const fnd::Ref<Record>& record : stored) {
    record->setOwner(this);
    if (record->recordType() != RecordType::Group) continue;
    std::vector<fnd::Ref<Record>> resolved;
    for (const fnd::Ref<Record>& member : membersByGroup[record->recordID()]) {
      auto replaced = replacement.find(member.get());
      resolved.emplace_back(replaced != replacement.end() ? replaced->second : member.get());
    }
    record->setMembers(std::move(resolved));
  }
  m_records = std::move(stored);
  m_removed.clear();
  indexByID();
  m_readVersion = version;
  return true;
}

void SqliteAddressBook::indexByID() {
  m_byID.clear();
  for (const fnd::Ref<Record>& record : m_records) m_byID[record->recordID()] = record.get();
}

AddressBook::CallbackId SqliteAddressBook::registerExternalChangeCallback(ChangeCallback callback) {
  dispatch::BlockThread* thread = dispatch::BlockThread::current();
  if (!thread || !callback) return 0;
  if (!m_watch) {
    m_watch = std::make_shared<ChangeWatch>();
    m_watch->book = this;
    m_watch->thread = thread;
    m_watch->seenVersion = m_database.dataVersion();
    m_watch->timer =
        thread->scheduleTimer(m_configuration.changePollInterval, true, [watch = std::weak_ptr<ChangeWatch>(m_watch)] {
          if (auto alive = watch.lock()) alive->poll();
        });
  }
  std::lock_guard lock(m_watch->mutex);
  const CallbackId id = m_watch->nextId++;
  m_watch->callbacks[id] = std::move(callback);
  return id;
}

void SqliteAddressBook::unregisterExternalChangeCallback(CallbackId callback) {
  if (!m_watch) return;
  std::lock_guard lock(m_watch->mutex);
  m_watch->callbacks.erase(callback);
}

}  // namespace ab
