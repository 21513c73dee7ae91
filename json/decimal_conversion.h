#pragma once
// Decimal numbers as JSON text writes them, and their exact conversion to
// the nearest double where a few machine operations suffice. Pure
// functions: safe from any thread.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace json {

// The digits of a number's integer and fraction parts read as one integer
// (`significand`, meaningful only while `digits` <= kMostSignificandDigits),
// and the power of ten that scales it.
struct Decimal {
  static constexpr std::size_t kMostSignificandDigits = 19;  // every 19-digit integer fits in 64 bits

  std::uint64_t significand = 0;
  std::size_t digits = 0;
  int exponent = 0;

  bool fits() const noexcept { return digits <= kMostSignificandDigits; }
};

// The double nearest to significand × 10^exponent, rounding halfway cases to
// even, when it can be had exactly without arbitrary precision; none
// otherwise, and then only the exact general conversion of the text gives it.
// REQUIRES: decimal.fits().
std::optional<double> nearestDouble(const Decimal& decimal) noexcept;

}  // namespace json
