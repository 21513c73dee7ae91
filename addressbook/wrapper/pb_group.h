#pragma once
// PBGroup: a named set of people of one address-book instance.
// Thread-safe like every PBRecord.

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_record.h"

namespace pb {

class PBGroup final : public PBRecord {
 public:
  // A new group for `source`'s instance, not yet added; the platform places it
  // in its default source when it is added. Null without a source.
  static std::shared_ptr<PBGroup> newGroupInSource(const std::shared_ptr<PBSource>& source);

  fnd::Ref<fnd::String> name() const;
  void setName(const fnd::String* name);
  std::shared_ptr<PBSource> source() const;
  std::size_t count() const { return members().size(); }
  // Refuses (false) a person of another instance.
  bool addMember(const PBPerson& person);
  bool removeMember(const PBPerson& person);
  void removeAllMembers();
  PBAddressBook::People members() const;
  PBAddressBook::People membersOrderedBySortOrdering(ab::SortOrdering ordering) const;
  PBAddressBook::People membersOrderedByFirstName() const {
    return membersOrderedBySortOrdering(ab::SortOrdering::ByFirstName);
  }
  PBAddressBook::People membersOrderedByLastName() const {
    return membersOrderedBySortOrdering(ab::SortOrdering::ByLastName);
  }
  PBAddressBook::People membersOrderedByUsersPreference() const {
    return membersOrderedBySortOrdering(PBAddressBook::sortOrdering());
  }
  fnd::Ref<fnd::Data> vCardRepresentationForMembers() const;
  PBAddressBook::People membersWithinDistance(double distance, const geo::Location& location) const;
  bool remove();

  const char* className() const override { return "PBGroup"; }
  std::string description() const override;

 private:
  friend class PBRecord;
  using PBRecord::PBRecord;
  PBAddressBook::People membersSorted(std::optional<ab::SortOrdering> ordering) const;
  bool changeMember(const PBPerson& person, bool add);
};

}  // namespace pb
