#pragma once
// JDDictionary: the dictionary the JSON decoder builds in one step from the
// keys (with their hashes already computed) and values it collected; an
// open-addressing table of prime size with linear probing. Immutable unless
// the decoder was asked for mutable containers. No locking: concurrent reads
// are safe, a mutation needs exclusive use.

#include <cstdint>

#include "json/container_access.h"
#include "platform/foundation/containers.h"
#include "platform/foundation/object_arena.h"

namespace json {

// The hash a dictionary files a key under: the key's own hash, cut to 32 bits.
inline std::uint32_t standardKeyHash(const fnd::Object& key) { return static_cast<std::uint32_t>(key.hash()); }

struct JDHashTableEntry {
  std::uint32_t keyHash;  // 0 when empty
  fnd::Object* key;       // null when empty
  fnd::Object* object;    // null when empty
};

class JDDictionary final : public fnd::MutableDictionary {
 public:
  // Takes over one reference to each key and object; a later equal key
  // replaces an earlier one. The pairs replaced are handed back, with their
  // references, in the first `displaced` places of `keys` and `objects`, for
  // the caller to release. Nothing that can fail runs after the first pair
  // has been taken over.
  static fnd::Ref<JDDictionary> create(ContainerAccess, fnd::ObjectArena& arena, fnd::Object** keys,
                                       const std::uint32_t* keyHashes, fnd::Object** objects, std::size_t count,
                                       bool isMutable, std::size_t& displaced);
  // The table size for `count` keys: a prime about 1.33 times the count.
  static std::size_t capacityForCount(std::size_t count) noexcept;
  ~JDDictionary() override;

  using fnd::MutableDictionary::objectForKey;
  using fnd::MutableDictionary::setObject;
  std::size_t count() const override { return m_count; }
  std::size_t capacity() const noexcept { return m_capacity; }
  fnd::Object* objectForKey(const fnd::Object* key) const override;
  void getObjectsAndKeys(fnd::Object** objects, fnd::Object** keys) const override;
  std::size_t countByEnumerating(fnd::FastEnumerationState& state, fnd::Object** buffer,
                                 std::size_t length) const override;
  fnd::Ref<fnd::Enumerator> keyEnumerator() const override;
  bool isMutable() const override { return m_mutations != 0; }

  void setObject(fnd::Object* object, const fnd::Object* key) override;
  void removeObjectForKey(const fnd::Object* key) override;

  const char* className() const override { return "JDDictionary"; }
  void operator delete(void* memory) noexcept;

 private:
  friend class JDDictionaryEnumerator;
  JDDictionary(std::size_t capacity, bool isMutable) noexcept;
  void setCapacity(std::size_t capacity) noexcept;
  static void* operator new(std::size_t, void* place) noexcept { return place; }
  JDHashTableEntry* inlineEntries() noexcept;
  std::size_t findEntry(const fnd::Object* key) const;
  // The entry a key's probe starts at, and the entry probed after `index`.
  std::size_t homeOf(std::uint32_t keyHash) const noexcept;
  std::size_t following(std::size_t index) const noexcept;
  // Where the pairs that addObject() displaces go instead of being released.
  struct Displaced {
    fnd::Object** keys;
    fnd::Object** objects;
    std::size_t count;
  };
  // Files the pair; what it displaces goes to `displaced`, or is released when that is null.
  void addObject(std::uint32_t keyHash, fnd::Object* key, fnd::Object* object, Displaced* displaced = nullptr);
  void removeEntry(std::size_t index);
  // Empties the entry, keeping every other key findable; the caller owns what it held.
  JDHashTableEntry takeEntry(std::size_t index) noexcept;
  void resizeIfNecessary();
  void requireMutable(const char* operation) const;

  JDHashTableEntry* m_entries;  // the inline table after the object, or a heap table once grown
  std::size_t m_capacity;
  std::uint64_t m_remainderFactor;  // turns the remainder by the capacity into multiplications
  std::size_t m_count = 0;
  std::uint64_t m_mutations;
};

// Walks a dictionary's keys in table order; keeps the dictionary alive.
class JDDictionaryEnumerator final : public fnd::Enumerator {
 public:
  explicit JDDictionaryEnumerator(const JDDictionary& dictionary);
  fnd::Object* nextObject() override;
  const char* className() const override { return "JDDictionaryEnumerator"; }

 private:
  fnd::Ref<const JDDictionary> m_collection;
  std::size_t m_nextObject = 0;
};

}  // namespace json
