#pragma once
// String comparisons under case and diacritic folding, shared by every search
// of stored text (in memory and in SQL) so all give the same answer. Thread-safe.
#include <string>
#include <string_view>

namespace fnd {

struct StringOptions {
  bool caseInsensitive = false;       // [c]
  bool diacriticInsensitive = false;  // [d]
  int bits() const noexcept { return (caseInsensitive ? 1 : 0) | (diacriticInsensitive ? 2 : 0); }
  static StringOptions fromBits(int bits) noexcept { return {(bits & 1) != 0, (bits & 2) != 0}; }
};

enum class StringOperator { Equal, Like, Contains, BeginsWith, EndsWith };

// `text` folded per the options: diacritics removed (marks stripped, Latin
// letters with a stroke such as Ø, Đ, Ł taken to their base letters), case
// folded. Equal folded texts are equal under the options; the result is UTF-32.
std::u32string foldText(std::string_view utf8, StringOptions options);
// The same into `folded`, reusing its storage.
void foldTextInto(std::u32string& folded, std::string_view utf8, StringOptions options);

// Names the folding above; stored search keys made under another are rebuilt.
inline constexpr std::string_view kFoldingVersion = "2";

// The case- and diacritic-folded text as UTF-8, the key of search indexes.
std::string searchKey(std::string_view utf8);

// `pattern` against all of `text`: "*" matches any run, "?" one character.
bool likeMatch(std::u32string_view pattern, std::u32string_view text);

// Applies `op` with `operand` (the right side) to `text`.
bool matchString(StringOperator op, std::string_view text, std::string_view operand, StringOptions options);
// The same on texts already folded alike, for callers that fold the operand once.
bool matchFoldedText(StringOperator op, std::u32string_view folded, std::u32string_view foldedOperand);

// Three-way comparison of the folded texts (code point order).
int compareStrings(std::string_view a, std::string_view b, StringOptions options);

// The characters before the first wildcard of a like pattern.
std::string_view likeLiteralPrefix(std::string_view pattern);

}  // namespace fnd
