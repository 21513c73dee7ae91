#pragma once
// A number the person adds by hand: kept as a record of their own in the
// record store, beside the downloaded list, and never replaced by a new list.
// Main thread only (writes the default context).

#include <QString>
#include <optional>

#include "numberlist/contact.h"

namespace app {

// The typed number as it is stored, without spaces; none when it is too
// short to be a phone number.
std::optional<QString> acceptedHandAddedNumber(const QString& typed);

// The person's own words for a number that was refused as too short.
QString handAddedNumberRefusal();

// Stores the record and saves; a record without a firm is stored as "Ukjent".
fnd::Ref<numberlist::Contact> storeHandAddedNumber(const QString& number, const QString& firm, const QString& homepage);

}  // namespace app
