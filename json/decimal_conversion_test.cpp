#include "json/decimal_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

namespace {

// The exact conversion of the same decimal, written out as text.
double exactConversion(const json::Decimal& decimal) {
  const std::string text = std::to_string(decimal.significand) + "e" + std::to_string(decimal.exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

json::Decimal decimalOf(std::uint64_t significand, int exponent) {
  return {significand, std::to_string(significand).size(), exponent};
}

// True when the quick conversion declines or agrees with the exact one to the bit.
::testing::AssertionResult agreesWhenAnswering(std::uint64_t significand, int exponent) {
  const json::Decimal decimal = decimalOf(significand, exponent);
  const std::optional<double> quick = json::nearestDouble(decimal);
  if (!quick) return ::testing::AssertionSuccess();
  const double exact = exactConversion(decimal);
  if (std::bit_cast<std::uint64_t>(*quick) == std::bit_cast<std::uint64_t>(exact)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << significand << "e" << exponent << ": quick " << *quick << ", exact " << exact;
}

// A random significand of 1 to 19 digits, spread evenly over the digit counts.
std::uint64_t randomSignificand(std::mt19937_64& random) {
  const int digits = std::uniform_int_distribution<int>(1, 19)(random);
  std::uint64_t limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  return std::uniform_int_distribution<std::uint64_t>(limit / 10, limit - 1)(random);
}

TEST(DecimalConversionTest, RandomDecimalsConvertLikeTheExactConversion) {
  std::mt19937_64 random(20261208);
  int answered = 0;
  constexpr int kSamples = 200000;
  for (int i = 0; i < kSamples; ++i) {
    const std::uint64_t significand = randomSignificand(random);
    const int exponent = std::uniform_int_distribution<int>(-32, 32)(random);
    ASSERT_TRUE(agreesWhenAnswering(significand, exponent));
    answered += json::nearestDouble(decimalOf(significand, exponent)).has_value();
  }
  // Nearly every decimal with up to 19 digits and a small exponent is
  // answered without the slow conversion (only exact halfway results and
  // exponents beyond 27 are not): a decline-everything answer would be
  // correct but useless.
  EXPECT_GT(answered, kSamples * 8 / 10);
}

TEST(DecimalConversionTest, LongCoordinatesConvertLikeTheExactConversion) {
  // Seventeen significant digits with a fraction, as in geographic data:
  // beyond the plain double fast path, and all but never exactly halfway.
  std::mt19937_64 random(43);
  int answered = 0;
  constexpr int kSamples = 100000;
  for (int i = 0; i < kSamples; ++i) {
    const std::uint64_t significand = std::uniform_int_distribution<std::uint64_t>(1, 99999999999999999)(random);
    const int exponent = -std::uniform_int_distribution<int>(12, 17)(random);
    ASSERT_TRUE(agreesWhenAnswering(significand, exponent));
    answered += json::nearestDouble(decimalOf(significand, exponent)).has_value();
  }
  EXPECT_GT(answered, kSamples * 99 / 100);
}

TEST(DecimalConversionTest, HalfwayIntegersRoundToEven) {
  // Above 2^53 doubles are spaced more than 1 apart; the integers exactly
  // between two of them must round to the one with an even significand.
  std::mt19937_64 random(7);
  for (int i = 0; i < 50000; ++i) {
    const auto value =
        std::uniform_int_distribution<std::uint64_t>(std::uint64_t{1} << 53, 9999999999999999999u)(random);
    const auto lower = static_cast<std::uint64_t>(std::nextafter(static_cast<double>(value), 0.0));
    const std::uint64_t spacing = static_cast<std::uint64_t>(std::nextafter(static_cast<double>(lower), 2e19)) - lower;
    const std::uint64_t halfway = lower + spacing / 2;
    for (const std::uint64_t candidate : {halfway - 1, halfway, halfway + 1})
      ASSERT_TRUE(agreesWhenAnswering(candidate, 0));
  }
}

TEST(DecimalConversionTest, ValuesAtOrNearHalfwayAreLeftToTheExactConversionOrRightlyRounded) {
  // Exactly halfway between 2^53 and 2^53 + 2, and between two doubles near 2^60.
  EXPECT_FALSE(json::nearestDouble(decimalOf(9007199254740993u, 0)).has_value());
  EXPECT_FALSE(json::nearestDouble(decimalOf(1152921504606847104u, 0)).has_value());
  // Rounded once to 64 bits, these would land exactly halfway while the
  // exact value lies off to one side.
  EXPECT_TRUE(agreesWhenAnswering(83, 25));
  EXPECT_TRUE(agreesWhenAnswering(87997191296604120u, -12));
}

TEST(DecimalConversionTest, EdgesOfTheExactRanges) {
  const std::uint64_t significands[] = {1,
                                        9,
                                        (std::uint64_t{1} << 53) - 1,
                                        std::uint64_t{1} << 53,
                                        (std::uint64_t{1} << 53) + 1,
                                        (std::uint64_t{1} << 63) - 1,
                                        std::uint64_t{1} << 63,
                                        9999999999999999999u,
                                        4503599627370497u,
                                        17976931348623157u};
  for (const std::uint64_t significand : significands) {
    for (int exponent = -30; exponent <= 30; ++exponent) EXPECT_TRUE(agreesWhenAnswering(significand, exponent));
  }
  EXPECT_EQ(json::nearestDouble(decimalOf(0, 400)), 0.0);
  EXPECT_EQ(json::nearestDouble(decimalOf(5, -1)), 0.5);
  EXPECT_EQ(json::nearestDouble(decimalOf(1, 23)).value_or(1e23), 1e23);
  // Beyond every exactly held power of ten the exact conversion must answer.
  EXPECT_FALSE(json::nearestDouble(decimalOf(123, 40)).has_value());
  EXPECT_FALSE(json::nearestDouble(decimalOf(123, -40)).has_value());
}

}  // namespace
