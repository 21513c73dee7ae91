// Stored property values come from a file that other programs may write: any
// bytes must be read or refused without a fault, and whatever is read must
// write out in a form that reads back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/addressbook/value_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<ab::PropertyValues> values = ab::decodePropertyValues(bytes);
  if (!values) return 0;
  const std::string written = ab::encodePropertyValues(*values);
  const std::optional<ab::PropertyValues> reread = ab::decodePropertyValues(written);
  if (!reread || reread->size() != values->size()) std::abort();
  if (ab::encodePropertyValues(*reread) != written) std::abort();
  return 0;
}
