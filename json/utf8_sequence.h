#pragma once
// Checking and writing single UTF-8 sequences for the JSON string scanner:
// well-formedness per the Unicode standard's table plus the code points a
// JSON string may not carry (surrogates, noncharacters, beyond U+10FFFF).

#include <cstddef>
#include <cstdint>

namespace json {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

enum class Utf8Status : std::uint8_t { WellFormed, Truncated, Malformed };

struct Utf8Sequence {
  Utf8Status status;
  // WellFormed: the sequence's length; Malformed: the bytes to skip to the next lead byte.
  std::size_t length;
  char32_t codePoint;  // WellFormed only
};

// Examines the sequence that starts at `bytes` (a byte of 0x80 or more).
Utf8Sequence checkUtf8Sequence(const std::uint8_t* bytes, const std::uint8_t* end) noexcept;

// The length of the well-formed, allowed sequence at `bytes` (a byte of 0x80
// or more), or 0. The two- and three-byte forms that no narrowed range or
// forbidden code point can touch (most text beyond ASCII) are told apart here.
inline std::size_t wellFormedLength(const std::uint8_t* bytes, const std::uint8_t* end) noexcept {
  const auto continues = [&](std::size_t i) { return bytes + i < end && (bytes[i] & 0xC0) == 0x80; };
  const std::uint8_t lead = bytes[0];
  if (lead >= 0xC2 && lead <= 0xDF && continues(1)) return 2;
  if (((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE) && continues(1) && continues(2)) return 3;
  const Utf8Sequence sequence = checkUtf8Sequence(bytes, end);
  return sequence.status == Utf8Status::WellFormed ? sequence.length : 0;
}

// Surrogates, U+FDD0 to U+FDEF, code points ending in FFFE or FFFF, and anything above U+10FFFF.
constexpr bool isForbiddenCodePoint(char32_t codePoint) noexcept {
  return (codePoint >= 0xD800 && codePoint <= 0xDFFF) || (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) ||
         (codePoint & 0xFFFE) == 0xFFFE || codePoint > 0x10FFFF;
}

// Writes `codePoint` (at most U+10FFFF) as 1 to 4 bytes; returns the count.
std::size_t encodeUtf8(char32_t codePoint, std::uint8_t* destination) noexcept;

}  // namespace json
