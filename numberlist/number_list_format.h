#pragma once
// The number list's format: from the body the list service sends to the item
// dictionaries, and from one item dictionary to the fields of a record.

#include <cstdint>
#include <string_view>

#include "numberlist/contact.h"
#include "platform/foundation/containers.h"
#include "platform/foundation/data.h"

namespace numberlist {

// The list's items: the "telefonnumre" array of the body's top-level object,
// or null when the body does not decode to an object holding an array there.
fnd::Ref<fnd::Array> itemsFromListBody(const fnd::Data& body);

// A rank given as text: its leading integer after optional white space and an
// optional sign, clamped to the 32-bit range; 0 when no digit comes first.
std::int32_t rankFromText(std::string_view text);

// Whether `item` can become a record: only dictionaries can.
bool isListItem(const fnd::Object* item);

// Whether `item` is a list item that gives a phone number as text; a list
// without one such item is no usable list, whatever else it holds.
bool givesPhoneNumber(const fnd::Object* item);

// Sets the record's fields from one item dictionary. Members of another type
// than the format gives are treated as missing.
void fillRecordFromItem(Contact& record, const fnd::Dictionary& item);

}  // namespace numberlist
