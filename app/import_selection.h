#pragma once
// Which records go into the protection contact: every stored record in store
// order, only the approved ones unless the user imports unapproved numbers
// too, and of those the top-ranked ones within the import count plus every
// number added by hand (-1: no rank limit). The records come from the calling
// thread's context.

#include <cstdint>

#include "numberlist/contact.h"

namespace app {

// With the import count and the approval setting given.
numberlist::Contact::List selectRecordsForImport(std::int64_t importCount, bool importUnapproved);
// With the import count of Device and the stored approval setting. Main thread only.
numberlist::Contact::List selectRecordsForImport();

}  // namespace app
