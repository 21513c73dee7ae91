#pragma once
// String: an immutable Unicode string, stored as UTF-8 in one allocation with
// its object header. Equality compares the text exactly; the length in UTF-16
// units is available because some rules count characters that way.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/object.h"

class QString;

namespace fnd {

class ObjectArena;

class String final : public Object {
 public:
  // REQUIRES: `utf8` is well-formed UTF-8. An empty text gives the shared empty string.
  static Ref<String> create(std::string_view utf8);
  // The same in memory of the calling thread's arena (for strings made in bulk).
  static Ref<String> create(std::string_view utf8, ObjectArena& arena);
  static Ref<String> fromQString(const QString& text);
  // The one shared empty string.
  static String* empty() noexcept;

  std::string_view utf8() const noexcept { return {m_bytes, m_byteLength}; }
  std::size_t byteLength() const noexcept { return m_byteLength; }
  // Length in UTF-16 code units (characters outside the BMP count twice).
  std::size_t utf16Length() const noexcept;
  QString toQString() const;

  const char* className() const override { return "NSString"; }
  bool isEqual(const Object& other) const override;
  std::size_t hash() const override { return hashBytes(utf8()); }
  std::string description() const override { return std::string(utf8()); }

  // The standard string hash, for callers that hash bytes before a String exists.
  static std::size_t hashBytes(std::string_view bytes) noexcept;

  void operator delete(void* memory) noexcept;

 private:
  explicit String(std::size_t byteLength) noexcept;
  static Ref<String> createIn(void* memory, std::string_view utf8) noexcept;
  static void* operator new(std::size_t, void* place) noexcept { return place; }

  std::size_t m_byteLength;
  char m_bytes[1];  // the text follows the header in the same allocation, NUL-terminated
};

// Convenience for building keys and values: fnd::str("firm").
inline Ref<String> str(std::string_view utf8) { return String::create(utf8); }

}  // namespace fnd
