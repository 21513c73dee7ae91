#include "json/decimal_conversion.h"

#include <array>
#include <bit>
#include <limits>

namespace json {

namespace {

__extension__ using UInt128 = unsigned __int128;

// 5^k for |k| up to kLargestPower as a 128-bit significand with its top bit
// set and the power of two that scales it: 5^k = significand × 2^scale,
// exact for k >= 0 (5^27 < 2^64), cut short (rounded down) for k < 0.
constexpr int kLargestPower = 27;
struct PowerOfFive {
  UInt128 significand;
  int scale;
};

constexpr PowerOfFive powerOfFive(int k) {
  std::uint64_t power = 1;
  for (int i = 0; i < (k < 0 ? -k : k); ++i) power *= 5;
  const int width = std::bit_width(power);
  if (k >= 0) return {UInt128{power} << (128 - width), width - 128};
  // floor(2^(127 + width) / 5^-k), by long division one bit at a time; it
  // lies between 2^127 and 2^128 because 5^-k lies between 2^(width-1) and 2^width.
  UInt128 quotient = 0;
  std::uint64_t remainder = 1;
  for (int bit = 0; bit < 127 + width; ++bit) {
    remainder *= 2;
    quotient = quotient * 2 + (remainder >= power ? 1 : 0);
    if (remainder >= power) remainder -= power;
  }
  return {quotient, -(127 + width)};
}

constexpr auto kPowersOfFive = [] {
  std::array<PowerOfFive, 2 * kLargestPower + 1> powers{};
  for (int k = -kLargestPower; k <= kLargestPower; ++k)
    powers[static_cast<std::size_t>(k + kLargestPower)] = powerOfFive(k);
  return powers;
}();

constexpr int kSignificandBits = std::numeric_limits<double>::digits;  // 53, the leading bit included
constexpr int kExponentBias = std::numeric_limits<double>::max_exponent - 1;
constexpr int kLargestBiasedExponent = 2 * kExponentBias;

// significand × 10^exponent = significand × 2^exponent × 5^exponent: the
// significand, shifted up to its top bit, times 5^exponent's 128-bit
// significand gives the top 128 bits of the product. Both cut-offs round
// down, so the exact product lies less than two units of the last bit
// above the result; only when that range reaches the point halfway between
// two doubles does the exact conversion have to decide.
std::optional<double> nearestViaProduct(std::uint64_t significand, int exponent) noexcept {
  if (exponent < -kLargestPower || exponent > kLargestPower) return std::nullopt;
  const PowerOfFive& power = kPowersOfFive[static_cast<std::size_t>(exponent + kLargestPower)];
  const int leadingZeros = std::countl_zero(significand);
  const std::uint64_t shifted = significand << leadingZeros;
  const auto high = static_cast<std::uint64_t>(power.significand >> 64);
  const auto low = static_cast<std::uint64_t>(power.significand);
  const UInt128 top = UInt128{shifted} * high + ((UInt128{shifted} * low) >> 64);
  const auto topHigh = static_cast<std::uint64_t>(top >> 64);
  const auto topLow = static_cast<std::uint64_t>(top);
  // The top bit is bit 63 or 62 of the high half, since both factors had
  // their top bit set; the bits below the double's are all in the high
  // half's last ten or eleven and the low half.
  const int dropped = (topHigh >> 63 ? 64 : 63) - kSignificandBits;
  const std::uint64_t rest = topHigh & ((std::uint64_t{1} << dropped) - 1);
  const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
  // Just below halfway (half - 1 in the high half, all ones below) or at it.
  if ((rest == half && topLow == 0) || (rest == half - 1 && topLow == UINT64_MAX)) return std::nullopt;
  // Above halfway: the high half's rest beyond it, or at it with more below.
  // One comparison, whose outcome is as random as the digits, so no branch.
  const std::uint64_t roundUp = rest + static_cast<std::uint64_t>(topLow != 0) > half;
  std::uint64_t mantissa = (topHigh >> dropped) + roundUp;
  int binaryExponent = dropped + 2 * 64 + exponent + power.scale - leadingZeros;
  if (mantissa >> kSignificandBits) {  // rounded up to the next power of two
    mantissa >>= 1;
    ++binaryExponent;
  }
  const int biased = binaryExponent + kSignificandBits - 1 + kExponentBias;
  if (biased < 1 || biased > kLargestBiasedExponent) return std::nullopt;
  const std::uint64_t fraction = mantissa & ((std::uint64_t{1} << (kSignificandBits - 1)) - 1);
  return std::bit_cast<double>(static_cast<std::uint64_t>(biased) << (kSignificandBits - 1) | fraction);
}

}  // namespace

std::optional<double> nearestDouble(const Decimal& decimal) noexcept {
  if (decimal.significand == 0) return 0.0;
  return nearestViaProduct(decimal.significand, decimal.exponent);
}

}  // namespace json
