// Differential check of the quick decimal conversion: whenever it answers,
// its double must be the exact conversion's to the bit. The input picks
// the significand (its first 8 bytes) and the exponent (the next byte).

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "json/decimal_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kInputBytes = sizeof(std::uint64_t) + 1;
  if (size < kInputBytes) return 0;
  std::uint64_t significand;
  std::memcpy(&significand, data, sizeof significand);
  const int exponent = static_cast<std::int8_t>(data[sizeof significand]) % 40;
  const std::string digits = std::to_string(significand);
  if (digits.size() > json::Decimal::kMostSignificandDigits) return 0;
  const std::optional<double> quick = json::nearestDouble({significand, digits.size(), exponent});
  if (!quick) return 0;
  const std::string text = digits + "e" + std::to_string(exponent);
  double exact = 0;
  std::from_chars(text.data(), text.data() + text.size(), exact);
  if (std::memcmp(&exact, &*quick, sizeof exact) != 0) __builtin_trap();
  return 0;
}
