#pragma once
// The protection contact manager's protocols. IManageAddressBook is how its
// owners drive it; IManageAddressBookDelegate how it reports. Every report is
// optional: the manager asks at the moment of each report whether the
// delegate implements it, and skips it (with no hand-over to the main thread)
// when it does not. Derive delegates from ManageAddressBookDelegate<Self>,
// which answers that question from the messages the class overrides.

#include <cstddef>
#include <type_traits>

#include "numberlist/contact.h"
#include "platform/foundation/error.h"

namespace abm {

class IManageAddressBookDelegate {
 public:
  enum class Message {
    CleaningUpBeforeImport,
    DidUpdateProgress,
    ImportStartedSaving,
    DidImportContacts,
    DidFailImportOfContactsWithError,
    DidRemoveContacts,
    DidFailWhenRemovingContacts,
    DidImportNewContact,
    DidFailImportNewContact,
  };

  virtual ~IManageAddressBookDelegate() = default;
  virtual bool respondsToMessage(Message message) const = 0;

  virtual void cleaningUpBeforeImport() {}
  virtual void didUpdateProgress() {}
  virtual void importStartedSaving() {}
  virtual void didImportContacts() {}
  virtual void didFailImportOfContactsWithError(const fnd::Error& /*error*/) {}
  virtual void didRemoveContacts() {}
  virtual void didFailWhenRemovingContacts() {}
  virtual void didImportNewContact() {}
  virtual void didFailImportNewContact() {}
};

// Answers respondsToMessage() with the messages that `Self` overrides: a
// message it does not declare resolves to the base's member, whose type names
// the base class.
template <class Self>
class ManageAddressBookDelegate : public IManageAddressBookDelegate {
 public:
  bool respondsToMessage(Message message) const final {
    switch (message) {
      case Message::CleaningUpBeforeImport:
        return overrides<decltype(&Self::cleaningUpBeforeImport)>();
      case Message::DidUpdateProgress:
        return overrides<decltype(&Self::didUpdateProgress)>();
      case Message::ImportStartedSaving:
        return overrides<decltype(&Self::importStartedSaving)>();
      case Message::DidImportContacts:
        return overrides<decltype(&Self::didImportContacts)>();
      case Message::DidFailImportOfContactsWithError:
        return overrides<decltype(&Self::didFailImportOfContactsWithError)>();
      case Message::DidRemoveContacts:
        return overrides<decltype(&Self::didRemoveContacts)>();
      case Message::DidFailWhenRemovingContacts:
        return overrides<decltype(&Self::didFailWhenRemovingContacts)>();
      case Message::DidImportNewContact:
        return overrides<decltype(&Self::didImportNewContact)>();
      case Message::DidFailImportNewContact:
        return overrides<decltype(&Self::didFailImportNewContact)>();
    }
    return false;
  }

 private:
  template <class MemberPointer>
  static constexpr bool overrides() {
    return !std::is_same_v<MemberPointer, void (IManageAddressBookDelegate::*)()> &&
           !std::is_same_v<MemberPointer, void (IManageAddressBookDelegate::*)(const fnd::Error&)>;
  }
};

class IManageAddressBook {
 public:
  virtual ~IManageAddressBook() = default;
  // Rebuilds the protection contact from `records`, in their order, in the background.
  virtual void importLocalContactsInBackground(const numberlist::Contact::List& records) = 0;
  // Removes every protection contact, in the background.
  virtual void removeImportedContactInBackground() = 0;
  // The numbers on the protection contact; 0 without one.
  virtual std::size_t countOfMembers() = 0;
  // Whether the address book may be used (asks the person the first time).
  virtual bool hasAccessToAddressBook() = 0;
  // Finds the local source that holds the protection contact.
  virtual bool hasLocalSource() = 0;
  // Appends the record's number to the protection contact, in the background.
  virtual void importNewLocalContactInBackground(const fnd::Ref<numberlist::Contact>& record) = 0;
  virtual double progress() const = 0;
  virtual double maxProgress() const = 0;
};

}  // namespace abm
