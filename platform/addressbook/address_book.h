#pragma once
// AddressBook: one program's view of the user's shared address book. It holds
// its own unsaved changes until save() writes them all at once, and hears of
// saves made by other instances and programs through change callbacks.
// Not thread-safe: use an instance, and its records, from one thread at a time.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/addressbook/record.h"
#include "platform/foundation/containers.h"

namespace ab {

enum class AuthorizationStatus : std::int32_t { NotDetermined = 0, Restricted = 1, Denied = 2, Authorized = 3 };

class AddressBook : public fnd::Object {
 public:
  using Records = std::vector<fnd::Ref<Record>>;
  using AccessCompletion = std::function<void(bool granted, std::optional<fnd::Error> error)>;
  using ChangeCallback = std::function<void()>;
  using CallbackId = std::uint64_t;

  // An instance over the configured file, or null and an error when it cannot be opened.
  static fnd::Ref<AddressBook> create(std::optional<fnd::Error>* error);
  // This application's access as remembered in the configured file.
  static AuthorizationStatus authorizationStatus();

  // Asks once per application and remembers the answer; `completion` runs later
  // on a background thread.
  virtual void requestAccess(AccessCompletion completion) = 0;

  virtual Records allSources() = 0;
  // The local source, or the first source when there is no local one; null when none.
  virtual Record* defaultSource() = 0;
  virtual Records allGroups() = 0;
  virtual Records groupsInSource(const Record& source) = 0;
  virtual Records allPeople() = 0;
  virtual Records peopleInSource(const Record& source) = 0;
  // People any of whose names start with each word of `name`, case-insensitively.
  virtual Records peopleWithName(std::string_view name) = 0;
  // Lookups by ID among this instance's records (null when absent or removed).
  virtual Record* recordWithID(RecordType type, RecordID id) = 0;

  // Adds a new person or group made with Record::create...; adding a record of
  // another instance is refused.
  virtual bool addRecord(Record* record, std::optional<fnd::Error>* error) = 0;
  virtual bool removeRecord(Record* record, std::optional<fnd::Error>* error) = 0;

  virtual bool hasUnsavedChanges() = 0;
  // Whether another instance or program saved since this instance last read the file.
  virtual bool hasExternalChanges() = 0;
  // Writes every change in one transaction: all of them or, on failure, none.
  // New records receive their IDs.
  virtual bool save(std::optional<fnd::Error>* error) = 0;
  // Drops the unsaved changes and rereads the stored state; records of this
  // instance keep their identity and see the stored values.
  virtual void revert() = 0;

  // Calls `callback` on the registering thread (which must be a
  // dispatch::BlockThread) after another instance or program saved.
  virtual CallbackId registerExternalChangeCallback(ChangeCallback callback) = 0;
  virtual void unregisterExternalChangeCallback(CallbackId callback) = 0;

  const char* className() const override { return "ABAddressBook"; }
};

// The user's preferences for sorting and showing names.
SortOrdering sortOrdering();
CompositeNameFormat compositeNameFormat();
// Orders two people by name under `ordering`: negative, zero or positive.
int comparePeopleByName(const Record& a, const Record& b, SortOrdering ordering);

}  // namespace ab
