#include "json/jd_dictionary.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/foundation/exception.h"

namespace json {

namespace {

// Table sizes: primes (after 0) that keep the load near 75% for counts up
// to hundreds of millions; a count maps to the first size of at least 1.33
// times the count.
constexpr std::array<std::size_t, 40> kCapacities = {
    0,       3,        7,        13,       23,       41,       71,        127,       191,       251,
    383,     631,      1087,     1723,     2803,     4523,     7351,      11959,     19447,     31231,
    50683,   81919,    132607,   214519,   346607,   561109,   907759,    1468927,   2376191,   3845119,
    6221311, 10066421, 16287743, 26354171, 42641881, 68996069, 111638519, 180634607, 292272623, 472907251};
constexpr double kLoadStretch = 1.33;

// A division costs many times a multiplication, and every probe starts with a
// remainder by the capacity: with this factor, computed once per capacity,
// the remainder of any 32-bit value by a 32-bit divisor takes two
// multiplications and is exact.
constexpr std::uint64_t remainderFactor(std::size_t divisor) noexcept {
  return divisor == 0 ? 0 : UINT64_MAX / divisor + 1;
}
constexpr std::uint32_t remainder(std::uint32_t value, std::uint64_t factor, std::uint32_t divisor) noexcept {
  // The top 64 bits of the 96-bit product of the fraction and the divisor.
  const std::uint64_t fraction = factor * value;
  const std::uint64_t low = (fraction & 0xFFFFFFFFu) * divisor;
  return static_cast<std::uint32_t>(((fraction >> 32) * divisor + (low >> 32)) >> 32);
}
constexpr bool remaindersAreExact() noexcept {
  constexpr std::uint32_t kValues[] = {0u, 1u, 2u, 0x7FFFFFFFu, 0x80000000u, 0x9E3779B9u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  for (const std::size_t capacity : kCapacities) {
    if (capacity == 0) continue;
    const auto divisor = static_cast<std::uint32_t>(capacity);
    const std::uint64_t factor = remainderFactor(capacity);
    for (const std::uint32_t value : kValues) {
      for (const std::uint32_t probe : {value, divisor - 1, divisor, divisor + 1, value - divisor}) {
        if (remainder(probe, factor, divisor) != probe % divisor) return false;
      }
    }
  }
  return true;
}
static_assert(remaindersAreExact());

JDHashTableEntry* allocateEntries(std::size_t capacity) {
  if (capacity == 0) return nullptr;
  auto* entries = static_cast<JDHashTableEntry*>(std::calloc(capacity, sizeof(JDHashTableEntry)));
  if (!entries) throw fnd::Exception(fnd::Exception::Kind::Malloc, "Unable to allocate memory for hash table.");
  return entries;
}

bool sameKey(const JDHashTableEntry& entry, std::uint32_t keyHash, const fnd::Object& key) {
  return entry.key && entry.keyHash == keyHash && (entry.key == &key || entry.key->isEqual(key));
}

constexpr std::size_t searchCapacity(std::size_t count) noexcept {
  // The product is never negative, so truncation is the floor.
  const auto wanted = static_cast<std::size_t>(static_cast<double>(count) * kLoadStretch);
  const auto* found = std::lower_bound(kCapacities.begin(), kCapacities.end(), wanted);
  return found == kCapacities.end() ? kCapacities.back() : *found;
}

// Decoded objects are mostly small: their sizes are looked up, not searched for.
constexpr std::size_t kTabulatedCounts = 64;
constexpr auto kSmallCapacities = [] {
  std::array<std::uint8_t, kTabulatedCounts> capacities{};
  for (std::size_t count = 0; count < kTabulatedCounts; ++count)
    capacities[count] = static_cast<std::uint8_t>(searchCapacity(count));
  return capacities;
}();
static_assert(searchCapacity(kTabulatedCounts - 1) <= UINT8_MAX);

}  // namespace

std::size_t JDDictionary::capacityForCount(std::size_t count) noexcept {
  return count < kTabulatedCounts ? kSmallCapacities[count] : searchCapacity(count);
}

fnd::Ref<JDDictionary> JDDictionary::create(ContainerAccess, fnd::ObjectArena& arena, fnd::Object** keys,
                                            const std::uint32_t* keyHashes, fnd::Object** objects, std::size_t count,
                                            bool isMutable, std::size_t& displaced) {
  // The first table lives in the same allocation as the dictionary; growth moves it to the heap.
  const std::size_t capacity = capacityForCount(count);
  void* memory = arena.allocate(sizeof(JDDictionary) + capacity * sizeof(JDHashTableEntry));
  auto dictionary = fnd::Ref<JDDictionary>::adopt(new (memory) JDDictionary(capacity, isMutable));
  // Adding the pair at `i` displaces at most one pair, and the places before
  // `i` have all been taken over: the displaced pairs always fit there.
  Displaced handedBack{keys, objects, 0};
  for (std::size_t i = 0; i < count; ++i) dictionary->addObject(keyHashes[i], keys[i], objects[i], &handedBack);
  displaced = handedBack.count;
  return dictionary;
}

JDDictionary::JDDictionary(std::size_t capacity, bool isMutable) noexcept
    : m_entries(inlineEntries()), m_mutations(isMutable ? 1 : 0) {
  setCapacity(capacity);
  std::memset(static_cast<void*>(m_entries), 0, capacity * sizeof(JDHashTableEntry));
}

void JDDictionary::setCapacity(std::size_t capacity) noexcept {
  m_capacity = capacity;
  m_remainderFactor = remainderFactor(capacity);
}

void JDDictionary::operator delete(void* memory) noexcept { fnd::ObjectArena::deallocate(memory); }

JDHashTableEntry* JDDictionary::inlineEntries() noexcept { return reinterpret_cast<JDHashTableEntry*>(this + 1); }

JDDictionary::~JDDictionary() {
  for (std::size_t i = 0; i < m_capacity; ++i) {
    if (!m_entries[i].key) continue;
    m_entries[i].key->release();
    m_entries[i].object->release();
  }
  if (m_entries != inlineEntries()) std::free(m_entries);
}

std::size_t JDDictionary::findEntry(const fnd::Object* key) const {
  if (!key || m_capacity == 0) return m_capacity;
  const std::uint32_t keyHash = standardKeyHash(*key);
  std::size_t index = homeOf(keyHash);
  for (std::size_t i = 0; i < m_capacity; ++i, index = following(index)) {
    const JDHashTableEntry& entry = m_entries[index];
    if (!entry.key) break;
    if (sameKey(entry, keyHash, *key)) return index;
  }
  return m_capacity;
}

std::size_t JDDictionary::homeOf(std::uint32_t keyHash) const noexcept {
  // Every table size fits in 32 bits.
  return remainder(keyHash, m_remainderFactor, static_cast<std::uint32_t>(m_capacity));
}

std::size_t JDDictionary::following(std::size_t index) const noexcept {
  return index + 1 == m_capacity ? 0 : index + 1;
}

fnd::Object* JDDictionary::objectForKey(const fnd::Object* key) const {
  const std::size_t index = findEntry(key);
  return index < m_capacity ? m_entries[index].object : nullptr;
}

void JDDictionary::addObject(std::uint32_t keyHash, fnd::Object* key, fnd::Object* object, Displaced* displaced) {
  const auto giveUp = [displaced](const JDHashTableEntry& pair) {
    if (displaced) {
      displaced->keys[displaced->count] = pair.key;
      displaced->objects[displaced->count] = pair.object;
      ++displaced->count;
    } else {
      pair.key->release();
      pair.object->release();
    }
  };
  std::size_t index = m_capacity ? homeOf(keyHash) : 0;
  for (std::size_t i = 0; i < m_capacity; ++i, index = following(index)) {
    JDHashTableEntry& entry = m_entries[index];
    // An equal key gives way to the new pair, so the last one added wins.
    if (sameKey(entry, keyHash, *key)) giveUp(takeEntry(index));
    if (!entry.key) {
      entry = {keyHash, key, object};
      ++m_count;
      return;
    }
  }
  giveUp({keyHash, key, object});
}

void JDDictionary::removeEntry(std::size_t index) {
  const JDHashTableEntry removed = takeEntry(index);
  removed.key->release();
  removed.object->release();
}

JDHashTableEntry JDDictionary::takeEntry(std::size_t index) noexcept {
  const JDHashTableEntry taken = m_entries[index];
  m_entries[index] = {};
  --m_count;
  // Re-file the rest of the cluster so that no key sits behind the new gap.
  std::size_t next = index;
  for (std::size_t i = 1; i <= m_capacity; ++i) {
    next = following(next);
    JDHashTableEntry& entry = m_entries[next];
    if (!entry.key) break;
    const JDHashTableEntry moved = entry;
    entry = {};
    std::size_t target = homeOf(moved.keyHash);
    while (m_entries[target].key) target = following(target);  // `next` itself is free now
    m_entries[target] = moved;
  }
  return taken;
}

void JDDictionary::getObjectsAndKeys(fnd::Object** objects, fnd::Object** keys) const {
  std::size_t next = 0;
  for (std::size_t i = 0; i < m_capacity; ++i) {
    if (!m_entries[i].key) continue;
    if (objects) objects[next] = m_entries[i].object;
    if (keys) keys[next] = m_entries[i].key;
    ++next;
  }
}

std::size_t JDDictionary::countByEnumerating(fnd::FastEnumerationState& state, fnd::Object** buffer,
                                             std::size_t length) const {
  if (state.state == 0) state.mutations = &m_mutations;
  std::size_t produced = 0;
  while (produced < length && state.state < m_capacity) {
    const JDHashTableEntry& entry = m_entries[state.state++];
    if (entry.key) buffer[produced++] = entry.key;
  }
  state.items = buffer;
  return produced;
}

fnd::Ref<fnd::Enumerator> JDDictionary::keyEnumerator() const { return fnd::makeRef<JDDictionaryEnumerator>(*this); }

void JDDictionary::setObject(fnd::Object* object, const fnd::Object* key) {
  static constexpr const char* operation = "setObject:forKey:";
  requireMutable(operation);
  if (!key) {
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                         fnd::formatString("*** -[%s %s]: attempt to insert nil key", className(), operation));
  }
  if (!object) {
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                         fnd::formatString("*** -[%s %s]: attempt to insert nil value (key: %s)", className(),
                                           operation, key->description().c_str()));
  }
  resizeIfNecessary();
  fnd::Object* storedKey = fnd::keyCopy(*key).leak();
  object->retain();
  addObject(standardKeyHash(*storedKey), storedKey, object);
  m_mutations = nextMutation(m_mutations);
}

