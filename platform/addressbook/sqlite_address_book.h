#pragma once
// SqliteAddressBook: the address book kept in one SQLite file that every
// program of the user shares. Each instance reads the stored records into
// memory, edits them there and writes its changes in one transaction.
// Not thread-safe (see AddressBook); change callbacks run on the registering thread.

#include <memory>
#include <unordered_map>

#include "platform/addressbook/address_book.h"
#include "platform/addressbook/configuration.h"
#include "platform/sqlite/database.h"

namespace ab {

class SqliteAddressBook final : public AddressBook {
 public:
  static fnd::Ref<SqliteAddressBook> open(const Configuration& configuration, std::optional<fnd::Error>* error);
  static AuthorizationStatus authorizationStatus(const Configuration& configuration);
  ~SqliteAddressBook() override;

  void requestAccess(AccessCompletion completion) override;
  Records allSources() override { return recordsOfType(RecordType::Source); }
  Record* defaultSource() override;
  Records allGroups() override { return recordsOfType(RecordType::Group); }
  Records groupsInSource(const Record& source) override;
  Records allPeople() override { return recordsOfType(RecordType::Person); }
  Records peopleInSource(const Record& source) override;
  Records peopleWithName(std::string_view name) override;
  Record* recordWithID(RecordType type, RecordID id) override;
  bool addRecord(Record* record, std::optional<fnd::Error>* error) override;
  bool removeRecord(Record* record, std::optional<fnd::Error>* error) override;
  bool hasUnsavedChanges() override;
  bool hasExternalChanges() override;
  bool save(std::optional<fnd::Error>* error) override;
  void revert() override;
  CallbackId registerExternalChangeCallback(ChangeCallback callback) override;
  void unregisterExternalChangeCallback(CallbackId callback) override;

 private:
  struct ChangeWatch;
  SqliteAddressBook(sqlite::Database database, Configuration configuration);

  Records recordsOfType(RecordType type) const;
  Records recordsWhere(RecordType type, RecordID sourceID) const;
  // Replaces the in-memory state by the stored one, keeping record identity.
  bool reload(std::optional<fnd::Error>* error);
  bool writeChanges(std::optional<fnd::Error>* error, std::unordered_map<const Record*, RecordID>& assigned);
  void indexByID();

  sqlite::Database m_database;
  Configuration m_configuration;
  Records m_records;  // stored records first, in ID order, then the added ones
  Records m_removed;  // stored records removed since the last save
  std::unordered_map<RecordID, Record*> m_byID;
  std::shared_ptr<ChangeWatch> m_watch;
  std::int64_t m_readVersion = 0;  // the file's data version when it was last read
};

}  // namespace ab
