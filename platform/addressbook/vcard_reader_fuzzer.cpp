// Feeds arbitrary bytes to the vCard reader and writes what it read back out,
// then reads that again: neither step may crash, and the second read must find
// as many people as the first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/addressbook/vcard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto people = ab::createPeopleFromVCardRepresentation(bytes, nullptr);
  const std::string written = ab::vCardRepresentationWithPeople(people);
  if (ab::createPeopleFromVCardRepresentation(written, nullptr).size() != people.size()) std::abort();
  return 0;
}
