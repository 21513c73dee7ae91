#pragma once
// PBSource: an account that holds people and groups (0 is the local source).
// Thread-safe like every PBRecord.

#include <vector>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_record.h"

namespace pb {

class PBSource final : public PBRecord {
 public:
  fnd::Ref<fnd::String> name() const;
  // The source's kind; a source without one reads as local (0).
  int type() const;
  PBAddressBook::Groups groups() const;
  PBAddressBook::People people() const;
  PBAddressBook::People peopleOrderedBySortOrdering(ab::SortOrdering ordering) const;
  PBAddressBook::People peopleOrderedByFirstName() const {
    return peopleOrderedBySortOrdering(ab::SortOrdering::ByFirstName);
  }
  PBAddressBook::People peopleOrderedByLastName() const {
    return peopleOrderedBySortOrdering(ab::SortOrdering::ByLastName);
  }
  PBAddressBook::People peopleOrderedByUsersPreference() const {
    return peopleOrderedBySortOrdering(PBAddressBook::sortOrdering());
  }
  std::shared_ptr<PBPerson> newPerson();
  std::shared_ptr<PBGroup> newGroup();
  PBAddressBook::People addPeopleFromVCardRepresentation(const fnd::Data& vCard);
  fnd::Ref<fnd::Data> vCardRepresentationForPeople() const;

  const char* className() const override { return "PBSource"; }
  std::string description() const override;

 private:
  friend class PBRecord;
  using PBRecord::PBRecord;
  PBAddressBook::People peopleSorted(std::optional<ab::SortOrdering> ordering) const;
};

}  // namespace pb
