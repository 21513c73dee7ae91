#include "addressbook/wrapper/pb_address_book.h"

#include <algorithm>

#include "addressbook/wrapper/pb_geo_result.h"
#include "addressbook/wrapper/pb_group.h"
#include "addressbook/wrapper/pb_log.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_shared_services.h"
#include "addressbook/wrapper/pb_source.h"
#include "platform/addressbook/vcard.h"
#include "platform/foundation/exception.h"
#include "platform/geocoding/geocoder.h"

namespace pb {

namespace {

// A registry holds each live wrapper weakly, keyed by its address, so that a
// lookup never revives a wrapper that is being destroyed.
using Registry = std::vector<std::pair<const PBRecord*, std::weak_ptr<PBRecord>>>;

[[noreturn]] void throwInvalidArgument(const char* reason) {
  throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, reason);
}

}  // namespace

struct PBAddressBook::Registries {
  Registry sources;
  Registry groups;
  Registry people;

  Registry& forType(ab::RecordType type) {
    switch (type) {
      case ab::RecordType::Source:
        return sources;
      case ab::RecordType::Group:
        return groups;
      case ab::RecordType::Person:
        break;
    }
    return people;
  }
};

std::shared_ptr<PBAddressBook> PBAddressBook::create() {
  std::shared_ptr<PBAddressBook> book(new PBAddressBook);
  book->m_thread = std::make_unique<dispatch::BlockThread>(
      fnd::formatString("PBAddressBookInstanceThread for instance %p", static_cast<const void*>(book.get())));
  book->m_sharedServices = &PBAddressBookSharedServices::sharedInstance();
  bool created = false;
  book->m_thread->sync([&] {
    std::optional<fnd::Error> error;
    book->m_addressBookRef = ab::AddressBook::create(&error);
    created = static_cast<bool>(book->m_addressBookRef);
    if (!created)
      RP_LOG(
          fnd::formatString("Error: Failed to create PBAddressBook instance. Underlying "
                            "ABAddressBookCreateWithOptions() failed with error: %s",
                            PBErrorDescription(error).c_str()));
    else
      book->m_registries = std::make_unique<Registries>();
  });
  return created ? book : nullptr;
}

PBAddressBook::PBAddressBook() = default;

PBAddressBook::~PBAddressBook() {
  m_sharedServices = nullptr;
  // The platform book belongs to the thread: let it go there, then end the thread.
  m_thread->sync([this] {
    m_addressBookRef = nullptr;
    m_registries.reset();
  });
  m_thread->cancel();
}

ab::AuthorizationStatus PBAddressBook::authorizationStatus() { return ab::AddressBook::authorizationStatus(); }

void PBAddressBook::requestAuthorizationWithCompletion(
    std::function<void(bool granted, std::optional<fnd::Error> error)> completion) {
  performAddressBookAction([completion = std::move(completion)](ab::AddressBook& book) {
    book.requestAccess([completion](bool granted, std::optional<fnd::Error> error) {
      if (completion) completion(granted, std::move(error));
    });
  });
}

void PBAddressBook::performAddressBookAction(const Action& action, bool waitUntilDone) {
  // The block holds its own reference, so the platform book outlives an action that does not wait.
  m_thread->perform([book = m_addressBookRef, action] { action(*book); }, waitUntilDone);
}

template <class T>
std::shared_ptr<T> PBAddressBook::wrapperFor(ab::Record* record, ab::RecordType type) {
  if (!record) return nullptr;
  std::shared_ptr<T> wrapper;
  m_thread->sync([&] {
    Registry& registry = m_registries->forType(type);
    const auto find = [&registry](auto&& matches) -> std::shared_ptr<T> {
      for (const auto& [raw, weak] : registry)
        if (matches(*raw))
          if (std::shared_ptr<PBRecord> alive = weak.lock()) return std::static_pointer_cast<T>(alive);
      return nullptr;
    };
    wrapper = find([record](const PBRecord& candidate) { return candidate.recordRef().get() == record; });
    if (wrapper) return;
    const ab::RecordID id = record->recordID();
    if (id == ab::kInvalidRecordID) return;
    wrapper = find([id](const PBRecord& candidate) { return candidate.recordRef()->recordID() == id; });
    if (wrapper) return;
    // The record found in this instance, not the one passed in, which may belong to another.
    if (ab::Record* own = m_addressBookRef->recordWithID(type, id))
      wrapper = PBRecord::make<T>(shared_from_this(), fnd::Ref<ab::Record>(own));
  });
  return wrapper;
}

