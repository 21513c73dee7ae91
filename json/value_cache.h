#pragma once
// ValueCache: 1024 slots that let equal strings and numbers share one object
// across a document (and across the parses of one decoder), found by the
// token's value hash with at most four probes. Used by one thread at a time.

#include <array>
#include <cstdint>

#include "json/token.h"
#include "platform/foundation/object.h"

namespace json {

struct CacheItem {
  fnd::Object* object = nullptr;  // one reference held by the slot
  std::uint32_t valueHash = 0;
  std::uint32_t keyHash = 0;  // 0 until the object is first used as a key
  std::size_t length = 0;
  std::uint8_t* bytes = nullptr;  // a heap copy owned by the slot
  std::size_t byteCapacity = 0;   // kept across refills, so a warm cache allocates nothing
  ValueType type = ValueType::None;
};

class ValueCache {
 public:
  static constexpr std::size_t kSlots = 1024;

  ValueCache() = default;
  ValueCache(const ValueCache&) = delete;
  ValueCache& operator=(const ValueCache&) = delete;
  ~ValueCache() { clear(); }

  // The object for a string or number token, with one reference for the
  // caller; sets `value.cacheItem` to the slot that holds it, if any.
  // Null only when memory ran out.
  fnd::Object* objectFor(TokenValue& value);
  // Releases every cached object and empties every slot.
  void clear() noexcept;

 private:
  void age() noexcept;
  void fill(std::size_t slot, const TokenValue& value, fnd::Object* object) noexcept;

  std::array<CacheItem, kSlots> m_items{};
  std::array<std::uint8_t, kSlots> m_ages{};
  std::uint32_t m_lfsr = 1;  // never 0
};

// A new object for a string or number token, without the cache.
fnd::Object* createValueObject(const TokenValue& value);

}  // namespace json
