#pragma once
// One token of JSON text and the value it carries: the bytes of a string
// (in the input, or in the token buffer when it had escapes) or the 8-byte
// storage of a number, with its type and 32-bit value hash.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace json {

struct CacheItem;

enum class TokenKind : std::uint8_t {
  None,
  Number,
  String,
  ObjectBegin,
  ObjectEnd,
  ArrayBegin,
  ArrayEnd,
  Colon,
  Comma,
  True,
  False,
  Null
};

constexpr bool beginsValue(TokenKind kind) noexcept {
  return kind == TokenKind::Number || kind == TokenKind::String || kind == TokenKind::ObjectBegin ||
         kind == TokenKind::ArrayBegin || kind == TokenKind::True || kind == TokenKind::False ||
         kind == TokenKind::Null;
}

// The codes also enter the cache's probe sequence and the number hash.
enum class ValueType : std::uint8_t { None = 0, String = 5, Int64 = 7, UInt64 = 11, Double = 13 };

union NumberStorage {
  std::int64_t int64;
  std::uint64_t uint64;
  double real;
};

struct TokenValue {
  const std::uint8_t* bytes = nullptr;
  std::size_t length = 0;
  ValueType type = ValueType::None;
  std::uint32_t hash = 0;
  CacheItem* cacheItem = nullptr;
  NumberStorage number{};
};

struct Token {
  TokenKind kind = TokenKind::None;
  const std::uint8_t* begin = nullptr;  // the token's text in the input
  std::size_t length = 0;
  TokenValue value;
};

// A short key as last read at one place of an object, with its value hash,
// so that the same key at the same place of the next object is taken
// without being scanned and hashed again. Length 0: nothing remembered.
struct RememberedKey {
  static constexpr std::size_t kLongest = 2 * sizeof(std::uint64_t);
  std::uint64_t text[2] = {};  // the key's bytes as two words, zero beyond its length
  std::uint64_t mask[2] = {};  // all ones over the key's bytes
  std::uint32_t length = 0;
  std::uint32_t hash = 0;
};

// The value hash: one step per byte of a string's decoded text or a number's storage.
inline constexpr std::uint32_t kValueHashSeed = 1402737925u;
// Makes `value` opaque to the optimizer, so that the operations before and
// after it are not merged into one.
constexpr void keepApart(std::uint32_t& value) noexcept {
#if defined(__GNUC__)
  if (!std::is_constant_evaluated()) asm("" : "+r"(value));
#endif
}

// Each step waits for the one before, so the step's own latency is what
// hashing costs. Left to itself the compiler folds the step into a shift, a
// three-operand address computation, an add and an xor, one after the
// other; kept apart, the shift and the add of the byte run side by side,
// and the chain is three single-cycle operations.
constexpr std::uint32_t hashStep(std::uint32_t hash, std::uint8_t byte) noexcept {
  std::uint32_t term = byte - 29u;  // off the chain: it depends on the byte alone
  keepApart(term);
  std::uint32_t withByte = hash + term;
  keepApart(withByte);
  return (withByte + (hash << 5)) ^ (hash >> 19);
}
constexpr std::uint32_t hashRun(std::uint32_t hash, const std::uint8_t* at, const std::uint8_t* end) noexcept {
  for (; at < end; ++at) hash = hashStep(hash, *at);
  return hash;
}

}  // namespace json
