#pragma once
// The numbers of an address-book file taken in as numbers added by hand, each
// with its card's firm; a number already stored (or met earlier in the file)
// is skipped, so that a file read twice adds nothing the second time.
// Main thread only (writes the default context).

#include <QString>
#include <vector>

#include "numberlist/contact.h"
#include "publish/vcard_reader.h"

namespace app {

struct HandAddedImport {
  numberlist::Contact::List added;
  std::vector<publish::LabelledNumber> alreadyListed;
  std::vector<publish::LabelledNumber> refused;  // too short to be a phone number
  int cardsWithoutNumber = 0;
};

// Stores every new number of `read`, in the file's order.
HandAddedImport storeHandAddedNumbers(const publish::VCardNumbers& read);

}  // namespace app
