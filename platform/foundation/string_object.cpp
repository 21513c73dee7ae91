#include "platform/foundation/string_object.h"

#include <QString>
#include <cstring>
#include <new>

#include "platform/foundation/hash_mixing.h"
#include "platform/foundation/object_arena.h"

namespace fnd {

namespace {

constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ull;

}  // namespace

String::String(std::size_t byteLength) noexcept : Object(ObjectKind::String), m_byteLength(byteLength) {}

Ref<String> String::create(std::string_view utf8) {
  if (utf8.empty()) return Ref<String>(empty());
  return createIn(::operator new(sizeof(String) + utf8.size()), utf8);
}

Ref<String> String::create(std::string_view utf8, ObjectArena& arena) {
  if (utf8.empty()) return Ref<String>(empty());
  return createIn(arena.allocate(sizeof(String) + utf8.size()), utf8);
}

Ref<String> String::createIn(void* memory, std::string_view utf8) noexcept {
  auto* string = new (memory) String(utf8.size());
  std::memcpy(string->m_bytes, utf8.data(), utf8.size());
  string->m_bytes[utf8.size()] = '\0';
  return Ref<String>::adopt(string);
}

Ref<String> String::fromQString(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return create(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// Frees heap and arena memory alike.
void String::operator delete(void* memory) noexcept { ObjectArena::deallocate(memory); }

String* String::empty() noexcept {
  // Created once and never released, so every user may share it freely.
  static String* const shared = [] {
    void* memory = ::operator new(sizeof(String));
    auto* string = new (memory) String(0);
    string->m_bytes[0] = '\0';
    return string;
  }();
  return shared;
}

std::size_t String::utf16Length() const noexcept {
  std::size_t units = 0;
  for (std::size_t i = 0; i < m_byteLength; ++i) {
    const auto byte = static_cast<unsigned char>(m_bytes[i]);
    if ((byte & 0xC0) != 0x80) ++units;  // a lead byte starts one code point
    if (byte >= 0xF0) ++units;           // four-byte sequences need a surrogate pair
  }
  return units;
}

QString String::toQString() const { return QString::fromUtf8(m_bytes, static_cast<qsizetype>(m_byteLength)); }

bool String::isEqual(const Object& other) const {
  if (this == &other) return true;
  if (other.kind() != ObjectKind::String) return false;
  const auto& string = static_cast<const String&>(other);
  return utf8() == string.utf8();
}

std::size_t String::hashBytes(std::string_view bytes) noexcept {
  std::uint64_t hash = bytes.size() * kHashMultiplier;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    hash = (hash ^ mixHashBits(word)) * kHashMultiplier;
  }
  std::uint64_t tail = 0;
  if (i < bytes.size()) std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
  return static_cast<std::size_t>(mixHashBits(hash ^ tail));
}

}  // namespace fnd
