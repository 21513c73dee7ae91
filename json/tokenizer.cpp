#include "json/tokenizer.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "json/decimal_conversion.h"
#include "json/json_decoder.h"
#include "platform/foundation/exception.h"

namespace json {

namespace {

constexpr const char* kUnexpectedToken =
    "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.";
constexpr const char* kInvalidNumber = "Invalid number.";

constexpr bool isDigit(std::uint8_t byte) noexcept { return byte >= '0' && byte <= '9'; }

// Indentation comes in long runs of blanks: eight at a time.
const std::uint8_t* skipSpaces(const std::uint8_t* at, const std::uint8_t* end) noexcept {
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020ull;
  std::uint64_t word;
  while (end - at >= 8 && (std::memcpy(&word, at, sizeof word), word == kEightBlanks)) at += 8;
  while (at < end && *at == ' ') ++at;
  return at;
}

// Exponents beyond this are far outside every double's range, and the
// arithmetic on them stays clear of overflow.
constexpr int kLargestExponent = 1 << 20;

constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0ull;
constexpr std::uint64_t kEightDigitsScale = 100000000;

// Whether all eight bytes of `word` are ASCII digits: each has the high
// nibble 3, and still has it after adding 6 (which carries 3A to 3F over).
constexpr bool allDigits(std::uint64_t word) noexcept {
  return (word & kHighNibbles) == kEveryByte * '0' && ((word + kEveryByte * 6) & kHighNibbles) == kEveryByte * '0';
}

// The value of eight ASCII digits, the first at the lowest address: pairs,
// then fours, then all eight are combined, each step within lanes wide
// enough that no lane carries into the next.
constexpr std::uint32_t eightDigitsValue(std::uint64_t word) noexcept {
  word -= kEveryByte * '0';
  word = (word * 10 + (word >> 8)) & 0x00FF00FF00FF00FFull;
  word = (word * 100 + (word >> 16)) & 0x0000FFFF0000FFFFull;
  return static_cast<std::uint32_t>(word * 10000 + (word >> 32));
}
static_assert(eightDigitsValue(0x3837363534333231ull) == 12345678u);

// Reads digits into the decimal's significand; it wraps past 19 digits,
// which `digits` tells. Long runs of digits are read eight at a time.
const std::uint8_t* takeDigits(const std::uint8_t* at, const std::uint8_t* end, Decimal& decimal) noexcept {
  const std::uint8_t* first = at;
  std::uint64_t significand = decimal.significand;
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t word;
    while (end - at >= 8 && (std::memcpy(&word, at, sizeof word), allDigits(word))) {
      significand = significand * kEightDigitsScale + eightDigitsValue(word);
      at += 8;
    }
  }
  for (; at < end && isDigit(*at); ++at) significand = significand * 10 + (*at - '0');
  decimal.significand = significand;
  decimal.digits += static_cast<std::size_t>(at - first);
  return at;
}

std::uint32_t numberHash(ValueType type, const NumberStorage& storage) noexcept {
  std::uint32_t hash = kValueHashSeed + static_cast<std::uint32_t>(type);
  if (type != ValueType::Double) hash += static_cast<std::uint32_t>(storage.uint64);
  // The stored value is hashed lowest byte first whatever the machine's order.
  std::uint64_t bits = storage.uint64;
  for (std::size_t i = 0; i < sizeof storage; ++i, bits >>= 8) hash = hashStep(hash, static_cast<std::uint8_t>(bits));
  return hash;
}

}  // namespace

bool Tokenizer::failAt(const std::uint8_t* at, const char* message) {
  m_state.position.index = static_cast<std::size_t>(at - m_state.input);
  m_state.recordError(message);
  return false;
}

std::size_t Tokenizer::lineEndLength(const std::uint8_t* at) const noexcept {
  const std::uint8_t* end = m_state.input + m_state.length;
  switch (*at) {
    case '\n':
      return 1;
    case '\r':
      return at + 1 < end && at[1] == '\n' ? 2 : 1;
    case 0xC2:
      return m_state.hasOption(JDParseAllowUnicodeNewlines) && at + 1 < end && at[1] == 0x85 ? 2 : 0;
    case 0xE2:
      return m_state.hasOption(JDParseAllowUnicodeNewlines) && at + 2 < end && at[1] == 0x80 &&
                     (at[2] == 0xA8 || at[2] == 0xA9)
                 ? 3
                 : 0;
    default:
      return 0;
  }
}

const std::uint8_t* Tokenizer::skipComment(const std::uint8_t* at) noexcept {
  const std::uint8_t* end = m_state.input + m_state.length;
  if (at[1] == '/') {
    // A line comment stops before its line end, which is then counted as usual.
    at += 2;
    while (at < end && lineEndLength(at) == 0) ++at;
    return at;
  }
  at += 2;
  while (at < end) {
    if (*at == '*' && at + 1 < end && at[1] == '/') return at + 2;
    if (const std::size_t lineEnd = lineEndLength(at)) {
      at += lineEnd;
      ++m_state.position.line;
    } else {
      ++at;
    }
  }
  return end;  // an unterminated comment runs to the end of the input
}

