#pragma once
// The one bit mixer behind the value hashes: every input bit reaches every
// output bit, so hash tables may take any bits of the result. Thread-safe.

#include <cstdint>

namespace fnd {

// Two rounds of xor-shift and multiply, closed by a last xor-shift. String
// hashes mix with it, so a change would reorder the dictionaries that
// enumerate in hash order.
constexpr std::uint64_t mixHashBits(std::uint64_t value) noexcept {
  value ^= value >> 33;
  value *= 0xFF51AFD7ED558CCDull;
  value ^= value >> 33;
  value *= 0xC4CEB9FE1A85EC53ull;
  value ^= value >> 33;
  return value;
}

}  // namespace fnd
