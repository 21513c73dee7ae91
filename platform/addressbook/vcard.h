#pragma once
// vCard export (3.0) and import (3.0 and 2.1, with quoted-printable values and
// named character sets) of people: names, organisation, notes, dates,
// labelled phone numbers, e-mail and postal addresses and the other labelled
// lists, and the image. Labels the format has no type for travel as grouped
// X-ABLabel lines. Pure functions; safe from any thread that may read the records.

#include <string>
#include <string_view>
#include <vector>

#include "platform/addressbook/record.h"

namespace ab {

// The people as one vCard document (CRLF line ends, lines folded at 75 octets).
std::string vCardRepresentationWithPeople(const std::vector<fnd::Ref<Record>>& people);

// New people of `source` (not yet in an address book) for every card in
// `data`, in the order the cards begin; malformed lines are skipped, never
// fatal. A card inside another, or one without its END line, is read whole.
std::vector<fnd::Ref<Record>> createPeopleFromVCardRepresentation(std::string_view data, const Record* source);

}  // namespace ab
