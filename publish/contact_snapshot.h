#pragma once
// Reads the protection contact out of the application's own address book in
// the form the publishing targets write. Runs on the caller's thread, which
// waits while the address book's own thread reads.

#include <optional>

#include "publish/publish_target.h"

namespace abm {
class AddressBookManagerV2;
}  // namespace abm
namespace pb {
class PBPerson;
}  // namespace pb

namespace publish {

// The contact's organisation, labelled numbers in their stored order and image.
ContactSnapshot snapshotOfPerson(const pb::PBPerson& person);

// The manager's protection contact; nothing when there is none.
std::optional<ContactSnapshot> protectionContactSnapshot(abm::AddressBookManagerV2& manager);

}  // namespace publish
