#pragma once
// ValueCache: 1024 slots that let equal strings and numbers share one object
// across a document (and across the parses of one decoder), found by the
// token's value hash with at most four probes. Used by one thread at a time.

#include <array>
#include <cstdint>

#include "json/token.h"
#include "platform/foundation/object.h"
#include "platform/foundation/object_arena.h"

namespace json {

struct CacheItem {
  fnd::Object* object = nullptr;  // one reference held by the slot
  // References handed out since the object's count was last brought up to date.
  std::uint32_t deferredReferences = 0;
  std::uint32_t keyHash = 0;  // 0 until the object is first used as a key
  std::size_t length = 0;
  // The value's bytes, kept without a copy: the cached string's own text, or `number`.
  const std::uint8_t* bytes = nullptr;
  NumberStorage number{};
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
  // Null only when memory ran out. A reference to a cached object is only
  // counted in the object at the next settle(): until then nothing that
  // objectFor() returned may be released.
  fnd::Object* objectFor(TokenValue& value, fnd::ObjectArena& arena);
  // Adds the references handed out to the objects' counts.
  void settle() noexcept;
  // Releases every cached object and empties every slot.
  void clear() noexcept;

 private:
  void age() noexcept;
  void fill(std::size_t slot, const TokenValue& value, fnd::Object* object) noexcept;
  static void settleAndRelease(CacheItem& item) noexcept;

  // What every probe reads, packed apart from the slots so that the probes
  // of a value that is not cached stay within a few cache lines.
  struct ProbeKey {
    std::uint32_t valueHash = 0;
    std::uint32_t tag = 0;  // 0 while the slot is empty
  };
  std::array<ProbeKey, kSlots> m_probeKeys{};
  std::array<CacheItem, kSlots> m_items{};
  std::array<std::uint8_t, kSlots> m_ages{};
  std::uint32_t m_lfsr = 1;  // never 0
  std::uint32_t m_deferredEmptyStrings = 0;
};

// A new object for a string or number token, without the cache.
fnd::Object* createValueObject(const TokenValue& value, fnd::ObjectArena& arena);

}  // namespace json
