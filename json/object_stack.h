#pragma once
// ObjectStack: the values (and, inside objects, the keys and key hashes) a
// parse has collected for the containers still open. Starts on fixed inline
// arrays and moves to the heap only for large documents. Entries hold one
// reference each until a container takes them over or an error releases them.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/foundation/object.h"

namespace json {

class ObjectStack {
 public:
  ObjectStack() = default;
  ObjectStack(const ObjectStack&) = delete;
  ObjectStack& operator=(const ObjectStack&) = delete;
  ~ObjectStack() { reset(); }

  // Releases every entry still held and returns to the inline arrays.
  void reset() noexcept;
  // Takes over the references to `object` and `key` (null inside arrays); false when memory ran out.
  bool push(fnd::Object* object, fnd::Object* key = nullptr, std::uint32_t keyHash = 0) noexcept;
  // Forgets the entries from `start` on; `release` gives up their references.
  void popTo(std::size_t start, bool release) noexcept;

  std::size_t size() const noexcept { return m_size; }
  std::size_t capacity() const noexcept { return m_capacity; }
  fnd::Object** objects() noexcept { return m_objects; }
  fnd::Object** keys() noexcept { return m_keys; }
  const std::uint32_t* keyHashes() const noexcept { return m_keyHashes; }

  static constexpr std::size_t kInlineEntries = 1024;

 private:
  bool grow() noexcept;
  void freeHeapArrays() noexcept;

  std::array<fnd::Object*, kInlineEntries> m_inlineObjects{};
  std::array<fnd::Object*, kInlineEntries> m_inlineKeys{};
  std::array<std::uint32_t, kInlineEntries> m_inlineKeyHashes{};
  fnd::Object** m_objects = m_inlineObjects.data();
  fnd::Object** m_keys = m_inlineKeys.data();
  std::uint32_t* m_keyHashes = m_inlineKeyHashes.data();
  void* m_heapBlock = nullptr;  // holds all three arrays once they outgrow the inline ones
  std::size_t m_capacity = kInlineEntries;
  std::size_t m_size = 0;
};

}  // namespace json