void Tokenizer::skipWhitespace() noexcept {
  const std::uint8_t* at = m_state.input + m_state.position.index;
  const std::uint8_t* end = m_state.input + m_state.length;
  const bool comments = m_state.hasOption(JDParseAllowComments);
  while (at < end) {
    const std::uint8_t byte = *at;
    if (byte == ' ') {
      at = skipSpaces(at + 1, end);
    } else if (byte == '\t') {
      ++at;
    } else if (byte == '\n') {
      ++at;
      ++m_state.position.line;
    } else if (mayStartToken(byte)) {
      break;
    } else if (const std::size_t lineEnd = lineEndLength(at)) {
      at += lineEnd;
      ++m_state.position.line;
    } else if (comments && *at == '/' && at + 1 < end && (at[1] == '*' || at[1] == '/')) {
      at = skipComment(at);
    } else {
      break;
    }
  }
  m_state.position.index = static_cast<std::size_t>(at - m_state.input);
}

bool Tokenizer::next() {
  skipToToken();
  Token& token = m_state.token;
  // The value is set by the string and number readers, the only tokens that carry one.
  token.kind = TokenKind::None;
  if (m_state.atEnd()) {
    m_state.recordError(kUnexpectedToken);
    return false;
  }
  const std::uint8_t* at = m_state.input + m_state.position.index;
  token.begin = at;
  token.length = 1;
  switch (*at) {
    case '{':
      token.kind = TokenKind::ObjectBegin;
      break;
    case '}':
      token.kind = TokenKind::ObjectEnd;
      break;
    case '[':
      token.kind = TokenKind::ArrayBegin;
      break;
    case ']':
      token.kind = TokenKind::ArrayEnd;
      break;
    case ':':
      token.kind = TokenKind::Colon;
      break;
    case ',':
      token.kind = TokenKind::Comma;
      break;
    case '"':
      return readString();
    case 't':
      return readLiteral("true", 4, TokenKind::True);
    case 'f':
      return readLiteral("false", 5, TokenKind::False);
    case 'n':
      return readLiteral("null", 4, TokenKind::Null);
    default:
      if (*at == '-' || isDigit(*at)) return readNumber();
      m_state.recordError(kUnexpectedToken);
      return false;
  }
  ++m_state.position.index;
  return true;
}

bool Tokenizer::nextKey(RememberedKey& remembered) {
  skipToToken();
  if (takeRemembered(remembered, m_state.input + m_state.position.index)) return true;
  if (!next()) return false;
  remember(remembered);
  return true;
}

bool Tokenizer::takeRemembered(const RememberedKey& remembered, const std::uint8_t* at) noexcept {
  // Both words are read whole, so the input must hold them past the opening quote.
  const std::uint8_t* text = at + 1;
  if (remembered.length == 0 ||
      m_state.input + m_state.length - text <= static_cast<std::ptrdiff_t>(RememberedKey::kLongest) || *at != '"' ||
      text[remembered.length] != '"')
    return false;
  std::uint64_t words[2];
  std::memcpy(words, text, sizeof words);
  if (((words[0] ^ remembered.text[0]) & remembered.mask[0]) != 0 ||
      ((words[1] ^ remembered.text[1]) & remembered.mask[1]) != 0)
    return false;
  Token& token = m_state.token;
  token.kind = TokenKind::String;
  token.begin = at;
  token.length = remembered.length + 2;
  token.value.bytes = text;
  token.value.length = remembered.length;
  token.value.type = ValueType::String;
  token.value.hash = remembered.hash;
  m_state.position.index = static_cast<std::size_t>(text + remembered.length + 1 - m_state.input);
  return true;
}

void Tokenizer::remember(RememberedKey& remembered) const noexcept {
  const Token& token = m_state.token;
  // Only text taken straight from the input hashes as its own bytes.
  if (token.kind != TokenKind::String || token.value.bytes != token.begin + 1 || token.value.length == 0 ||
      token.value.length > RememberedKey::kLongest)
    return;
  remembered = {};
  std::memcpy(remembered.text, token.value.bytes, token.value.length);
  std::memset(remembered.mask, 0xFF, token.value.length);
  remembered.length = static_cast<std::uint32_t>(token.value.length);
  remembered.hash = token.value.hash;
}

bool Tokenizer::readLiteral(const char* text, std::size_t length, TokenKind kind) {
  const std::size_t index = m_state.position.index;
  // A literal must be followed by at least one byte; what that byte is, the next token decides.
  if (index + length >= m_state.length || std::memcmp(m_state.input + index, text, length) != 0) {
    m_state.recordError(kUnexpectedToken);
    return false;
  }
  m_state.token.kind = kind;
  m_state.token.length = length;
  m_state.position.index = index + length;
  return true;
}

