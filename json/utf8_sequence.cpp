#include "json/utf8_sequence.h"

namespace json {

namespace {

constexpr bool isContinuation(std::uint8_t byte) noexcept { return (byte & 0xC0) == 0x80; }

// Bytes from `bytes` up to the next byte that could start a sequence.
std::size_t resumeDistance(const std::uint8_t* bytes, const std::uint8_t* end) noexcept {
  std::size_t distance = 1;
  while (bytes + distance < end && isContinuation(bytes[distance])) ++distance;
  return distance;
}

}  // namespace

Utf8Sequence checkUtf8Sequence(const std::uint8_t* bytes, const std::uint8_t* end) noexcept {
  const std::uint8_t lead = bytes[0];
  std::size_t length = 0;
  char32_t codePoint = 0;
  // The second byte's range narrows after some lead bytes, which rules out
  // overlong forms, surrogates and values beyond U+10FFFF.
  std::uint8_t secondLow = 0x80;
  std::uint8_t secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return {Utf8Status::Malformed, resumeDistance(bytes, end), 0};
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (bytes + i >= end) return {Utf8Status::Truncated, i, 0};
    const std::uint8_t byte = bytes[i];
    const bool inRange = i == 1 ? (byte >= secondLow && byte <= secondHigh) : isContinuation(byte);
    if (!inRange) return {Utf8Status::Malformed, resumeDistance(bytes, end), 0};
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  if (isForbiddenCodePoint(codePoint)) return {Utf8Status::Malformed, resumeDistance(bytes, end), 0};
  return {Utf8Status::WellFormed, length, codePoint};
}

std::size_t encodeUtf8(char32_t codePoint, std::uint8_t* destination) noexcept {
  if (codePoint < 0x80) {
    destination[0] = static_cast<std::uint8_t>(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    destination[0] = static_cast<std::uint8_t>(0xC0 | (codePoint >> 6));
    destination[1] = static_cast<std::uint8_t>(0x80 | (codePoint & 0x3F));
    return 2;
  }
  if (codePoint < 0x10000) {
    destination[0] = static_cast<std::uint8_t>(0xE0 | (codePoint >> 12));
    destination[1] = static_cast<std::uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
    destination[2] = static_cast<std::uint8_t>(0x80 | (codePoint & 0x3F));
    return 3;
  }
  destination[0] = static_cast<std::uint8_t>(0xF0 | (codePoint >> 18));
  destination[1] = static_cast<std::uint8_t>(0x80 | ((codePoint >> 12) & 0x3F));
  destination[2] = static_cast<std::uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
  destination[3] = static_cast<std::uint8_t>(0x80 | (codePoint & 0x3F));
  return 4;
}

}  // namespace json
