#include "json/object_stack.h"

#include <cstdlib>
#include <cstring>

namespace json {

namespace {

// Growth keeps a few entries in hand, doubles (so that a long array costs
// amortised constant time per element, not a copy of the whole stack every
// few thousand elements) and rounds to whole blocks.
constexpr std::size_t kHeadroom = 4;
constexpr std::size_t kBlockEntries = 2048;

}  // namespace

void ObjectStack::reset() noexcept {
  popTo(0, true);
  freeHeapArrays();
}

void ObjectStack::freeHeapArrays() noexcept {
  if (!m_heapBlock) return;
  std::free(m_heapBlock);
  m_heapBlock = nullptr;
  m_objects = m_inlineObjects.data();
  m_keys = m_inlineKeys.data();
  m_keyHashes = m_inlineKeyHashes.data();
  m_capacity = kInlineEntries;
}

bool ObjectStack::push(fnd::Object* object, fnd::Object* key, std::uint32_t keyHash) noexcept {
  if (m_size + kHeadroom > m_capacity && !grow()) return false;
  m_objects[m_size] = object;
  m_keys[m_size] = key;
  m_keyHashes[m_size] = keyHash;
  ++m_size;
  return true;
}

void ObjectStack::popTo(std::size_t start, bool release) noexcept {
  // Entries at and above the size are never read, so forgetting needs no clearing.
  if (release) {
    for (std::size_t i = start; i < m_size; ++i) {
      m_objects[i]->release();
      if (m_keys[i]) m_keys[i]->release();
    }
  }
  m_size = start;
}

bool ObjectStack::grow() noexcept {
  const std::size_t capacity = (2 * m_capacity + kBlockEntries - 1) / kBlockEntries * kBlockEntries;
  // The three arrays share one block, so growth either succeeds whole or
  // leaves the stack as it was.
  constexpr std::size_t entryBytes = 2 * sizeof(fnd::Object*) + sizeof(std::uint32_t);
  void* block = std::malloc(capacity * entryBytes);
  if (!block) return false;
  auto* objects = static_cast<fnd::Object**>(block);
  fnd::Object** keys = objects + capacity;
  auto* keyHashes = reinterpret_cast<std::uint32_t*>(keys + capacity);
  std::memcpy(objects, m_objects, m_size * sizeof(fnd::Object*));
  std::memcpy(keys, m_keys, m_size * sizeof(fnd::Object*));
  std::memcpy(keyHashes, m_keyHashes, m_size * sizeof(std::uint32_t));
  std::free(m_heapBlock);
  m_heapBlock = block;
  m_objects = objects;
  m_keys = keys;
  m_keyHashes = keyHashes;
  m_capacity = capacity;
  return true;
}

}  // namespace json