bool Tokenizer::readNumber() {
  const std::uint8_t* begin = m_state.input + m_state.position.index;
  const std::uint8_t* end = m_state.input + m_state.length;
  const std::uint8_t* at = begin;
  bool isDouble = false;
  Decimal decimal;
  if (*at == '-') ++at;
  if (at == end || !isDigit(*at)) return failAt(at, kInvalidNumber);
  // A leading zero stands alone: a digit after it starts the next token.
  at = *at == '0' ? at + 1 : takeDigits(at, end, decimal);
  if (at < end && *at == '.') {
    isDouble = true;
    if (++at == end || !isDigit(*at)) return failAt(at, kInvalidNumber);
    const std::uint8_t* fraction = at;
    at = takeDigits(at, end, decimal);
    decimal.exponent = -static_cast<int>(std::min<std::ptrdiff_t>(at - fraction, kLargestExponent));
  }
  if (at < end && (*at == 'e' || *at == 'E')) {
    isDouble = true;
    bool negativeExponent = false;
    if (++at < end && (*at == '+' || *at == '-')) negativeExponent = *at++ == '-';
    if (at == end || !isDigit(*at)) return failAt(at, kInvalidNumber);
    int exponent = 0;
    for (; at < end && isDigit(*at); ++at) exponent = std::min(exponent * 10 + (*at - '0'), kLargestExponent);
    decimal.exponent += negativeExponent ? -exponent : exponent;
  }
  // A number is always followed by something in a well-formed document.
  if (at == end) return failAt(at, kInvalidNumber);
  // Minus zero is kept as a double so that its sign survives.
  if (at - begin == 2 && begin[0] == '-' && begin[1] == '0') isDouble = true;
  Token& token = m_state.token;
  token.kind = TokenKind::Number;
  token.begin = begin;
  token.length = static_cast<std::size_t>(at - begin);
  m_state.position.index = static_cast<std::size_t>(at - m_state.input);
  const bool converted = isDouble ? convertDouble(begin, at, decimal) : convertInteger(begin, at, decimal);
  if (!converted) return false;
  TokenValue& value = token.value;
  value.bytes = reinterpret_cast<const std::uint8_t*>(&value.number);
  value.length = sizeof value.number;
  value.hash = numberHash(value.type, value.number);
  return true;
}

bool Tokenizer::convertDouble(const std::uint8_t* begin, const std::uint8_t* end, const Decimal& decimal) {
  TokenValue& value = m_state.token.value;
  value.type = ValueType::Double;
  if (decimal.fits()) {
    if (const std::optional<double> nearest = nearestDouble(decimal)) {
      value.number.real = *begin == '-' ? -*nearest : *nearest;
      return true;
    }
  }
  const auto* first = reinterpret_cast<const char*>(begin);
  const auto* last = reinterpret_cast<const char*>(end);
  const auto [stop, status] = std::from_chars(first, last, value.number.real);
  if (status == std::errc::result_out_of_range) {
    // The token's text, NUL-terminated, for the library's own conversion
    // (which tells a value too small, 0, from one too large) and the message.
    const std::string text(first, last);
    const double rounded = std::strtod(text.c_str(), nullptr);
    m_state.recordError(fnd::formatString("The value '%s' could not be represented as a 'double' due to %s.",
                                          text.c_str(), rounded == 0.0 ? "underflow" : "overflow"));
    return false;
  }
  if (status != std::errc() || stop != last) {
    m_state.recordError("The conversion function did not consume all of the number tokens characters.");
    return false;
  }
  return true;
}

bool Tokenizer::convertInteger(const std::uint8_t* begin, const std::uint8_t* end, const Decimal& decimal) {
  TokenValue& value = m_state.token.value;
  const bool negative = *begin == '-';
  // Accumulate the magnitude unsigned; a negative one may reach 2^63 exactly.
  constexpr std::uint64_t kNegativeLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
  const std::uint64_t limit = negative ? kNegativeLimit : std::numeric_limits<std::uint64_t>::max();
  std::uint64_t magnitude = decimal.significand;
  // Up to 19 digits cannot overflow 64 bits; longer ones are checked digit by digit.
  bool inRange = decimal.fits() && magnitude <= limit;
  if (!decimal.fits()) {
    magnitude = 0;
    inRange = true;
    for (const std::uint8_t* at = negative ? begin + 1 : begin; inRange && at < end; ++at) {
      const std::uint64_t digit = *at - '0';
      inRange = magnitude <= (limit - digit) / 10;
      magnitude = magnitude * 10 + digit;
    }
  }
  if (!inRange) {
    const std::string text(reinterpret_cast<const char*>(begin), reinterpret_cast<const char*>(end));
    if (negative) {
      m_state.recordError(
          fnd::formatString("The value '%s' exceeded the minimum value that could be represented: %lld.", text.c_str(),
                            std::numeric_limits<long long>::min()));
    } else {
      m_state.recordError(
          fnd::formatString("The value '%s' exceeded the maximum value that could be represented: %llu.", text.c_str(),
                            std::numeric_limits<unsigned long long>::max()));
    }
    return false;
  }
  if (negative) {
    value.type = ValueType::Int64;
    value.number.int64 = static_cast<std::int64_t>(0 - magnitude);
  } else {
    value.type = ValueType::UInt64;
    value.number.uint64 = magnitude;
  }
  return true;
}

}  // namespace json
