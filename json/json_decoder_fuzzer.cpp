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
  std::optional<fnd::Error> error;
  const auto* text = reinterpret_cast<const char*>(data + 1);
  // Decode twice so the second pass meets a warm cache.
  for (int pass = 0; pass < 2; ++pass) {
    const fnd::Ref<fnd::Object> value = mutableContainers ? decoder.mutableObjectWithUTF8String(text, size - 1, &error)
                                                          : decoder.objectWithUTF8String(text, size - 1, &error);
    if (value ? error.has_value() : !error.has_value()) __builtin_trap();  // exactly one of result and error
    if (value) walk(*value);
    error.reset();
  }
  return 0;
}
