#pragma once
// vCard 3.0 export and import of people: names, organisation, notes, dates,
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
// `data`; malformed lines are skipped, never fatal.
std::vector<fnd::Ref<Record>> createPeopleFromVCardRepresentation(std::string_view data, const Record* source);

}  // namespace ab
