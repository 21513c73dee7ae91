// Feeds arbitrary bytes to the decoder under every option combination (the
// first byte picks the options and the container form) and walks whatever
// tree comes back.

#include <cstddef>
#include <cstdint>

#include "json/json_decoder.h"
#include "platform/foundation/containers.h"

namespace {

std::size_t walk(const fnd::Object& value) {
  std::size_t visited = 1;
  if (value.kind() == fnd::ObjectKind::Array) {
    for (fnd::Object* element : static_cast<const fnd::Array&>(value)) visited += walk(*element);
  } else if (value.kind() == fnd::ObjectKind::Dictionary) {
    const auto& dictionary = static_cast<const fnd::Dictionary&>(value);
    for (fnd::Object* key : dictionary) {
      const fnd::Object* element = dictionary.objectForKey(key);
      if (!element) __builtin_trap();  // every enumerated key must be findable
      visited += walk(*element);
    }
  }
  return visited;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0] & json::JDParseValidFlags;
  const bool mutableContainers = (data[0] & 0x10) != 0;
  json::JSONDecoder decoder(options);
  const auto* text = reinterpret_cast<const char*>(data + 1);
  // Decode twice so the second pass meets a warm cache and the keys the first
  // one remembered; what the decoder remembers must never change the outcome.
  fnd::Ref<fnd::Object> values[2];
  std::optional<fnd::Error> errors[2];
  for (int pass = 0; pass < 2; ++pass) {
    values[pass] = mutableContainers ? decoder.mutableObjectWithUTF8String(text, size - 1, &errors[pass])
                                     : decoder.objectWithUTF8String(text, size - 1, &errors[pass]);
    if (values[pass] ? errors[pass].has_value() : !errors[pass].has_value()) __builtin_trap();  // exactly one
    if (values[pass]) walk(*values[pass]);
  }
  if (!values[0] != !values[1] || (values[0] && !values[0]->isEqual(*values[1]))) __builtin_trap();
  if (errors[0] && !errors[0]->userInfo()->isEqual(*errors[1]->userInfo())) __builtin_trap();
  return 0;
}
