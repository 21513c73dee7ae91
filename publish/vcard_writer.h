#pragma once
// The protection contact as one vCard 3.0 card: every number a grouped TEL
// line whose X-ABLabel is the firm, so that address books that know no free
// labels still keep them. Pure function; safe from any thread.

#include <string>
#include <string_view>

#include "publish/publish_target.h"

namespace publish {

// The card's UID, the same for every publication, so that each target
// replaces the card written before instead of adding one.
inline constexpr std::string_view kProtectionContactUid = "72696e6765706c61677665726e@ringeplagvern";

// The card in UTF-8 with CRLF line ends, lines folded at 75 octets.
std::string vCardForContact(const ContactSnapshot& contact);

}  // namespace publish
