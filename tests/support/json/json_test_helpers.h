#pragma once
// Test helpers: decode a text, reach the result as the decoder's own types,
// and catch the reason of a library exception.

#include <gtest/gtest.h>
#include <malloc.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "json/jd_array.h"
#include "json/jd_dictionary.h"
#include "json/json_decoder.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"

namespace json::test {

inline fnd::Ref<fnd::Object> decode(std::string_view text, JDParseOptionFlags options = JDParseDefault,
                                    bool mutableContainers = false, std::optional<fnd::Error>* error = nullptr) {
  JSONDecoder decoder(options);
  return mutableContainers ? decoder.mutableObjectWithUTF8String(text.data(), text.size(), error)
                           : decoder.objectWithUTF8String(text.data(), text.size(), error);
}

template <class T>
fnd::Ref<T> decodeAs(std::string_view text, bool mutableContainers = false) {
  fnd::Ref<fnd::Object> object = decode(text, JDParseDefault, mutableContainers);
  auto* typed = dynamic_cast<T*>(object.get());
  EXPECT_NE(typed, nullptr) << text;
  return fnd::Ref<T>(typed);
}

// The error a text fails with, rendered as "message @index:line".
inline std::string failure(std::string_view text, JDParseOptionFlags options = JDParseDefault) {
  std::optional<fnd::Error> error;
  if (decode(text, options, false, &error)) return "decoded";
  if (!error) return "no error";
  const auto number = [&](std::string_view key) {
    const auto* value = dynamic_cast<const fnd::Number*>(error->userInfo()->objectForKey(key));
    return value ? std::to_string(value->uint64Value()) : std::string("?");
  };
  return error->localizedDescription() + " @" + number(kJDAtIndexKey) + ":" + number(kJDLineNumberKey);
}

// Heap bytes in use (the arena's chunks are counted apart).
inline std::size_t heapBytesInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The reason of the library exception `action` raises (checking its kind), or "no exception".
inline std::string reasonOf(const std::function<void()>& action, fnd::Exception::Kind kind) {
  try {
    action();
  } catch (const fnd::Exception& exception) {
    EXPECT_EQ(exception.kind(), kind);
    return exception.reason();
  }
  return "no exception";
}

}  // namespace json::test
