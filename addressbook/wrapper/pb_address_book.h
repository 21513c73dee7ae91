#pragma once
// PBAddressBook: one address-book instance with a thread of its own. Every
// platform call runs on that thread while the caller waits, and each record
// has at most one live wrapper per instance. Thread-safe.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/addressbook/address_book.h"
#include "platform/dispatch/block_thread.h"
#include "platform/foundation/data.h"

namespace geo {
class Location;
class Placemark;
}  // namespace geo

namespace pb {

class PBRecord;
class PBSource;
class PBGroup;
class PBPerson;
class PBAddressBookSharedServices;

inline constexpr std::string_view PBAddressBookExternalChangeNotification = "PBAddressBookExternalChangeNotification";

class PBAddressBook : public std::enable_shared_from_this<PBAddressBook> {
 public:
  using Sources = std::vector<std::shared_ptr<PBSource>>;
  using Groups = std::vector<std::shared_ptr<PBGroup>>;
  using People = std::vector<std::shared_ptr<PBPerson>>;
  using Action = std::function<void(ab::AddressBook&)>;

  // A new instance, or null when the platform refuses to create an address book.
  static std::shared_ptr<PBAddressBook> create();
  ~PBAddressBook();

  dispatch::BlockThread& addressBookThread() const noexcept { return *m_thread; }
  const fnd::Ref<ab::AddressBook>& addressBookRef() const noexcept { return m_addressBookRef; }
  PBAddressBookSharedServices* sharedServices() const noexcept { return m_sharedServices; }

  static ab::AuthorizationStatus authorizationStatus();
  // `completion` runs later on a background thread.
  void requestAuthorizationWithCompletion(
      std::function<void(bool granted, std::optional<fnd::Error> error)> completion);
  void performAddressBookAction(const Action& action, bool waitUntilDone = true);

  Sources sources();
  std::shared_ptr<PBSource> defaultSource();
  std::shared_ptr<PBSource> sourceForABRecordRef(ab::Record* record);
  Sources sourcesForABRecordRefs(const ab::AddressBook::Records& records);
  std::shared_ptr<PBSource> sourceForABRecordID(ab::RecordID id);
  Groups groups();
  Groups groupsInSource(const PBSource& source);
  std::shared_ptr<PBGroup> groupForABRecordRef(ab::Record* record);
  Groups groupsForABRecordRefs(const ab::AddressBook::Records& records);
  std::shared_ptr<PBGroup> groupForABRecordID(ab::RecordID id);
  People people();
  People peopleOrderedBySortOrdering(ab::SortOrdering ordering);
  People peopleOrderedByUsersPreference() { return peopleOrderedBySortOrdering(sortOrdering()); }
  People peopleOrderedByFirstName() { return peopleOrderedBySortOrdering(ab::SortOrdering::ByFirstName); }
  People peopleOrderedByLastName() { return peopleOrderedBySortOrdering(ab::SortOrdering::ByLastName); }
  People peopleWithName(std::string_view name);
  std::shared_ptr<PBPerson> personForABRecordRef(ab::Record* record);
  People peopleForABRecordRefs(const ab::AddressBook::Records& records);
  std::shared_ptr<PBPerson> personForABRecordID(ab::RecordID id);

  // Throw fnd::Exception (invalid argument) for a source, person or group of another instance.
  std::shared_ptr<PBPerson> newPersonInDefaultSource();
  std::shared_ptr<PBPerson> newPersonInSource(const std::shared_ptr<PBSource>& source);
  bool addPerson(const std::shared_ptr<PBPerson>& person);
  std::shared_ptr<PBGroup> newGroupInDefaultSource();
  std::shared_ptr<PBGroup> newGroupInSource(const std::shared_ptr<PBSource>& source);
  bool addGroup(const std::shared_ptr<PBGroup>& group);
  bool removePerson(const PBPerson& person, std::optional<fnd::Error>* error = nullptr);
  bool removeGroup(const PBGroup& group, std::optional<fnd::Error>* error = nullptr);

  People addPeopleFromVCardRepresentationToDefaultSource(const fnd::Data& vCard);
  People addPeopleFromVCardRepresentation(const fnd::Data& vCard, const std::shared_ptr<PBSource>& source);
  fnd::Ref<fnd::Data> vCardRepresentationForPeople(const People& people);

  bool save();
  bool save(std::optional<fnd::Error>* error);
  bool hasUnsavedChanges();
  // Whether another instance or program saved since this instance last read the book.
  bool hasExternalChanges();
  void revert();
  // Rereads the stored state unless this instance has changes of its own.
  void addressBookExternallyChanged();

  static ab::SortOrdering sortOrdering();
  static bool orderByFirstName() { return sortOrdering() == ab::SortOrdering::ByFirstName; }
  static bool orderByLastName() { return sortOrdering() == ab::SortOrdering::ByLastName; }
  static ab::CompositeNameFormat compositeNameFormat();
  static bool compositeNameFormatFirstNameFirst() {
    return compositeNameFormat() == ab::CompositeNameFormat::FirstNameFirst;
  }
  static bool compositeNameFormatLastNameFirst() {
    return compositeNameFormat() == ab::CompositeNameFormat::LastNameFirst;
  }

  static bool isGeocodingSupported();
  static bool isPreemptiveGeocodingEnabled();
  static void setPreemptiveGeocodingEnabled(bool enabled);
  float preemptiveGeocodingProgress() const;
  fnd::Ref<geo::Placemark> placemarkForPerson(const PBPerson& person, ab::MultiValueIdentifier addressID) const;
  fnd::Ref<geo::Location> locationForPerson(const PBPerson& person, ab::MultiValueIdentifier addressID) const;
  People peopleWithinDistance(double distance, const geo::Location& location);
  std::shared_ptr<PBPerson> personClosestToLocation(const geo::Location& location, double* distanceOut = nullptr);

  // Registry maintenance for PBRecord; on the instance's thread, waiting.
  void _recordCheckIn(const std::shared_ptr<PBRecord>& record);
  void _recordCheckOut(const PBRecord* record);

 private:
  struct Registries;
  PBAddressBook();
  template <class T>
  std::shared_ptr<T> wrapperFor(ab::Record* record, ab::RecordType type);
  template <class T>
  std::vector<std::shared_ptr<T>> wrappersFor(const ab::AddressBook::Records& records, ab::RecordType type);
  void checkOwnSource(const std::shared_ptr<PBSource>& source) const;
  bool addRecord(const std::shared_ptr<PBRecord>& record, const char* foreignReason, const char* logFormat);

  std::unique_ptr<dispatch::BlockThread> m_thread;
  fnd::Ref<ab::AddressBook> m_addressBookRef;
  PBAddressBookSharedServices* m_sharedServices = nullptr;
  std::unique_ptr<Registries> m_registries;  // touched only on m_thread
};

}  // namespace pb
