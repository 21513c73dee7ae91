#pragma once
// The protection contact in the form Evolution Data Server stores: one
// EContact under a fixed UID, so that each save replaces the one before.

#include <libebook/libebook.h>

#include "publish/evolution/glib_handles.h"
#include "publish/publish_target.h"

namespace publish::evolution {

// The same in every book and every run, so a save finds the contact it wrote.
inline constexpr char kProtectionContactUid[] = "ringeplagvern-protection";

// Each number is `itemN.TEL` with the firm as `itemN.X-ABLabel`, the icon an
// inline PNG. Pure conversion; any thread.
GObjectPtr<EContact> makeEdsContact(const ContactSnapshot& contact);

}  // namespace publish::evolution
