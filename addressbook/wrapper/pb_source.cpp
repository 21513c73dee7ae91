#include "addressbook/wrapper/pb_source.h"

#include <algorithm>

#include "addressbook/wrapper/pb_group.h"
#include "addressbook/wrapper/pb_person.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"

namespace pb {

fnd::Ref<fnd::String> PBSource::name() const {
  const fnd::Ref<fnd::Object> name = getBasicValueForPropertyID(ab::kSourceNameProperty);
  return fnd::Ref<fnd::String>(name && name->kind() == fnd::ObjectKind::String ? static_cast<fnd::String*>(name.get())
                                                                               : nullptr);
}

int PBSource::type() const {
  const fnd::Ref<fnd::Object> type = getBasicValueForPropertyID(ab::kSourceTypeProperty);
  if (!type || type->kind() != fnd::ObjectKind::Number) return ab::kSourceTypeLocal;
  return static_cast<int>(static_cast<const fnd::Number&>(*type).int64Value());
}

PBAddressBook::Groups PBSource::groups() const { return addressBook()->groupsInSource(*this); }

PBAddressBook::People PBSource::peopleSorted(std::optional<ab::SortOrdering> ordering) const {
  PBAddressBook::People people;
  const std::shared_ptr<PBAddressBook>& book = addressBook();
  book->performAddressBookAction([&](ab::AddressBook& platform) {
    ab::AddressBook::Records records = platform.peopleInSource(*recordRef());
    if (ordering)
      std::stable_sort(records.begin(), records.end(), [&ordering](const auto& a, const auto& b) {
        return ab::comparePeopleByName(*a, *b, *ordering) < 0;
      });
    people = book->peopleForABRecordRefs(records);
  });
  return people;
}

PBAddressBook::People PBSource::people() const { return peopleSorted(std::nullopt); }

PBAddressBook::People PBSource::peopleOrderedBySortOrdering(ab::SortOrdering ordering) const {
  return peopleSorted(ordering);
}

std::shared_ptr<PBPerson> PBSource::newPerson() {
  return addressBook()->newPersonInSource(std::static_pointer_cast<PBSource>(shared_from_this()));
}

std::shared_ptr<PBGroup> PBSource::newGroup() {
  return addressBook()->newGroupInSource(std::static_pointer_cast<PBSource>(shared_from_this()));
}

PBAddressBook::People PBSource::addPeopleFromVCardRepresentation(const fnd::Data& vCard) {
  return addressBook()->addPeopleFromVCardRepresentation(vCard, std::static_pointer_cast<PBSource>(shared_from_this()));
}

fnd::Ref<fnd::Data> PBSource::vCardRepresentationForPeople() const {
  return addressBook()->vCardRepresentationForPeople(people());
}

std::string PBSource::description() const {
  return fnd::formatString("<%s: %p> name:%s type:%i", className(), static_cast<const void*>(this),
                           textOrNull(name().get()).c_str(), type());
}

}  // namespace pb
