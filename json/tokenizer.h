#pragma once
// Tokenizer: reads the next JSON token from the parse state's input into its
// current token, keeping the byte index and line number up to date, and
// records the first error it meets. Used by one thread at a time.

#include "json/decimal_conversion.h"
#include "json/parse_state.h"

namespace json {

class Tokenizer {
 public:
  explicit Tokenizer(ParseState& state) noexcept : m_state(state) {}

  // Reads one token into `state.token`; false (with an error recorded) when
  // there is none or it is malformed.
  bool next();
  // Reads one token where an object's key may come: a key that repeats
  // `remembered` is taken as it stands; a short key read in full becomes
  // the one remembered.
  bool nextKey(RememberedKey& remembered);
  // Skips white space, line ends and (when allowed) comments.
  void skipWhitespace() noexcept;
  // Consumes `separator` (a colon or a comma) when it is the very next byte,
  // as it mostly is, without reading a whole token; false, consuming
  // nothing, otherwise.
  bool skipSeparator(std::uint8_t separator) noexcept {
    const std::size_t index = m_state.position.index;
    if (index >= m_state.length || m_state.input[index] != separator) return false;
    m_state.position.index = index + 1;
    return true;
  }

 private:
  // A byte that can be neither white space, nor a line end, nor the start
  // of a comment, whatever the options.
  static constexpr bool mayStartToken(std::uint8_t byte) noexcept { return byte > ' ' && byte < 0x80 && byte != '/'; }
  // Skips white space unless a token starts right here, as it mostly does.
  void skipToToken() noexcept {
    if (m_state.atEnd() || !mayStartToken(m_state.input[m_state.position.index])) skipWhitespace();
  }
  // Length of the line end at `at`, or 0 when there is none.
  std::size_t lineEndLength(const std::uint8_t* at) const noexcept;
  const std::uint8_t* skipComment(const std::uint8_t* at) noexcept;
  bool readLiteral(const char* text, std::size_t length, TokenKind kind);
  bool readString();
  // True, with the token read, when the key at `at` is `remembered`.
  bool takeRemembered(const RememberedKey& remembered, const std::uint8_t* at) noexcept;
  void remember(RememberedKey& remembered) const noexcept;
  bool readEscapedString(const std::uint8_t* begin, const std::uint8_t* at, std::uint32_t hash);
  bool readNumber();
  // Each sets the token's value from the number text from `begin` to `end`, read as `decimal`.
  bool convertDouble(const std::uint8_t* begin, const std::uint8_t* end, const Decimal& decimal);
  bool convertInteger(const std::uint8_t* begin, const std::uint8_t* end, const Decimal& decimal);
  bool failAt(const std::uint8_t* at, const char* message);

  ParseState& m_state;
};

}  // namespace json