template <class T>
std::vector<std::shared_ptr<T>> PBAddressBook::wrappersFor(const ab::AddressBook::Records& records,
                                                           ab::RecordType type) {
  std::vector<std::shared_ptr<T>> wrappers;
  m_thread->sync([&] {
    for (const fnd::Ref<ab::Record>& record : records)
      if (std::shared_ptr<T> wrapper = wrapperFor<T>(record.get(), type)) wrappers.push_back(std::move(wrapper));
  });
  return wrappers;
}

std::shared_ptr<PBSource> PBAddressBook::sourceForABRecordRef(ab::Record* record) {
  return wrapperFor<PBSource>(record, ab::RecordType::Source);
}
PBAddressBook::Sources PBAddressBook::sourcesForABRecordRefs(const ab::AddressBook::Records& records) {
  return wrappersFor<PBSource>(records, ab::RecordType::Source);
}
std::shared_ptr<PBGroup> PBAddressBook::groupForABRecordRef(ab::Record* record) {
  return wrapperFor<PBGroup>(record, ab::RecordType::Group);
}
PBAddressBook::Groups PBAddressBook::groupsForABRecordRefs(const ab::AddressBook::Records& records) {
  return wrappersFor<PBGroup>(records, ab::RecordType::Group);
}
std::shared_ptr<PBPerson> PBAddressBook::personForABRecordRef(ab::Record* record) {
  return wrapperFor<PBPerson>(record, ab::RecordType::Person);
}
PBAddressBook::People PBAddressBook::peopleForABRecordRefs(const ab::AddressBook::Records& records) {
  return wrappersFor<PBPerson>(records, ab::RecordType::Person);
}

std::shared_ptr<PBSource> PBAddressBook::sourceForABRecordID(ab::RecordID id) {
  std::shared_ptr<PBSource> source;
  performAddressBookAction(
      [&](ab::AddressBook& book) { source = sourceForABRecordRef(book.recordWithID(ab::RecordType::Source, id)); });
  return source;
}

std::shared_ptr<PBGroup> PBAddressBook::groupForABRecordID(ab::RecordID id) {
  std::shared_ptr<PBGroup> group;
  performAddressBookAction(
      [&](ab::AddressBook& book) { group = groupForABRecordRef(book.recordWithID(ab::RecordType::Group, id)); });
  return group;
}

std::shared_ptr<PBPerson> PBAddressBook::personForABRecordID(ab::RecordID id) {
  std::shared_ptr<PBPerson> person;
  performAddressBookAction(
      [&](ab::AddressBook& book) { person = personForABRecordRef(book.recordWithID(ab::RecordType::Person, id)); });
  return person;
}

PBAddressBook::Sources PBAddressBook::sources() {
  Sources sources;
  performAddressBookAction([&](ab::AddressBook& book) { sources = sourcesForABRecordRefs(book.allSources()); });
  return sources;
}

std::shared_ptr<PBSource> PBAddressBook::defaultSource() {
  std::shared_ptr<PBSource> source;
  performAddressBookAction([&](ab::AddressBook& book) { source = sourceForABRecordRef(book.defaultSource()); });
  return source;
}

PBAddressBook::Groups PBAddressBook::groups() {
  Groups groups;
  performAddressBookAction([&](ab::AddressBook& book) { groups = groupsForABRecordRefs(book.allGroups()); });
  return groups;
}

PBAddressBook::Groups PBAddressBook::groupsInSource(const PBSource& source) {
  Groups groups;
  performAddressBookAction(
      [&](ab::AddressBook& book) { groups = groupsForABRecordRefs(book.groupsInSource(*source.recordRef())); });
  return groups;
}

PBAddressBook::People PBAddressBook::people() {
  People people;
  performAddressBookAction([&](ab::AddressBook& book) { people = peopleForABRecordRefs(book.allPeople()); });
  return people;
}

PBAddressBook::People PBAddressBook::peopleOrderedBySortOrdering(ab::SortOrdering ordering) {
  People people;
  performAddressBookAction([&](ab::AddressBook& book) {
    ab::AddressBook::Records records = book.allPeople();
    std::stable_sort(records.begin(), records.end(), [ordering](const auto& a, const auto& b) {
      return ab::comparePeopleByName(*a, *b, ordering) < 0;
    });
    people = peopleForABRecordRefs(records);
  });
  return people;
}

