#include "addressbook/wrapper/pb_group.h"

#include <algorithm>

#include "addressbook/wrapper/pb_log.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_source.h"
#include "platform/foundation/exception.h"

namespace pb {

std::shared_ptr<PBGroup> PBGroup::newGroupInSource(const std::shared_ptr<PBSource>& source) {
  if (!source) return nullptr;
  return PBRecord::make<PBGroup>(source->addressBook(), ab::Record::createGroup());
}

fnd::Ref<fnd::String> PBGroup::name() const {
  const fnd::Ref<fnd::Object> name = getBasicValueForPropertyID(ab::kGroupNameProperty);
  return fnd::Ref<fnd::String>(name && name->kind() == fnd::ObjectKind::String ? static_cast<fnd::String*>(name.get())
                                                                               : nullptr);
}

void PBGroup::setName(const fnd::String* name) {
  std::optional<fnd::Error> error;
  if (!setBasicValue(const_cast<fnd::String*>(name), ab::kGroupNameProperty, &error))
    RP_LOG(fnd::formatString("-[PBGroup %s] error:%s", "setName:", PBErrorDescription(error).c_str()));
}

std::shared_ptr<PBSource> PBGroup::source() const {
  ab::RecordID sourceID = ab::kInvalidRecordID;
  performRecordAction([&sourceID](ab::Record& record) { sourceID = record.sourceID(); });
  return addressBook() ? addressBook()->sourceForABRecordID(sourceID) : nullptr;
}

bool PBGroup::changeMember(const PBPerson& person, bool add) {
  bool changed = false;
  performRecordAction([&](ab::Record& group) {
    std::optional<fnd::Error> error;
    changed =
        add ? group.addMember(person.recordRef().get(), &error) : group.removeMember(person.recordRef().get(), &error);
    if (!changed)
      RP_LOG(fnd::formatString(add ? "PBGroup: Error adding member. %s" : "PBGroup: Error removing member. %s",
                               PBErrorDescription(error).c_str()));
  });
  return changed;
}

bool PBGroup::addMember(const PBPerson& person) {
  return person.addressBook() == addressBook() && changeMember(person, true);
}

bool PBGroup::removeMember(const PBPerson& person) { return changeMember(person, false); }

void PBGroup::removeAllMembers() {
  for (const std::shared_ptr<PBPerson>& member : members()) removeMember(*member);
}

PBAddressBook::People PBGroup::membersSorted(std::optional<ab::SortOrdering> ordering) const {
  PBAddressBook::People people;
  if (!addressBook()) return people;
  performRecordAction([&](ab::Record& group) {
    ab::AddressBook::Records records = group.members();
    if (ordering)
      std::stable_sort(records.begin(), records.end(), [&ordering](const auto& a, const auto& b) {
        return ab::comparePeopleByName(*a, *b, *ordering) < 0;
      });
    people = addressBook()->peopleForABRecordRefs(records);
  });
  return people;
}

PBAddressBook::People PBGroup::members() const { return membersSorted(std::nullopt); }

PBAddressBook::People PBGroup::membersOrderedBySortOrdering(ab::SortOrdering ordering) const {
  return membersSorted(ordering);
}

fnd::Ref<fnd::Data> PBGroup::vCardRepresentationForMembers() const {
  return addressBook()->vCardRepresentationForPeople(members());
}

PBAddressBook::People PBGroup::membersWithinDistance(double distance, const geo::Location& location) const {
  const PBAddressBook::People members = this->members();
  PBAddressBook::People near = addressBook()->peopleWithinDistance(distance, location);
  std::erase_if(near, [&members](const auto& person) {
    return std::find(members.begin(), members.end(), person) == members.end();
  });
  return near;
}

bool PBGroup::remove() { return addressBook()->removeGroup(*this); }

std::string PBGroup::description() const {
  return fnd::formatString("<%s: %p> name:%s", className(), static_cast<const void*>(this),
                           textOrNull(name().get()).c_str());
}

}  // namespace pb
