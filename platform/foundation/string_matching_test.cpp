#include "platform/foundation/string_matching.h"

#include <gtest/gtest.h>

namespace fnd {
namespace {

constexpr StringOptions kExact{};
constexpr StringOptions kCase{true, false};
constexpr StringOptions kDiacritics{false, true};
constexpr StringOptions kBoth{true, true};

std::u32string utf32(std::string_view utf8) { return foldText(utf8, kExact); }

bool like(std::string_view pattern, std::string_view text, StringOptions options = kExact) {
  return matchString(StringOperator::Like, text, pattern, options);
}

TEST(StringMatchingTest, FoldingOfCaseDiacriticsAndNorwegianLetters) {
  EXPECT_EQ(foldText("ÅLESUND", kCase), utf32("ålesund"));
  EXPECT_EQ(foldText("ÅLESUND", kDiacritics), utf32("ALESUND"));
  EXPECT_EQ(foldText("ÅLESUND", kBoth), utf32("alesund"));
  EXPECT_EQ(foldText("ÅLESUND", kExact), utf32("ÅLESUND"));
  // Æ is a letter of its own: only its case folds. Ø, like the other Latin
  // letters with a stroke, has no separable mark and still folds to its base letter.
  EXPECT_EQ(foldText("ÆRØ", kBoth), utf32("æro"));
  EXPECT_EQ(foldText("ÆRØ", kDiacritics), utf32("ÆRO"));
  EXPECT_EQ(foldText("ÆRØ", kCase), utf32("ærø"));
  EXPECT_EQ(foldText("Đakovo Łódź Ħamrun Ǿ", kBoth), utf32("dakovo lodz hamrun o"));
  EXPECT_TRUE(matchString(StringOperator::Like, "Café Øst", "cafe ost", kBoth));
  EXPECT_FALSE(matchString(StringOperator::Like, "Café Øst", "cafe ost", kCase));
  // A combining mark folds like the precomposed letter.
  EXPECT_EQ(foldText("Cafe\u0301", kBoth), foldText("CAFÉ", kBoth));
  EXPECT_EQ(foldText("A\u030A", kDiacritics), utf32("A"));
  EXPECT_EQ(foldText("Crème Brûlée", kBoth), utf32("creme brulee"));
  EXPECT_EQ(foldText("ΣΟΦΊΑ", kBoth), utf32("σοφια"));
  EXPECT_EQ(foldText("", kBoth), std::u32string());
  EXPECT_EQ(foldText("22 33-44", kBoth), utf32("22 33-44"));
  // Folding counts characters, not bytes.
  EXPECT_EQ(foldText("øå", kExact).size(), 2u);
}

TEST(StringMatchingTest, SearchKeysAreTheFullyFoldedText) {
  EXPECT_EQ(searchKey("ÅLESUND"), "alesund");
  EXPECT_EQ(searchKey("Bærum"), "bærum");
  EXPECT_EQ(searchKey("AbC 123"), "abc 123");
  EXPECT_EQ(searchKey("e\u0301"), "e");
  EXPECT_EQ(searchKey(""), "");
  for (std::string_view text : {"Ålesund", "ØRSTA", "Café", "Tromsø"}) {
    std::u32string folded = foldText(text, kBoth);
    EXPECT_EQ(foldText(searchKey(text), kExact), folded) << text;
  }
}

TEST(StringMatchingTest, LikeWildcardsAnywhereWithBacktracking) {
  struct Case {
    const char* pattern;
    const char* text;
    bool matches;
  };
  const Case cases[] = {
      {"", "", true},           {"", "a", false},         {"*", "", true},           {"**", "", true},
      {"?", "", false},         {"*?", "", false},        {"?", "å", true},          {"??", "å", false},
      {"a*", "abc", true},      {"*c", "abc", true},      {"a*c", "abc", true},      {"a*c", "ac", true},
      {"a*c", "ab", false},     {"*b*", "abc", true},     {"*x*", "abc", false},     {"a?c", "abc", true},
      {"a?c", "ac", false},     {"*a*b", "aXaXb", true},  {"*a*b", "aXaXbX", false}, {"*ab", "aab", true},
      {"a*b*c", "abcbc", true}, {"a*b*c", "acb", false},  {"*aab", "aaab", true},    {"?*?", "ab", true},
      {"?*?", "a", false},      {"*?b", "bb", true},      {"abc", "abcd", false},    {"abcd", "abc", false},
      {"Å*Ø", "Åse Ø", true},   {"*ø?", "Tromsø!", true}, {"100%", "100%", true},    {"a_b", "axb", false},
      {"'", "'", true},         {"%", "anything", false}, {"*%*", "5% off", true},   {"_", "_", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(like(c.pattern, c.text), c.matches) << "'" << c.pattern << "' on '" << c.text << "'";
  }
  EXPECT_TRUE(like("*Ø*", "tromsø", kCase));
  EXPECT_TRUE(like("a*sund", "Ålesund", kBoth));
  EXPECT_FALSE(like("a*sund", "Ålesund", kCase));
  EXPECT_TRUE(like("?lesund", "A\u030Alesund", kDiacritics)) << "a letter with a combining mark is one character";
  // Long runs must not take exponential time.
  std::string text(2000, 'a');
  EXPECT_FALSE(like("*a*a*a*a*a*a*a*a*a*b", text));
}

TEST(StringMatchingTest, OperatorsOverFoldedText) {
  EXPECT_TRUE(matchString(StringOperator::Equal, "Ærlig", "ærlig", kCase));
  EXPECT_FALSE(matchString(StringOperator::Equal, "Ærlig", "ærlig", kExact));
  EXPECT_FALSE(matchString(StringOperator::Equal, "Ærlig", "aerlig", kBoth));
  EXPECT_TRUE(matchString(StringOperator::Contains, "Kristiansand", "TIAN", kCase));
  EXPECT_FALSE(matchString(StringOperator::Contains, "Kristiansand", "TIAN", kExact));
  EXPECT_TRUE(matchString(StringOperator::Contains, "Café Ås", "e a", kBoth));
  EXPECT_TRUE(matchString(StringOperator::BeginsWith, "Årdal", "ar", kBoth));
  EXPECT_FALSE(matchString(StringOperator::BeginsWith, "Årdal", "ar", kCase));
  EXPECT_TRUE(matchString(StringOperator::EndsWith, "Bodø", "DØ", kCase));
  EXPECT_TRUE(matchString(StringOperator::EndsWith, "Bodø", "do", kBoth)) << "ø folds like a letter with a mark";
  EXPECT_FALSE(matchString(StringOperator::EndsWith, "Bodø", "do", kCase));
  EXPECT_FALSE(matchString(StringOperator::BeginsWith, "ab", "abc", kExact));
  EXPECT_FALSE(matchString(StringOperator::EndsWith, "bc", "abc", kExact));
  EXPECT_FALSE(matchString(StringOperator::Contains, "", "a", kBoth));
  // Wildcards mean nothing outside LIKE.
  EXPECT_FALSE(matchString(StringOperator::Contains, "abc", "a*c", kExact));
  EXPECT_FALSE(matchString(StringOperator::Equal, "abc", "???", kExact));
}

TEST(StringMatchingTest, OrderIsCodePointOrderOfTheFoldedText) {
  EXPECT_LT(compareStrings("a", "b", kExact), 0);
  EXPECT_GT(compareStrings("b", "a", kExact), 0);
  EXPECT_EQ(compareStrings("same", "same", kExact), 0);
  EXPECT_LT(compareStrings("B", "a", kExact), 0);
  EXPECT_GT(compareStrings("B", "a", kCase), 0);
  EXPECT_EQ(compareStrings("OSLO", "oslo", kCase), 0);
  EXPECT_LT(compareStrings("ab", "abc", kExact), 0);
  EXPECT_LT(compareStrings("", "a", kBoth), 0);
  EXPECT_GT(compareStrings("Å", "Z", kExact), 0);
  EXPECT_LT(compareStrings("Å", "Z", kDiacritics), 0);
  EXPECT_EQ(compareStrings("Élan", "elan", kBoth), 0);
  // Beyond the basic plane the order is still by code point, as in UTF-8 bytes.
  EXPECT_GT(compareStrings("\U0001F600", "\uFFFD", kExact), 0);
  EXPECT_GT(compareStrings("\U0001F600", "\uFFFD", kCase), 0);
}

TEST(StringMatchingTest, LiteralPrefixStopsAtTheFirstWildcard) {
  EXPECT_EQ(likeLiteralPrefix("abc*d"), "abc");
  EXPECT_EQ(likeLiteralPrefix("ab?c*"), "ab");
  EXPECT_EQ(likeLiteralPrefix("*abc"), "");
  EXPECT_EQ(likeLiteralPrefix("abc"), "abc");
  EXPECT_EQ(likeLiteralPrefix(""), "");
}

}  // namespace
}  // namespace fnd