PBAddressBook::People PBAddressBook::peopleWithName(std::string_view name) {
  People people;
  performAddressBookAction([&](ab::AddressBook& book) { people = peopleForABRecordRefs(book.peopleWithName(name)); });
  return people;
}

void PBAddressBook::checkOwnSource(const std::shared_ptr<PBSource>& source) const {
  if (source && source->addressBook().get() != this)
    throwInvalidArgument("Error: PBSource object does not belong to this addressbook instance.");
}

std::shared_ptr<PBPerson> PBAddressBook::newPersonInDefaultSource() {
  std::shared_ptr<PBPerson> person = PBPerson::newPersonInSource(defaultSource());
  if (person) addPerson(person);
  return person;
}

std::shared_ptr<PBPerson> PBAddressBook::newPersonInSource(const std::shared_ptr<PBSource>& source) {
  checkOwnSource(source);
  std::shared_ptr<PBPerson> person = PBPerson::newPersonInSource(source);
  if (person) addPerson(person);  // a missing person is never handed to the platform
  return person;
}

bool PBAddressBook::addPerson(const std::shared_ptr<PBPerson>& person) {
  return addRecord(person, "Person has already been added to another addressbook.",
                   "Error: Failed to add PBPerson to AddressBook: error: %s");
}

std::shared_ptr<PBGroup> PBAddressBook::newGroupInDefaultSource() {
  std::shared_ptr<PBGroup> group = PBGroup::newGroupInSource(defaultSource());
  if (group) addGroup(group);
  return group;
}

std::shared_ptr<PBGroup> PBAddressBook::newGroupInSource(const std::shared_ptr<PBSource>& source) {
  checkOwnSource(source);
  std::shared_ptr<PBGroup> group = PBGroup::newGroupInSource(source);
  if (group) addGroup(group);
  return group;
}

bool PBAddressBook::addGroup(const std::shared_ptr<PBGroup>& group) {
  return addRecord(group, "Group has already been added to another addressbook.",
                   "Error: Failed to add PBGroup to AddressBook: error: %s");
}

bool PBAddressBook::addRecord(const std::shared_ptr<PBRecord>& record, const char* foreignReason,
                              const char* logFormat) {
  if (!record) return false;
  if (record->addressBook() && record->addressBook().get() != this) throwInvalidArgument(foreignReason);
  bool added = false;
  performAddressBookAction([&](ab::AddressBook& book) {
    std::optional<fnd::Error> error;
    added = book.addRecord(record->recordRef().get(), &error);
    if (added)
      _recordCheckIn(record);
    else
      RP_LOG(fnd::formatString(logFormat, PBErrorDescription(error).c_str()));
  });
  return added;
}

bool PBAddressBook::removePerson(const PBPerson& person, std::optional<fnd::Error>* error) {
  if (person.addressBook().get() != this) throwInvalidArgument("Person does not belong to this addressbook instance.");
  bool removed = false;
  performAddressBookAction(
      [&](ab::AddressBook& book) { removed = book.removeRecord(person.recordRef().get(), error); });
  return removed;
}

bool PBAddressBook::removeGroup(const PBGroup& group, std::optional<fnd::Error>* error) {
  if (group.addressBook().get() != this) throwInvalidArgument("Group does not belong to this addressbook instance.");
  bool removed = false;
  performAddressBookAction([&](ab::AddressBook& book) { removed = book.removeRecord(group.recordRef().get(), error); });
  return removed;
}

PBAddressBook::People PBAddressBook::addPeopleFromVCardRepresentationToDefaultSource(const fnd::Data& vCard) {
  return addPeopleFromVCardRepresentation(vCard, defaultSource());
}

PBAddressBook::People PBAddressBook::addPeopleFromVCardRepresentation(const fnd::Data& vCard,
                                                                      const std::shared_ptr<PBSource>& source) {
  People added;
  performAddressBookAction([&](ab::AddressBook& book) {
    const ab::Record* sourceRecord = source ? source->recordRef().get() : nullptr;
    for (const fnd::Ref<ab::Record>& record : ab::createPeopleFromVCardRepresentation(vCard.view(), sourceRecord))
      if (record && book.addRecord(record.get(), nullptr))
        added.push_back(PBRecord::make<PBPerson>(shared_from_this(), record));
  });
  return added;
}