void JDDictionary::removeObjectForKey(const fnd::Object* key) {
  static constexpr const char* operation = "removeObjectForKey:";
  requireMutable(operation);
  if (!key) {
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                         fnd::formatString("*** -[%s %s]: attempt to remove nil key", className(), operation));
  }
  const std::size_t index = findEntry(key);
  if (index == m_capacity) return;
  removeEntry(index);
  m_mutations = nextMutation(m_mutations);
}

void JDDictionary::resizeIfNecessary() {
  const std::size_t capacity = capacityForCount(m_count + 1);
  if (capacity <= m_capacity) return;
  JDHashTableEntry* old = m_entries;
  const std::size_t oldCapacity = m_capacity;
  m_entries = allocateEntries(capacity);
  setCapacity(capacity);
  m_count = 0;
  for (std::size_t i = 0; i < oldCapacity; ++i)
    if (old[i].key) addObject(old[i].keyHash, old[i].key, old[i].object);
  if (old != inlineEntries()) std::free(old);
}

void JDDictionary::requireMutable(const char* operation) const {
  if (!isMutable()) fnd::throwMutatingImmutable(className(), operation);
}

JDDictionaryEnumerator::JDDictionaryEnumerator(const JDDictionary& dictionary) : m_collection(&dictionary) {}

fnd::Object* JDDictionaryEnumerator::nextObject() {
  while (m_nextObject < m_collection->m_capacity) {
    const JDHashTableEntry& entry = m_collection->m_entries[m_nextObject++];
    if (entry.key) return entry.key;
  }
  return nullptr;
}

}  // namespace json
