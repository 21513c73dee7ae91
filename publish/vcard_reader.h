#pragma once
// The phone numbers of a vCard file (2.1, 3.0 or 4.0, any number of cards),
// each with the firm it belongs to: the card's organisation, or its name when
// it has none. Malformed input yields what could be read, never a crash.
// Pure function; safe from any thread.

#include <string_view>
#include <vector>

#include "publish/publish_target.h"

namespace publish {

// In the order of the cards and of the numbers within each; `label` holds the
// firm (empty when the card names none). Numbers are kept as written, without
// a "tel:" prefix; empty ones are left out.
std::vector<LabelledNumber> numbersFromVCards(std::string_view data);

// The numbers as above, and how many cards held none.
struct VCardNumbers {
  std::vector<LabelledNumber> numbers;
  int cardsWithoutNumber = 0;
};
VCardNumbers readVCardNumbers(std::string_view data);

}  // namespace publish
