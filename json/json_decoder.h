#pragma once
// JSONDecoder: turns UTF-8 JSON text into arrays, dictionaries, strings,
// numbers, booleans and null, reporting the first error with its byte index
// and line. Equal strings and numbers share one object through a cache that
// lasts as long as the decoder. One thread at a time per decoder; the free
// functions make a decoder per call and may run on any thread.

#include <memory>
#include <optional>
#include <string_view>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"
#include "platform/foundation/string_object.h"

namespace json {

using JDParseOptionFlags = unsigned;
enum : JDParseOptionFlags {
  JDParseDefault = 0,               // strict
  JDParseAllowComments = 1,         // /* block */ and // line comments are white space
  JDParseAllowUnicodeNewlines = 2,  // U+0085, U+2028 and U+2029 end lines
  JDParseLooseUnicode = 4,          // malformed text becomes U+FFFD instead of an error
  JDParseAllowTrailingText = 8,     // text after the top-level value is ignored
  JDParseValidFlags = 15,
};

inline constexpr std::string_view kJDErrorDomain = "JDErrorDomain";
inline constexpr long kJDErrorCode = -1;
inline constexpr std::string_view kJDAtIndexKey = "JDAtIndexKey";
inline constexpr std::string_view kJDLineNumberKey = "JDLineNumberKey";
// The deepest nesting of arrays and objects a document may have.
inline constexpr std::size_t kJDMaximumDepth = 1024;

struct ParseState;

class JSONDecoder {
 public:
  // Throws an invalid-argument exception for options above JDParseValidFlags.
  explicit JSONDecoder(JDParseOptionFlags options = JDParseDefault);
  JSONDecoder(const JSONDecoder&) = delete;
  JSONDecoder& operator=(const JSONDecoder&) = delete;
  ~JSONDecoder();

  JDParseOptionFlags parseOptions() const noexcept;
  // Forgets every cached string and number.
  void clearCache() noexcept;

  // The top-level array or dictionary, or null with `*error` (when given) set.
  // Containers are immutable. `bytes` must not be null.
  fnd::Ref<fnd::Object> objectWithUTF8String(const char* bytes, std::size_t length,
                                             std::optional<fnd::Error>* error = nullptr);
  fnd::Ref<fnd::Object> objectWithData(const fnd::Data* data, std::optional<fnd::Error>* error = nullptr);
  // The same with mutable containers.
  fnd::Ref<fnd::Object> mutableObjectWithUTF8String(const char* bytes, std::size_t length,
                                                    std::optional<fnd::Error>* error = nullptr);
  fnd::Ref<fnd::Object> mutableObjectWithData(const fnd::Data* data, std::optional<fnd::Error>* error = nullptr);

  // Other names of the immutable forms.
  fnd::Ref<fnd::Object> parseUTF8String(const char* bytes, std::size_t length,
                                        std::optional<fnd::Error>* error = nullptr) {
    return objectWithUTF8String(bytes, length, error);
  }
  fnd::Ref<fnd::Object> parseJSONData(const fnd::Data* data, std::optional<fnd::Error>* error = nullptr) {
    return objectWithData(data, error);
  }

 private:
  fnd::Ref<fnd::Object> decode(const char* bytes, std::size_t length, bool mutableCollections,
                               std::optional<fnd::Error>* error);
  fnd::Ref<fnd::Object> decodeData(const fnd::Data* data, bool mutableCollections, std::optional<fnd::Error>* error);

  std::unique_ptr<ParseState> m_state;
};

// One-shot decoding with a decoder of its own (its cache lasts for the one document).
fnd::Ref<fnd::Object> objectFromJSONData(const fnd::Data* data, JDParseOptionFlags options = JDParseDefault,
                                         std::optional<fnd::Error>* error = nullptr);
fnd::Ref<fnd::Object> mutableObjectFromJSONData(const fnd::Data* data, JDParseOptionFlags options = JDParseDefault,
                                                std::optional<fnd::Error>* error = nullptr);
fnd::Ref<fnd::Object> objectFromJSONString(const fnd::String* string, JDParseOptionFlags options = JDParseDefault,
                                           std::optional<fnd::Error>* error = nullptr);
fnd::Ref<fnd::Object> mutableObjectFromJSONString(const fnd::String* string,
                                                  JDParseOptionFlags options = JDParseDefault,
                                                  std::optional<fnd::Error>* error = nullptr);

}  // namespace json