fnd::Ref<fnd::Data> PBAddressBook::vCardRepresentationForPeople(const People& people) {
  // Read on this instance's thread: the records may be changing on it.
  std::string vCard;
  performAddressBookAction([&](ab::AddressBook&) {
    std::vector<fnd::Ref<ab::Record>> records;
    for (const std::shared_ptr<PBPerson>& person : people)
      if (person && person->recordRef()) records.push_back(person->recordRef());
    vCard = ab::vCardRepresentationWithPeople(records);
  });
  return fnd::Data::create(std::move(vCard));
}

bool PBAddressBook::save(std::optional<fnd::Error>* error) {
  bool saved = false;
  performAddressBookAction([&](ab::AddressBook& book) {
    // Nothing to write: no transaction, no change seen by other programs.
    saved = !book.hasUnsavedChanges() || book.save(error);
  });
  return saved;
}

bool PBAddressBook::save() {
  std::optional<fnd::Error> error;
  const bool saved = save(&error);
  if (!saved) RP_LOG(fnd::formatString("PBAddressBook: Error saving: %s", PBErrorDescription(error).c_str()));
  return saved;
}

bool PBAddressBook::hasUnsavedChanges() {
  bool changed = false;
  performAddressBookAction([&](ab::AddressBook& book) { changed = book.hasUnsavedChanges(); });
  return changed;
}

bool PBAddressBook::hasExternalChanges() {
  bool changed = false;
  performAddressBookAction([&](ab::AddressBook& book) { changed = book.hasExternalChanges(); });
  return changed;
}

void PBAddressBook::revert() {
  performAddressBookAction([](ab::AddressBook& book) { book.revert(); });
}

void PBAddressBook::addressBookExternallyChanged() {
  performAddressBookAction([](ab::AddressBook& book) {
    if (!book.hasUnsavedChanges()) book.revert();
  });
}

ab::SortOrdering PBAddressBook::sortOrdering() { return ab::sortOrdering(); }

ab::CompositeNameFormat PBAddressBook::compositeNameFormat() { return ab::compositeNameFormat(); }

bool PBAddressBook::isGeocodingSupported() { return PBAddressBookSharedServices::isGeocodingSupported(); }

bool PBAddressBook::isPreemptiveGeocodingEnabled() {
  return PBAddressBookSharedServices::isPreemptiveGeocodingEnabled();
}

void PBAddressBook::setPreemptiveGeocodingEnabled(bool enabled) {
  PBAddressBookSharedServices::setPreemptiveGeocodingEnabled(enabled);
}

float PBAddressBook::preemptiveGeocodingProgress() const { return m_sharedServices->preemptiveGeocodingProgress(); }

fnd::Ref<geo::Placemark> PBAddressBook::placemarkForPerson(const PBPerson& person,
                                                           ab::MultiValueIdentifier addressID) const {
  return m_sharedServices->placemarkForPersonID(person.recordID(), addressID);
}

fnd::Ref<geo::Location> PBAddressBook::locationForPerson(const PBPerson& person,
                                                         ab::MultiValueIdentifier addressID) const {
  return m_sharedServices->locationForPersonID(person.recordID(), addressID);
}

PBAddressBook::People PBAddressBook::peopleWithinDistance(double distance, const geo::Location& location) {
  const auto results = m_sharedServices->geoResultsWithinDistance(distance, location);
  People people;
  performAddressBookAction([&](ab::AddressBook&) {
    for (const auto& result : results)
      if (std::shared_ptr<PBPerson> person = personForABRecordID(result->personID()))
        people.push_back(std::move(person));
  });
  return people;
}

std::shared_ptr<PBPerson> PBAddressBook::personClosestToLocation(const geo::Location& location, double* distanceOut) {
  const auto result = m_sharedServices->geoResultClosestToLocation(location, distanceOut);
  return result ? personForABRecordID(result->personID()) : nullptr;
}

void PBAddressBook::_recordCheckIn(const std::shared_ptr<PBRecord>& record) {
  if (!record) return;
  m_thread->sync([&] {
    Registry& registry = m_registries->forType(record->recordRef()->recordType());
    const bool present = std::any_of(registry.begin(), registry.end(),
                                     [&record](const auto& entry) { return entry.first == record.get(); });
    if (!present) registry.emplace_back(record.get(), record);
  });
}

void PBAddressBook::_recordCheckOut(const PBRecord* record) {
  if (!record) return;
  m_thread->sync([&] {
    if (!m_registries) return;
    Registry& registry = m_registries->forType(record->recordRef()->recordType());
    std::erase_if(registry, [record](const auto& entry) { return entry.first == record; });
  });
}

}  // namespace pb
