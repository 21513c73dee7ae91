#include "json/value_cache.h"

#include <cstdlib>
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

bool matches(const CacheItem& item, const TokenValue& value) noexcept {
  return item.valueHash == value.hash && item.length == value.length && item.type == value.type &&
         std::memcmp(item.bytes, value.bytes, value.length) == 0;
}

}  // namespace

fnd::Object* createValueObject(const TokenValue& value) {
  switch (value.type) {
    case ValueType::String:
      return fnd::String::create(std::string_view(reinterpret_cast<const char*>(value.bytes), value.length)).leak();
    case ValueType::Int64:
      return fnd::Number::create(value.number.int64).leak();
    case ValueType::UInt64:
      // Values that fit are signed, like every other integer the decoder makes.
      if (value.number.uint64 <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return fnd::Number::create(static_cast<std::int64_t>(value.number.uint64)).leak();
      return fnd::Number::createUnsigned(value.number.uint64).leak();
    case ValueType::Double:
      return fnd::Number::create(value.number.real).leak();
    case ValueType::None:
      break;
  }
  return nullptr;
}

fnd::Object* ValueCache::objectFor(TokenValue& value) {
  value.cacheItem = nullptr;
  if (value.type == ValueType::String && value.length == 0) {
    fnd::String* empty = fnd::String::empty();
    empty->retain();
    return empty;
  }
  std::size_t chosen = kSlots;
  const std::uint32_t stride = static_cast<std::uint32_t>(value.length) + static_cast<std::uint32_t>(value.type) + 3u;
  for (int probe = 0; probe < kProbes; ++probe) {
    const std::size_t slot = (value.hash + stride * static_cast<std::uint32_t>(probe)) & kSlotMask;
    CacheItem& item = m_items[slot];
    if (!item.object) {
      chosen = slot;
      break;
    }
    if (matches(item, value)) {
      value.cacheItem = &item;
      item.object->retain();
      return item.object;
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
  if (chosen != kSlots && m_items[chosen].object) __builtin_prefetch(m_items[chosen].object, 1);
  fnd::Object* object = createValueObject(value);
  if (object && chosen != kSlots) {
    fill(chosen, value, object);
    if (m_items[chosen].object) value.cacheItem = &m_items[chosen];
  }
  return object;
}

void ValueCache::fill(std::size_t slot, const TokenValue& value, fnd::Object* object) noexcept {
  CacheItem& item = m_items[slot];
  if (item.object) item.object->release();
  item.object = nullptr;
  m_ages[slot] = 0;
  if (item.byteCapacity < value.length) {
    std::free(item.bytes);
    item = {};
    item.bytes = static_cast<std::uint8_t*>(std::malloc(value.length));
    if (!item.bytes) return;  // the slot stays empty
    item.byteCapacity = value.length;
  }
  std::memcpy(item.bytes, value.bytes, value.length);
  object->retain();
  item.object = object;
  item.valueHash = value.hash;
  item.keyHash = 0;
  item.length = value.length;
  item.type = value.type;
}

void ValueCache::age() noexcept {
  m_lfsr = (m_lfsr >> 1) ^ ((m_lfsr & 1u) ? kLfsrTaps : 0u);
  m_ages[m_lfsr & kSlotMask] >>= 1;
}

void ValueCache::clear() noexcept {
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    CacheItem& item = m_items[slot];
    if (item.object) item.object->release();
    std::free(item.bytes);
    item = {};
    m_ages[slot] = 0;
  }
}

}  // namespace json
