#include "json/decimal_conversion.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace json {

namespace {

// Powers of ten that a floating-point type holds exactly: 10^k = 2^k × 5^k,
// and 5^k must fit in the type's significand.
template <class Real, std::size_t Count>
constexpr std::array<Real, Count> exactPowersOfTen() {
  std::array<Real, Count> powers{};
  Real power = 1;
  for (Real& entry : powers) {
    entry = power;
    power *= 10;
  }
  return powers;
}

// Every integer up to 2^53 is a double, and so is 10^k up to k = 22 (5^22 < 2^53).
constexpr std::uint64_t kLargestExactDoubleInteger = std::uint64_t{1} << std::numeric_limits<double>::digits;
constexpr auto kDoublePowers = exactPowersOfTen<double, 23>();

// The x87 extended format: a 64-bit significand, stored first and in full
// (its leading bit included), so every 64-bit integer is exact and so is
// 10^k up to k = 27 (5^27 < 2^64).
constexpr bool kHasExtendedFormat =
    std::numeric_limits<long double>::digits == 64 && std::endian::native == std::endian::little;
constexpr auto kExtendedPowers = exactPowersOfTen<long double, 28>();
// Reciprocals of those powers, each rounded once to the extended format.
constexpr auto kExtendedReciprocals = [] {
  std::array<long double, kExtendedPowers.size()> reciprocals{};
  for (std::size_t k = 0; k < reciprocals.size(); ++k) reciprocals[k] = 1 / kExtendedPowers[k];
  return reciprocals;
}();
// The significand bits that a double drops from an extended one, and their
// pattern when the extended value lies exactly halfway between two doubles.
constexpr int kDroppedBits = 64 - std::numeric_limits<double>::digits;
constexpr std::uint64_t kDroppedMask = (std::uint64_t{1} << kDroppedBits) - 1;
constexpr std::uint64_t kHalfway = std::uint64_t{1} << (kDroppedBits - 1);
// How far, in units of the extended format's last place, the product may
// lie from the exact value: under one unit for the rounded reciprocal, one
// for the product's own rounding.
constexpr std::uint64_t kProductError = 2;

// One computation in the extended format, then a rounding to double. The
// rounding to double goes wrong only where a point halfway between two
// doubles lies between the exact value and the extended result; within the
// result's error bound of such a point the exact conversion decides, and
// every other result is the correctly rounded one. A multiplication by the
// rounded reciprocal stands in for the far slower division.
std::optional<double> nearestViaExtended(std::uint64_t significand, int exponent) noexcept {
  const auto largest = static_cast<int>(kExtendedPowers.size() - 1);
  if (exponent < -largest || exponent > largest) return std::nullopt;
  auto value = static_cast<long double>(significand);
  value *= exponent < 0 ? kExtendedReciprocals[static_cast<std::size_t>(-exponent)]
                        : kExtendedPowers[static_cast<std::size_t>(exponent)];
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const std::uint64_t dropped = bits & kDroppedMask;
  if (dropped + kProductError >= kHalfway && dropped <= kHalfway + kProductError) return std::nullopt;
  return static_cast<double>(value);
}

}  // namespace

std::optional<double> nearestDouble(const Decimal& decimal) noexcept {
  const std::uint64_t significand = decimal.significand;
  const int exponent = decimal.exponent;
  if (significand == 0) return 0.0;
  // Both operands exact, so the one correctly rounded operation is the answer.
  if (significand <= kLargestExactDoubleInteger && exponent >= -static_cast<int>(kDoublePowers.size() - 1) &&
      exponent <= static_cast<int>(kDoublePowers.size() - 1)) {
    const auto value = static_cast<double>(significand);
    return exponent < 0 ? value / kDoublePowers[static_cast<std::size_t>(-exponent)]
                        : value * kDoublePowers[static_cast<std::size_t>(exponent)];
  }
  if constexpr (kHasExtendedFormat) return nearestViaExtended(significand, exponent);
  return std::nullopt;
}

}  // namespace json
