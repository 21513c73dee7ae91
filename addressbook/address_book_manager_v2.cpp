#include "addressbook/address_book_manager_v2.h"

#include <QImage>

#include "addressbook/wrapper/pb_multi_value.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_source.h"
#include "platform/addressbook/properties.h"
#include "platform/dispatch/block_thread.h"
#include "platform/dispatch/main_thread.h"
#include "platform/foundation/localization.h"
#include "platform/foundation/string_matching.h"

namespace abm {

using Message = IManageAddressBookDelegate::Message;
using numberlist::Contact;

namespace {

// "note contains[cd] %@" with the marker: case and diacritics do not matter.
bool isProtectionContact(const pb::PBPerson& person) {
  const pb::PBPerson::Text note = person.note();
  return note &&
         fnd::matchString(fnd::StringOperator::Contains, note->utf8(), ProtectionContactNoteMarker, {true, true});
}

// Every protection contact of `source`, in the source's order.
pb::PBAddressBook::People contactsWithNote(const std::shared_ptr<pb::PBSource>& source) {
  pb::PBAddressBook::People contacts;
  if (source) {
    for (auto& person : source->people())
      if (isProtectionContact(*person)) contacts.push_back(std::move(person));
  }
  return contacts;
}

void removeContacts(const pb::PBAddressBook::People& contacts) {
  for (const auto& contact : contacts) contact->remove();
}

// A failed save leaves its changes in the instance, where the next save would
// write them unasked and where records not yet stored cannot be found; the
// instance goes back to what the file holds.
bool saveOrRevert(pb::PBRecord& record) {
  if (record.save()) return true;
  record.revert();
  return false;
}

// The instance keeps what it read; saves made since by another instance (the
// new-number screen's manager) or another program are read in first.
void readOutsideChanges(const pb::PBSource& source) {
  const std::shared_ptr<pb::PBAddressBook>& book = source.addressBook();
  if (book && book->hasExternalChanges()) book->addressBookExternallyChanged();
}

std::shared_ptr<pb::PBMutableMultiValue> mutablePhoneNumbers(const pb::PBPerson& person) {
  if (const pb::PBPerson::List numbers = person.phoneNumbers()) return numbers->mutableCopy();
  return pb::PBMutableMultiValue::create(ab::kMultiStringPropertyType);
}

}  // namespace

std::shared_ptr<AddressBookManagerV2> AddressBookManagerV2::initWithDelegate(IManageAddressBookDelegate* delegate) {
  std::shared_ptr<AddressBookManagerV2> manager(new AddressBookManagerV2(delegate));
  if (manager->hasAccessToAddressBook()) manager->hasLocalSource();
  return manager;
}

bool AddressBookManagerV2::hasAccessToAddressBook() {
  const ab::AuthorizationStatus status = pb::PBAddressBook::authorizationStatus();
  if (status == ab::AuthorizationStatus::Restricted || status == ab::AuthorizationStatus::Denied) return false;
  // Until the person has answered, access counts as granted; a refusal that
  // arrives before the request returns is honoured.
  auto granted = std::make_shared<std::atomic<bool>>(true);
  if (status == ab::AuthorizationStatus::NotDetermined) {
    if (auto book = pb::PBAddressBook::create()) {
      book->requestAuthorizationWithCompletion(
          [granted](bool answer, const std::optional<fnd::Error>&) { granted->store(answer); });
    }
  }
  return granted->load();
}

bool AddressBookManagerV2::hasLocalSource() {
  std::shared_ptr<pb::PBSource> found;
  if (auto book = pb::PBAddressBook::create()) {
    for (const auto& candidate : book->sources()) {
      if (candidate->type() == ab::kSourceTypeLocal) found = candidate;  // the last local source wins
    }
  }
  std::lock_guard lock(m_sourceMutex);
  if (found) m_source = std::move(found);
  return m_source != nullptr;
}

std::shared_ptr<pb::PBSource> AddressBookManagerV2::source() const {
  std::lock_guard lock(m_sourceMutex);
  return m_source;
}

void AddressBookManagerV2::setSource(std::shared_ptr<pb::PBSource> source) {
  std::lock_guard lock(m_sourceMutex);
  m_source = std::move(source);
}

pb::PBAddressBook::People AddressBookManagerV2::allContactsWithNote() { return contactsWithNote(source()); }

std::shared_ptr<pb::PBPerson> AddressBookManagerV2::findContact() {
  // The contact as the file holds it now: a number appended by another
  // instance must be neither missed nor overwritten.
  if (const auto holder = source()) readOutsideChanges(*holder);
  pb::PBAddressBook::People contacts = allContactsWithNote();
  return contacts.empty() ? nullptr : contacts.front();
}

std::size_t AddressBookManagerV2::countOfMembers() {
  const auto contact = findContact();
  if (!contact) return 0;
  const pb::PBPerson::List numbers = contact->phoneNumbers();
  return numbers ? numbers->count() : 0;
}

void AddressBookManagerV2::removeImportedContactWithoutSaving() { removeContacts(allContactsWithNote()); }

// Each operation finds, changes and saves through one source: the main
// thread may replace the manager's source meanwhile, and a change made in
// one source and saved through another would be lost.
bool AddressBookManagerV2::removeImportedContact() {
  const auto holder = source();
  removeContacts(contactsWithNote(holder));
  return holder && saveOrRevert(*holder);
}

AddressBookManagerV2::LabelledNumbers AddressBookManagerV2::labelledNumbers(const Contact::List& records) {
  // Read on the caller's thread, which owns the records' context; the
  // background work gets plain values.
  LabelledNumbers numbers;
  numbers.reserve(records.size());
  for (const auto& record : records) numbers.push_back({record->phoneNumber(), record->firm()});
  return numbers;
}

void AddressBookManagerV2::importLocalContactsInBackground(const Contact::List& records) {
  dispatch::asyncOnNewSerialQueue(
      std::string(kQueueLabel),
      [self = shared_from_this(), numbers = labelledNumbers(records)] { self->importInBackground(numbers); });
}

void AddressBookManagerV2::importInBackground(const LabelledNumbers& numbers) {
  const auto holder = source();
  if (const pb::PBAddressBook::People old = contactsWithNote(holder); !old.empty()) {
    sendCleaningUpBeforeImportDelegate();
    removeContacts(old);
  }
  std::shared_ptr<pb::PBPerson> person = holder ? holder->newPerson() : nullptr;
  if (person) {
    person->setOrganization(fnd::str(ProtectionContactName).get());
    person->setNote(fnd::str(ProtectionContactNoteMarker).get());
    person->setImage(QImage(QString::fromUtf8(kImageName.data(), static_cast<qsizetype>(kImageName.size()))));
  }
  const auto phoneNumbers =
      person ? mutablePhoneNumbers(*person) : pb::PBMutableMultiValue::create(ab::kMultiStringPropertyType);
  m_maxProgress = static_cast<double>(numbers.size());
  m_progress = 0;
  for (const LabelledNumber& entry : numbers) {
    phoneNumbers->addValue(entry.number.get(), entry.firm.get());
    m_progress = m_progress + 1;
    sendUpdateProgressToDelegate();
  }
  if (person) person->setPhoneNumbers(phoneNumbers.get());
  sendStartedSavingToDelegate();
  if (person && saveOrRevert(*person)) {
    sendDidImportContactToDelegate();
  } else {
    sendImportErrorToDelegate();
  }
}

void AddressBookManagerV2::importNewLocalContactInBackground(const fnd::Ref<Contact>& record) {
  LabelledNumber number{record->phoneNumber(), record->firm()};
  dispatch::asyncOnNewSerialQueue(std::string(kQueueLabel), [self = shared_from_this(), number = std::move(number)] {
    self->appendInBackground(number);
  });
}

void AddressBookManagerV2::appendInBackground(const LabelledNumber& number) {
  const auto contact = findContact();
  if (!contact) {
    // Nothing to append to: the number did not reach the contact, and the
    // screen waiting for this add must still hear exactly one answer.
    sendDidFailImportNewContactToDelegate();
    return;
  }
  const auto phoneNumbers = mutablePhoneNumbers(*contact);
  phoneNumbers->addValue(number.number.get(), number.firm.get());
  contact->setPhoneNumbers(phoneNumbers.get());
  if (saveOrRevert(*contact)) {
    sendDidImportNewContactToDelegate();
  } else {
    sendDidFailImportNewContactToDelegate();
  }
}

void AddressBookManagerV2::removeImportedContactInBackground() {
  dispatch::asyncOnNewSerialQueue(std::string(kQueueLabel), [self = shared_from_this()] {
    if (self->removeImportedContact()) {
      self->sendDidRemoveContactToDelegate();
    } else {
      self->sendDidFailWhenRemovingContactToDelegate();
    }
  });
}

template <class Report>
void AddressBookManagerV2::report(Message message, Report&& deliver) {
  IManageAddressBookDelegate* delegate = m_delegate;
  if (!delegate || !delegate->respondsToMessage(message)) return;
  dispatch::performOnMainThread([&] { deliver(*delegate); }, true);
}

void AddressBookManagerV2::sendCleaningUpBeforeImportDelegate() {
  report(Message::CleaningUpBeforeImport, [](IManageAddressBookDelegate& d) { d.cleaningUpBeforeImport(); });
}

void AddressBookManagerV2::sendUpdateProgressToDelegate() {
  // Progress reports do not wait and do not pile up: while one is on its way
  // to the main thread, further numbers only move the counter that report
  // reads when it arrives. A hand-over per number would hold the import to
  // the main thread's pace and keep the main thread busy with captions no
  // one sees between two frames. The report that follows the last number
  // reads the final count, and it arrives before the next waiting report.
  IManageAddressBookDelegate* delegate = m_delegate;
  if (!delegate || !delegate->respondsToMessage(Message::DidUpdateProgress)) return;
  if (m_progressReportPending.exchange(true, std::memory_order_acq_rel)) return;
  dispatch::performOnMainThread(
      [self = shared_from_this(), delegate] {
        // Taking the flag back by exchange pairs with the import's exchange,
        // so the counter read below is at least the one that flag announced.
        self->m_progressReportPending.exchange(false, std::memory_order_acq_rel);
        delegate->didUpdateProgress();
      },
      false);
}

void AddressBookManagerV2::sendStartedSavingToDelegate() {
  report(Message::ImportStartedSaving, [](IManageAddressBookDelegate& d) { d.importStartedSaving(); });
}

void AddressBookManagerV2::sendDidImportContactToDelegate() {
  report(Message::DidImportContacts, [](IManageAddressBookDelegate& d) { d.didImportContacts(); });
}

void AddressBookManagerV2::sendDidFailImportOfContactWithErrorToDelegate(const fnd::Error& error) {
  report(Message::DidFailImportOfContactsWithError,
         [&error](IManageAddressBookDelegate& d) { d.didFailImportOfContactsWithError(error); });
}

void AddressBookManagerV2::sendDidRemoveContactToDelegate() {
  report(Message::DidRemoveContacts, [](IManageAddressBookDelegate& d) { d.didRemoveContacts(); });
}

void AddressBookManagerV2::sendDidFailWhenRemovingContactToDelegate() {
  report(Message::DidFailWhenRemovingContacts, [](IManageAddressBookDelegate& d) { d.didFailWhenRemovingContacts(); });
}

void AddressBookManagerV2::sendDidImportNewContactToDelegate() {
  report(Message::DidImportNewContact, [](IManageAddressBookDelegate& d) { d.didImportNewContact(); });
}

void AddressBookManagerV2::sendDidFailImportNewContactToDelegate() {
  report(Message::DidFailImportNewContact, [](IManageAddressBookDelegate& d) { d.didFailImportNewContact(); });
}

void AddressBookManagerV2::sendImportErrorToDelegate() {
  sendDidFailImportOfContactWithErrorToDelegate(
      fnd::Error::withDescription(std::string(kErrorDomain), kErrorCode, fnd::localizedString(kErrorText)));
}

}  // namespace abm
