#include "json/value_cache.h"

#include <cstring>
#include <limits>
#include <string_view>

#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace json {

namespace {

constexpr std::uint32_t kSlotMask = ValueCache::kSlots - 1;
constexpr int kProbes = 4;
// Feedback taps of the 32-bit shift register that picks the slot to age.
constexpr std::uint32_t kLfsrTaps = 0x80200003u;
// Deferred references are settled before a count could come near overflowing.
constexpr std::uint32_t kMostDeferredReferences = 1u << 30;

// Hands out one more reference to `object`, counted later.
fnd::Object* deferReference(fnd::Object* object, std::uint32_t& deferred) noexcept {
  if (++deferred == kMostDeferredReferences) {
    object->retain(deferred);
    deferred = 0;
  }
  return object;
}

template <class Word>
Word loadWord(const std::uint8_t* at) noexcept {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Two words, one from each end (overlapping when the length is not a
// multiple), cover every byte of up to twice a word.
template <class Word>
bool sameEnds(const std::uint8_t* a, const std::uint8_t* b, std::size_t length) noexcept {
  return loadWord<Word>(a) == loadWord<Word>(b) &&
         loadWord<Word>(a + length - sizeof(Word)) == loadWord<Word>(b + length - sizeof(Word));
}

bool sameBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t length) noexcept {
  // Most keys and repeated values are short; a library call costs more than comparing them here.
  if (length > 2 * sizeof(std::uint64_t)) return std::memcmp(a, b, length) == 0;
  if (length >= sizeof(std::uint64_t)) return sameEnds<std::uint64_t>(a, b, length);
  if (length >= sizeof(std::uint32_t)) return sameEnds<std::uint32_t>(a, b, length);
  for (std::size_t i = 0; i < length; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// What a probe compares first: the value hash with the length and type.
// Never 0 for a filled slot, since every value type's code is odd.
std::uint32_t probeTag(std::size_t length, ValueType type) noexcept {
  constexpr int kTypeBits = 4;
  return static_cast<std::uint32_t>(length) << kTypeBits | static_cast<std::uint32_t>(type);
}

bool matches(const CacheItem& item, const TokenValue& value) noexcept {
  return item.length == value.length && item.type == value.type && sameBytes(item.bytes, value.bytes, value.length);
}

}  // namespace

fnd::Object* createValueObject(const TokenValue& value, fnd::ObjectArena& arena) {
  switch (value.type) {
    case ValueType::String:
      return fnd::String::create(std::string_view(reinterpret_cast<const char*>(value.bytes), value.length), arena)
          .leak();
    case ValueType::Int64:
      return fnd::Number::create(value.number.int64, arena).leak();
    case ValueType::UInt64:
      // Values that fit are signed, like every other integer the decoder makes.
      if (value.number.uint64 <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return fnd::Number::create(static_cast<std::int64_t>(value.number.uint64), arena).leak();
      return fnd::Number::createUnsigned(value.number.uint64, arena).leak();
    case ValueType::Double:
      return fnd::Number::create(value.number.real, arena).leak();
    case ValueType::None:
      break;
  }
  return nullptr;
}

fnd::Object* ValueCache::objectFor(TokenValue& value, fnd::ObjectArena& arena) {
  value.cacheItem = nullptr;
  if (value.type == ValueType::String && value.length == 0)
    return deferReference(fnd::String::empty(), m_deferredEmptyStrings);
  std::size_t chosen = kSlots;
  const std::uint32_t stride = static_cast<std::uint32_t>(value.length) + static_cast<std::uint32_t>(value.type) + 3u;
  const std::uint32_t tag = probeTag(value.length, value.type);
  for (int probe = 0; probe < kProbes; ++probe) {
    const std::size_t slot = (value.hash + stride * static_cast<std::uint32_t>(probe)) & kSlotMask;
    const ProbeKey& key = m_probeKeys[slot];
    if (key.tag == 0) {
      chosen = slot;
      break;
    }
    CacheItem& item = m_items[slot];
    if (key.valueHash == value.hash && key.tag == tag && matches(item, value)) {
      value.cacheItem = &item;
      return deferReference(item.object, item.deferredReferences);
    }
    if (chosen == kSlots) {
      if (m_ages[slot] == 0) {
        chosen = slot;
      } else {
        m_ages[slot] >>= 1;
        age();
        age();
      }
    }
  }
  // The object about to be evicted was made long ago and is likely out of the
  // processor's cache; fetching its reference count now overlaps that wait
  // with creating the new object.
  if (chosen != kSlots && m_items[chosen].object && m_items[chosen].deferredReferences != 1)
    __builtin_prefetch(m_items[chosen].object, 1);
  fnd::Object* object = createValueObject(value, arena);
  if (object && chosen != kSlots) {
    fill(chosen, value, object);
    value.cacheItem = &m_items[chosen];
  }
  return object;
}

void ValueCache::fill(std::size_t slot, const TokenValue& value, fnd::Object* object) noexcept {
  CacheItem& item = m_items[slot];
  if (item.object) settleAndRelease(item);
  m_ages[slot] = 0;
  // The slot's reference keeps the string's text alive for as long as the slot needs it.
  if (value.type == ValueType::String) {
    item.bytes = reinterpret_cast<const std::uint8_t*>(static_cast<const fnd::String*>(object)->utf8().data());
  } else {
    item.number = value.number;
    item.bytes = reinterpret_cast<const std::uint8_t*>(&item.number);
  }
  // The new object's one reference becomes the slot's; the caller's is deferred.
  item.object = object;
  item.deferredReferences = 1;
  item.keyHash = 0;
  item.length = value.length;
  item.type = value.type;
  m_probeKeys[slot] = {value.hash, probeTag(value.length, value.type)};
}

void ValueCache::settleAndRelease(CacheItem& item) noexcept {
  // One deferred reference cancels the slot's own; only the rest need counting.
  if (item.deferredReferences == 0)
    item.object->release();
  else if (item.deferredReferences > 1)
    item.object->retain(item.deferredReferences - 1);
  item.deferredReferences = 0;
}

void ValueCache::settle() noexcept {
  for (CacheItem& item : m_items) {
    if (item.deferredReferences == 0) continue;
    item.object->retain(item.deferredReferences);
    item.deferredReferences = 0;
  }
  if (m_deferredEmptyStrings != 0) {
    fnd::String::empty()->retain(m_deferredEmptyStrings);
    m_deferredEmptyStrings = 0;
  }
}

void ValueCache::age() noexcept {
  m_lfsr = (m_lfsr >> 1) ^ ((m_lfsr & 1u) ? kLfsrTaps : 0u);
  m_ages[m_lfsr & kSlotMask] >>= 1;
}

void ValueCache::clear() noexcept {
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    CacheItem& item = m_items[slot];
    if (item.object) settleAndRelease(item);
    item = {};
    m_probeKeys[slot] = {};
    m_ages[slot] = 0;
  }
}

}  // namespace json
