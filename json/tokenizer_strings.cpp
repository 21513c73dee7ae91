// The string half of the tokenizer: a fast scan that takes unescaped text
// straight from the input, and a slower decoder into the token buffer for
// text with escapes or malformed UTF-8.

#include <bit>
#include <cstring>
#include <string>

#include "json/json_decoder.h"
#include "json/tokenizer.h"
#include "json/utf8_sequence.h"
#include "platform/foundation/exception.h"

namespace json {

namespace {

constexpr const char* kInvalidString = "Invalid string.";
std::string invalidCharacter(std::uint8_t byte) {
  return fnd::formatString("Invalid character < 0x20 found in string: 0x%2.2x.", byte);
}
constexpr const char* kIllegalUnicodeEscape = "Illegal \\u Unicode escape sequence.";
constexpr const char* kSecondEscapeRequired =
    "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.";
std::string bufferFull(int line) {
  return fnd::formatString("Internal error: Unable to resize temporary buffer. %s line #%d", __FILE_NAME__, line);
}

constexpr bool isHighSurrogate(char32_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool isLowSurrogate(char32_t unit) noexcept { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr std::size_t kHexDigits = 4;

// A byte as an error message shows it: itself, or U+FFFD where it is no
// text of its own (NUL, or one byte of a multi-byte character), so that the
// message stays well-formed UTF-8.
std::string shownByte(std::uint8_t byte) {
  if (byte == 0 || byte >= 0x80) return "\xEF\xBF\xBD";
  return std::string(1, static_cast<char>(byte));
}

int hexValue(std::uint8_t byte) noexcept {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

// Bytes that end or interrupt the fast scan: controls, the quote, the
// backslash and every byte that starts or continues a multi-byte sequence.
constexpr bool needsAttention(std::uint8_t byte) noexcept {
  return byte < 0x20 || byte == '"' || byte == '\\' || byte >= 0x80;
}

constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The high bit of every byte of `word` that needs attention, and possibly of
// some bytes after the first such byte (a borrow may run on), never before it.
constexpr std::uint64_t attentionBits(std::uint64_t word) noexcept {
  const std::uint64_t quotes = word ^ (kEveryByte * '"');
  const std::uint64_t backslashes = word ^ (kEveryByte * '\\');
  const std::uint64_t controls = (word - kEveryByte * 0x20) & ~word;
  const std::uint64_t zeroQuotes = (quotes - kEveryByte) & ~quotes;
  const std::uint64_t zeroBackslashes = (backslashes - kEveryByte) & ~backslashes;
  return (controls | zeroQuotes | zeroBackslashes | word) & kHighBits;
}

// Hashes the first `count` bytes of `word`, lowest address first.
std::uint32_t hashWordBytes(std::uint32_t hash, std::uint64_t word, int count) noexcept {
  for (int i = 0; i < count; ++i, word >>= 8) hash = hashStep(hash, static_cast<std::uint8_t>(word));
  return hash;
}

// The first byte from `at` that needs attention, or `end`, eight bytes at a
// time; hashes the bytes it passes over.
const std::uint8_t* skipPlainText(const std::uint8_t* at, const std::uint8_t* end, std::uint32_t& hash) noexcept {
  if constexpr (std::endian::native == std::endian::little) {
    while (end - at >= 8) {
      std::uint64_t word;
      std::memcpy(&word, at, sizeof word);
      if (const std::uint64_t bits = attentionBits(word)) {
        const int plain = std::countr_zero(bits) / 8;
        hash = hashWordBytes(hash, word, plain);
        return at + plain;
      }
      hash = hashWordBytes(hash, word, 8);
      at += 8;
    }
  }
  for (; at < end && !needsAttention(*at); ++at) hash = hashStep(hash, *at);
  return at;
}

// Collects decoded bytes in the token buffer, hashing each one.
class DecodedText {
 public:
  DecodedText(TokenBuffer& buffer, std::uint32_t hash) noexcept : m_buffer(buffer), m_hash(hash) {}
  bool makeRoom(std::size_t extra = 0) noexcept { return m_buffer.makeRoom(m_used, extra); }
  void append(const std::uint8_t* bytes, std::size_t length) noexcept {
    std::uint8_t* destination = m_buffer.data() + m_used;
    for (std::size_t i = 0; i < length; ++i) {
      destination[i] = bytes[i];
      m_hash = hashStep(m_hash, bytes[i]);
    }
    m_used += length;
  }
  void append(char32_t codePoint) noexcept {
    std::uint8_t encoded[4];
    append(encoded, encodeUtf8(codePoint, encoded));
  }
  std::size_t used() const noexcept { return m_used; }
  std::uint32_t hash() const noexcept { return m_hash; }

 private:
  TokenBuffer& m_buffer;
  std::size_t m_used = 0;
  std::uint32_t m_hash;
};

}  // namespace

bool Tokenizer::readString() {
  const std::uint8_t* begin = m_state.input + m_state.position.index + 1;
  const std::uint8_t* end = m_state.input + m_state.length;
  TokenValue& value = m_state.token.value;
  const auto finish = [&](const std::uint8_t* quote) {
    value.bytes = begin;
    value.length = static_cast<std::size_t>(quote - begin);
    value.type = ValueType::String;
    m_state.token.kind = TokenKind::String;
    m_state.token.length = value.length + 2;
    m_state.position.index = static_cast<std::size_t>(quote + 1 - m_state.input);
    return true;
  };
  // The hash is worked out while the text is scanned: one pass over the bytes.
  const std::uint8_t* at = begin;
  std::uint32_t hash = kValueHashSeed;
  while (true) {
    at = skipPlainText(at, end, hash);
    if (at == end) break;
    const std::uint8_t byte = *at;
    if (byte == '"') {
      value.hash = hash;
      return finish(at);
    }
    if (byte >= 0x80) {
      if (const std::size_t length = wellFormedLength(at, end)) {
        hash = hashRun(hash, at, at + length);
        at += length;
        continue;
      }
    } else if (byte < 0x20) {
      m_state.position.index = static_cast<std::size_t>(at - m_state.input);
      m_state.recordError(invalidCharacter(byte));
      return false;
    }
    return readEscapedString(begin, at, kValueHashSeed);
  }
  return failAt(end, kInvalidString);
}

bool Tokenizer::readEscapedString(const std::uint8_t* begin, const std::uint8_t* at, std::uint32_t seed) {
  const std::uint8_t* end = m_state.input + m_state.length;
  const bool loose = m_state.hasOption(JDParseLooseUnicode);
  DecodedText text(m_state.tokenBuffer, seed);
  const auto scanned = static_cast<std::size_t>(at - begin);
  if (!text.makeRoom(scanned)) {
    m_state.recordError(bufferFull(__LINE__));
    return false;
  }
  text.append(begin, scanned);
  // Reads four hex digits at `at`; false with an error recorded otherwise.
  const auto readUnit = [&](char32_t& unit) {
    unit = 0;
    for (std::size_t i = 0; i < kHexDigits; ++i, ++at) {
      if (at == end) return failAt(end, kInvalidString);
      const int digit = hexValue(*at);
      if (digit < 0) {
        m_state.position.index = static_cast<std::size_t>(at - m_state.input);
        m_state.recordError(fnd::formatString(
            "Unexpected character found in \\u Unicode escape sequence.  Found '%s', expected [0-9a-fA-F].",
            shownByte(*at).c_str()));
        return false;
      }
      unit = unit << 4 | static_cast<char32_t>(digit);
    }
    return true;
  };
  // An escape that cannot stand: an error, or U+FFFD when Unicode is read loosely.
  const auto substitute = [&](const std::uint8_t* where, const char* message) {
    if (!loose) return failAt(where, message);
    text.append(kReplacementCharacter);
    return true;
  };

  while (true) {
    if (!text.makeRoom()) {
      m_state.recordError(bufferFull(__LINE__));
      return false;
    }
    if (at == end) return failAt(end, kInvalidString);
    const std::uint8_t byte = *at;
    if (byte < 0x20) {
      m_state.position.index = static_cast<std::size_t>(at - m_state.input);
      m_state.recordError(invalidCharacter(byte));
      return false;
    }
    if (byte == '"') break;
    if (byte >= 0x80) {
      if (const std::size_t length = wellFormedLength(at, end)) {
        text.append(at, length);
        at += length;
        continue;
      }
      const Utf8Sequence sequence = checkUtf8Sequence(at, end);
      if (sequence.status == Utf8Status::Truncated)
        return failAt(at, "End of buffer reached while parsing UTF8 in \"\" string.");
      if (!substitute(at, "Illegal UTF8 sequence found in \"\" string.")) return false;
      at += sequence.length;
      continue;
    }
    if (byte != '\\') {
      text.append(at, 1);
      ++at;
      continue;
    }
    const std::uint8_t* escape = at;
    if (++at == end) return failAt(end, kInvalidString);
    std::uint8_t decoded = 0;
    switch (*at) {
      case '"':
      case '/':
      case '\\':
        decoded = *at;
        break;
      case 'b':
        decoded = '\b';
        break;
      case 'f':
        decoded = '\f';
        break;
      case 'n':
        decoded = '\n';
        break;
      case 'r':
        decoded = '\r';
        break;
      case 't':
        decoded = '\t';
        break;
      case 'u':
        break;
      default:
        return failAt(at, "Invalid escape sequence found in \"\" string.");
    }
    ++at;
    if (decoded) {
      text.append(&decoded, 1);
      continue;
    }
    char32_t codePoint = 0;
    if (!readUnit(codePoint)) return false;
    if (isLowSurrogate(codePoint)) {
      if (!substitute(escape, kIllegalUnicodeEscape)) return false;
      continue;
    }
    if (isHighSurrogate(codePoint)) {
      if (at == end || (at + 1 == end && *at == '\\')) return failAt(end, kInvalidString);
      if (at[0] != '\\' || at[1] != 'u') {
        // Loosely read, the byte that broke the pair is read again on its own.
        if (!substitute(at, kSecondEscapeRequired)) return false;
        continue;
      }
      at += 2;
      char32_t low = 0;
      if (!readUnit(low)) return false;
      if (!isLowSurrogate(low)) {
        if (!substitute(escape, kIllegalUnicodeEscape)) return false;
        continue;
      }
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
    }
    if (codePoint == 0 || isForbiddenCodePoint(codePoint)) {
      if (!substitute(escape, kIllegalUnicodeEscape)) return false;
      continue;
    }
    text.append(codePoint);
  }
  TokenValue& value = m_state.token.value;
  value.bytes = m_state.tokenBuffer.data();
  value.length = text.used();
  value.type = ValueType::String;
  value.hash = text.hash();
  m_state.token.kind = TokenKind::String;
  m_state.token.length = static_cast<std::size_t>(at + 1 - (begin - 1));
  m_state.position.index = static_cast<std::size_t>(at + 1 - m_state.input);
  return true;
}

}  // namespace json
