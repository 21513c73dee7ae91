#pragma once
// A large stored number list for the benchmarks: `count` approved numbers
// ranked 1..count in the open record store, written to its file.

#include <string>

#include "numberlist/contact.h"
#include "store/record_store.h"

namespace rp::bench {

inline void storeListedNumbers(int count) {
  for (int rank = 1; rank <= count; ++rank) {
    fnd::Ref<numberlist::Contact> record = numberlist::Contact::createEntity();
    record->setPhoneNumber(fnd::str(std::to_string(40000000 + rank)).get());
    record->setFirm(fnd::str("Firma " + std::to_string(rank)).get());
    record->setCategory(fnd::str("Telefonsalg").get());
    record->setPosition(fnd::Number::create(static_cast<std::int64_t>(rank)).get());
    record->setStatus(fnd::Number::yes());
  }
  store::StoreSaving::save(store::StoreContext::defaultContext());
}

}  // namespace rp::bench
