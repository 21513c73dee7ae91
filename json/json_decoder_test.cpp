#include "json/json_decoder.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/object_arena.h"
#include "tests/support/json/compact_json.h"
#include "tests/support/json/json_test_helpers.h"

namespace json {
namespace {

using test::decode;
using test::failure;

constexpr const char* kUnexpectedToken =
    "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.";

// The decoded value as canonical compact JSON, or the failure.
std::string decoded(std::string_view text, JDParseOptionFlags options = JDParseDefault) {
  fnd::Ref<fnd::Object> value = decode(text, options);
  return value ? jsondecode::compactJson(*value) : failure(text, options);
}

const fnd::Number& firstNumber(const fnd::Ref<fnd::Object>& array) {
  return *static_cast<const fnd::Number*>(static_cast<const fnd::Array&>(*array).objectAtIndex(0));
}

TEST(JSONDecoderTest, DocumentStructureErrors) {
  EXPECT_EQ(decoded("[]"), "[]");
  EXPECT_EQ(decoded("{}"), "{}");
  EXPECT_EQ(failure("[1,]"), "Unexpected ']'. @4:1");
  EXPECT_EQ(failure("{\"a\":1,}"), "Unexpected '}'. @8:1");
  EXPECT_EQ(failure("[1 2]"), "Unexpected value. @4:1");
  EXPECT_EQ(failure("[,1]"), "Unexpected ','. @2:1");
  EXPECT_EQ(failure("\"text\""), "Expected either '[' or '{'. @6:1");
  EXPECT_EQ(failure("12 "), "Expected either '[' or '{'. @2:1");
  EXPECT_EQ(failure(""), "Reached the end of the buffer. @0:1");
  EXPECT_EQ(failure(" \n\t"), std::string(kUnexpectedToken) + " @3:2");
  EXPECT_EQ(failure("[1"), "Invalid number. @2:1");
  EXPECT_EQ(failure("[1,"), std::string(kUnexpectedToken) + " @3:1");
  EXPECT_EQ(failure("[01]"), "Unexpected value. @3:1");
  EXPECT_EQ(failure("[x]"), std::string(kUnexpectedToken) + " @1:1");
}

TEST(JSONDecoderTest, ExpectationMessagesNameWhatWasWanted) {
  EXPECT_EQ(failure("[1 :"), "Expected a comma or a ']', not ':' @4:1");
  EXPECT_EQ(failure("[}"), "Expected a value or a ']', not '}' @2:1");
  EXPECT_EQ(failure("[1,:"), "Expected a value, not ':' @4:1");
  EXPECT_EQ(failure("{12:1}"), "Expected a \"STRING\" or a '}', not '12' @3:1");
  EXPECT_EQ(failure("{\"a\" 1}"), "Expected ':'. @6:1");
  EXPECT_EQ(failure("{\"a\":]"), "Expected a value or a '}', not ']' @6:1");
  EXPECT_EQ(failure("{\"a\":1 \"b\":2}"), "Unexpected string. @10:1");
  EXPECT_EQ(failure("{\"a\":1]"), "Expected a comma or a '}', not ']' @7:1");
}

TEST(JSONDecoderTest, LineNumbersCountEachLineEndOnce) {
  EXPECT_EQ(failure("[\r\n1,\r\n]"), "Unexpected ']'. @8:3");
  EXPECT_EQ(failure("[\r\r\n\n1 2]"), "Unexpected value. @8:4");
  // Form feed and vertical tab are not white space.
  EXPECT_EQ(failure("[\f]"), std::string(kUnexpectedToken) + " @1:1");
}

TEST(JSONDecoderTest, TrailingText) {
  const char* message =
      "A valid JSON object was parsed but there were additional non-white-space characters remaining.";
  EXPECT_EQ(failure("[1] x"), std::string(message) + " @4:1");
  EXPECT_EQ(decoded("[1] x", JDParseAllowTrailingText), "[1]");
  EXPECT_EQ(decoded("[1] \r\n \n"), "[1]");
  EXPECT_EQ(failure("[true]false"), std::string(message) + " @6:1");
}

TEST(JSONDecoderTest, Literals) {
  EXPECT_EQ(decoded("[true,false,null]"), "[true,false,null]");
  auto array = decode("[true,null]");
  ASSERT_TRUE(array);
  EXPECT_EQ(static_cast<fnd::Array&>(*array).objectAtIndex(0), fnd::Number::yes());
  EXPECT_EQ(static_cast<fnd::Array&>(*array).objectAtIndex(1), fnd::Null::null());
  EXPECT_EQ(failure("[tru]"), std::string(kUnexpectedToken) + " @1:1");
  // The byte after a literal belongs to the next token.
  EXPECT_EQ(failure("[truex]"), std::string(kUnexpectedToken) + " @5:1");
}

TEST(JSONDecoderTest, NumberTypes) {
  auto minusZero = decode("[-0]");
  ASSERT_TRUE(minusZero);
  EXPECT_EQ(firstNumber(minusZero).type(), fnd::Number::Type::Double);
  EXPECT_TRUE(std::signbit(firstNumber(minusZero).doubleValue()));
  auto minusOne = decode("[-1]");
  EXPECT_EQ(firstNumber(minusOne).type(), fnd::Number::Type::Int64);
  EXPECT_EQ(firstNumber(minusOne).int64Value(), -1);
  auto large = decode("[9223372036854775807,9223372036854775808]");
  ASSERT_TRUE(large);
  EXPECT_EQ(firstNumber(large).type(), fnd::Number::Type::Int64);
  const auto& unsignedOne = *static_cast<const fnd::Number*>(static_cast<fnd::Array&>(*large).objectAtIndex(1));
  EXPECT_EQ(unsignedOne.type(), fnd::Number::Type::UInt64);
  EXPECT_EQ(decoded("[18446744073709551615,-9223372036854775808]"), "[18446744073709551615,-9223372036854775808]");
  EXPECT_EQ(decoded("[0.5,1E2,-1e-2,2.50e+1,0]"), "[0.5,100.0,-0.01,25.0,0]");
  EXPECT_EQ(decoded("[1.7976931348623157e308,5e-324]"), "[1.7976931348623157e+308,4.9406564584124654e-324]");
}

TEST(JSONDecoderTest, DoublesAreTheNearestOnesWhateverTheirDigits) {
  // Short and long significands, halfway cases that round to even, values
  // whose quick conversion must give way to the exact one, long exponents.
  const std::pair<const char*, double> cases[] = {{"-65.613616999999977", -65.613616999999977},
                                                  {"43.420273000000009", 43.420273000000009},
                                                  {"9007199254740993.0", 9007199254740992.0},
                                                  {"9007199254740995e0", 9007199254740996.0},
                                                  {"83e25", 83e25},
                                                  {"87997.191296604120", 87997.191296604120},
                                                  {"0.1", 0.1},
                                                  {"123456789012345678901234e-20", 1234.5678901234568},
                                                  {"1e0000000000000000000000001", 10.0},
                                                  {"0.000000000000000000000000000001", 1e-30},
                                                  {"-0.0", -0.0},
                                                  {"1E-0", 1.0}};
  for (const auto& [text, expected] : cases) {
    const auto array = decode(std::string("[") + text + "]");
    ASSERT_TRUE(array) << text;
    EXPECT_EQ(firstNumber(array).type(), fnd::Number::Type::Double) << text;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(firstNumber(array).doubleValue()), std::bit_cast<std::uint64_t>(expected))
        << text;
  }
}

TEST(JSONDecoderTest, NumberErrors) {
  EXPECT_EQ(failure("[18446744073709551616]"),
            "The value '18446744073709551616' exceeded the maximum value that could be represented: "
            "18446744073709551615. @21:1");
  EXPECT_EQ(failure("[-9223372036854775809]"),
            "The value '-9223372036854775809' exceeded the minimum value that could be represented: "
            "-9223372036854775808. @21:1");
  EXPECT_EQ(failure("[1e400]"), "The value '1e400' could not be represented as a 'double' due to overflow. @6:1");
  EXPECT_EQ(failure("[1e-400]"), "The value '1e-400' could not be represented as a 'double' due to underflow. @7:1");
  EXPECT_EQ(failure("[-]"), "Invalid number. @2:1");
  EXPECT_EQ(failure("[1.]"), "Invalid number. @3:1");
  EXPECT_EQ(failure("[1e+]"), "Invalid number. @4:1");
  EXPECT_EQ(failure("[.5]"), std::string(kUnexpectedToken) + " @1:1");
}

// A random JSON number: up to 19 integer digits, and for a double also up to
// 25 fraction digits and an exponent of up to two digits.
std::string randomNumberText(std::mt19937_64& random, bool isDouble) {
  const auto below = [&random](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };
  const auto digits = [&](int count, bool leading) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + (i == 0 && leading ? 1 + below(9) : below(10)));
    return text;
  };
  std::string text = below(2) ? "-" : "";
  // Every integer of up to 19 digits fits unsigned, up to 18 signed.
  const int mostDigits = isDouble || text.empty() ? 19 : 18;
  text += below(8) == 0 ? "0" : digits(1 + below(mostDigits), true);
  if (!isDouble) return text;
  const bool fraction = below(4) != 0;
  if (fraction) text += "." + digits(1 + below(25), false);
  if (!fraction || below(2))
    text += std::string(below(2) ? "e" : "E") + (below(2) ? "-" : "+") + digits(1 + below(2), false);
  return text;
}

TEST(JSONDecoderTest, NumbersOfEveryLengthDecodeToTheLibrarysValues) {
  std::mt19937_64 random(2026);
  constexpr int kDocuments = 400;
  constexpr int kNumbersPerDocument = 100;
  for (int document = 0; document < kDocuments; ++document) {
    std::vector<std::string> texts;
    std::string json = "[";
    for (int i = 0; i < kNumbersPerDocument; ++i) {
      texts.push_back(randomNumberText(random, i % 2 == 0));
      json += (i ? "," : "") + texts.back();
    }
    const auto array = decode(json + "]");
    ASSERT_TRUE(array) << json;
    for (int i = 0; i < kNumbersPerDocument; ++i) {
      const std::string& text = texts[static_cast<std::size_t>(i)];
      const auto& number = *static_cast<const fnd::Number*>(
          static_cast<const fnd::Array&>(*array).objectAtIndex(static_cast<std::size_t>(i)));
      const char* first = text.data();
      const char* last = first + text.size();
      if (text.find_first_of(".eE") != std::string::npos || text == "-0") {
        double expected = 0;
        std::from_chars(first, last, expected);
        ASSERT_EQ(number.type(), fnd::Number::Type::Double) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(number.doubleValue()), std::bit_cast<std::uint64_t>(expected)) << text;
      } else if (text[0] == '-') {
        std::int64_t expected = 0;
        std::from_chars(first, last, expected);
        ASSERT_EQ(number.type(), fnd::Number::Type::Int64) << text;
        ASSERT_EQ(number.int64Value(), expected) << text;
      } else {
        std::uint64_t expected = 0;
        std::from_chars(first, last, expected);
        ASSERT_EQ(number.type(), expected >> 63 ? fnd::Number::Type::UInt64 : fnd::Number::Type::Int64) << text;
        ASSERT_EQ(number.uint64Value(), expected) << text;
      }
    }
  }
}

TEST(JSONDecoderTest, StringsAndEscapes) {
  EXPECT_EQ(decoded(R"(["a\"\\\/\b\f\n\r\t"])"), "[\"a\\\"\\\\/\\u0008\\u000c\\u000a\\u000d\\u0009\"]");
  EXPECT_EQ(decoded(R"(["\u00e9\u20AC\ud83d\ude00", "é€😀"])"), "[\"é€😀\",\"é€😀\"]");
  EXPECT_EQ(failure("[\"a\tb\"]"), "Invalid character < 0x20 found in string: 0x09. @3:1");
  EXPECT_EQ(failure(R"(["\x"])"), "Invalid escape sequence found in \"\" string. @3:1");
  EXPECT_EQ(failure(R"(["\u12G4"])"),
            "Unexpected character found in \\u Unicode escape sequence.  Found 'G', expected [0-9a-fA-F]. @6:1");
  // A byte that is no character of its own shows as U+FFFD, so the message stays text.
  for (const char* broken : {"[\"\\u12\xC3\xA9"
                             "4\"]",
                             "[\"\\u12\xFF"
                             "4\"]"}) {
    EXPECT_EQ(failure(broken),
              "Unexpected character found in \\u Unicode escape sequence.  Found '\uFFFD', expected [0-9a-fA-F]. @6:1");
  }
  EXPECT_EQ(failure(std::string("[\"\\u12\0004\"]", 10)),
            "Unexpected character found in \\u Unicode escape sequence.  Found '\uFFFD', expected [0-9a-fA-F]. @6:1");
  EXPECT_EQ(failure("[\"abc"), "Invalid string. @5:1");
  EXPECT_EQ(failure("[\"\xE2\x82"), "End of buffer reached while parsing UTF8 in \"\" string. @2:1");
}

TEST(JSONDecoderTest, LongEscapedStringsGrowTheTokenBuffer) {
  std::string expected(10000, 'x');
  for (std::size_t i = 0; i < expected.size(); i += 7) expected[i] = '\n';
  std::string text = "[\"";
  for (const char c : expected) text += c == '\n' ? "\\n" : "x";
  text += "\"]";
  auto array = decode(text);
  ASSERT_TRUE(array);
  EXPECT_EQ(static_cast<fnd::String*>(static_cast<fnd::Array&>(*array).objectAtIndex(0))->utf8(), expected);
}

TEST(JSONDecoderTest, StrictUnicodeRefusesWhatLooseUnicodeReplaces) {
  struct Case {
    const char* text;
    const char* strict;
    const char* loose;
  };
  const char* illegalEscape = "Illegal \\u Unicode escape sequence.";
  const char* illegalUtf8 = "Illegal UTF8 sequence found in \"\" string.";
  const Case cases[] = {
      {R"(["\u0000"])", illegalEscape, "[\"\xEF\xBF\xBD\"]"},
      {R"(["\uDC00x"])", illegalEscape, "[\"\xEF\xBF\xBDx\"]"},
      {R"(["\uD800x"])",
       "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.",
       "[\"\xEF\xBF\xBDx\"]"},
      {R"(["\uD800\n"])",
       "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.",
       "[\"\xEF\xBF\xBD\\u000a\"]"},
      {R"(["\uD800\u0041"])", illegalEscape, "[\"\xEF\xBF\xBD\"]"},
      {R"(["\uFFFE\uFDD0\uFDEF"])", illegalEscape, "[\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"]"},
      {R"(["\uDBFF\uDFFF"])", illegalEscape, "[\"\xEF\xBF\xBD\"]"},  // U+10FFFF
      {"[\"\xEF\xBF\xBE\"]", illegalUtf8, "[\"\xEF\xBF\xBD\"]"},     // U+FFFE
      {"[\"a\xC0\xAF"
       "b\"]",
       illegalUtf8,
       "[\"a\xEF\xBF\xBD"
       "b\"]"},                                                       // overlong
      {"[\"\xED\xA0\x80\"]", illegalUtf8, "[\"\xEF\xBF\xBD\"]"},      // encoded surrogate
      {"[\"\xF4\x90\x80\x80\"]", illegalUtf8, "[\"\xEF\xBF\xBD\"]"},  // beyond U+10FFFF
      {"[\"\xFF\"]", illegalUtf8, "[\"\xEF\xBF\xBD\"]"},
  };
  for (const Case& c : cases) {
    const std::string strict = failure(c.text);
    EXPECT_EQ(strict.substr(0, strict.find(" @")), c.strict) << c.text;
    EXPECT_EQ(decoded(c.text, JDParseLooseUnicode), c.loose) << c.text;
  }
  EXPECT_EQ(decoded(R"(["\uD834\uDD1E\uFFFD"])"), "[\"\xF0\x9D\x84\x9E\xEF\xBF\xBD\"]");
}

TEST(JSONDecoderTest, CommentsOnlyWhenAllowed) {
  const char* text = "[1 /* one, \n two */ ,2] // done\n";
  EXPECT_EQ(failure(text), std::string(kUnexpectedToken) + " @3:1");
  EXPECT_EQ(decoded(text, JDParseAllowComments), "[1,2]");
  EXPECT_EQ(failure("[1, // two\n x]", JDParseAllowComments), std::string(kUnexpectedToken) + " @12:2");
  EXPECT_EQ(failure("[1 /* never closed", JDParseAllowComments), std::string(kUnexpectedToken) + " @18:1");
}

TEST(JSONDecoderTest, UnicodeLineEndsOnlyWhenAllowed) {
  const std::string text = "[1,\xE2\x80\xA8\xC2\x85\xE2\x80\xA9 x]";
  EXPECT_EQ(failure(text), std::string(kUnexpectedToken) + " @3:1");
  EXPECT_EQ(failure(text, JDParseAllowUnicodeNewlines), std::string(kUnexpectedToken) + " @12:4");
  EXPECT_EQ(decoded("[\xC2\x85]", JDParseAllowUnicodeNewlines), "[]");
}

TEST(JSONDecoderTest, EqualKeysAndValuesShareOneObject) {
  auto array = decode(R"([{"name":"x","n":1.5},{"name":"x","n":1.5}])");
  ASSERT_TRUE(array);
  const auto& list = static_cast<fnd::Array&>(*array);
  const auto& first = static_cast<fnd::Dictionary&>(*list.objectAtIndex(0));
  const auto& second = static_cast<fnd::Dictionary&>(*list.objectAtIndex(1));
  EXPECT_EQ(first.allKeys()->description(), second.allKeys()->description());
  fnd::Object* keys[2][2];
  first.getObjectsAndKeys(nullptr, keys[0]);
  second.getObjectsAndKeys(nullptr, keys[1]);
  EXPECT_EQ(keys[0][0], keys[1][0]);
  EXPECT_EQ(keys[0][1], keys[1][1]);
  EXPECT_EQ(first.objectForKey("name"), second.objectForKey("name"));
  EXPECT_EQ(first.objectForKey("n"), second.objectForKey("n"));
}

TEST(JSONDecoderTest, CacheLastsUntilCleared) {
  JSONDecoder decoder;
  const std::string text = R"(["shared"])";
  auto first = decoder.objectWithUTF8String(text.data(), text.size());
  auto second = decoder.objectWithUTF8String(text.data(), text.size());
  ASSERT_TRUE(first && second);
  fnd::Object* value = static_cast<fnd::Array&>(*first).objectAtIndex(0);
  EXPECT_EQ(value, static_cast<fnd::Array&>(*second).objectAtIndex(0));
  decoder.clearCache();
  auto third = decoder.objectWithUTF8String(text.data(), text.size());
  EXPECT_NE(value, static_cast<fnd::Array&>(*third).objectAtIndex(0));
  EXPECT_TRUE(value->isEqual(*static_cast<fnd::Array&>(*third).objectAtIndex(0)));
  // Only the trees hold the old object now.
  first = nullptr;
  EXPECT_EQ(value->retainCount(), 1u);
}

TEST(JSONDecoderTest, ManyDistinctValuesSurviveCacheEviction) {
  std::string text = "[";
  for (int i = 0; i < 5000; ++i) text += (i ? ",\"v" : "\"v") + std::to_string(i % 3000) + "\"," + std::to_string(i);
  text += "]";
  auto array = decode(text);
  ASSERT_TRUE(array);
  const auto& list = static_cast<fnd::Array&>(*array);
  ASSERT_EQ(list.count(), 10000u);
  for (int i = 0; i < 5000; i += 499) {
    EXPECT_EQ(list.objectAtIndex(2 * i)->description(), "v" + std::to_string(i % 3000));
    EXPECT_EQ(list.objectAtIndex(2 * i + 1)->description(), std::to_string(i));
  }
}

// The reference count of the object a one-element array decoded with `decoder` holds.
std::uint32_t cachedCount(JSONDecoder& decoder, std::string_view element) {
  const std::string text = "[" + std::string(element) + "]";
  auto array = decoder.objectWithUTF8String(text.data(), text.size());
  return array ? static_cast<fnd::Array&>(*array).objectAtIndex(0)->retainCount() : 0;
}

TEST(JSONDecoderTest, SharedObjectsCountEveryReferenceTheTreeHolds) {
  JSONDecoder decoder;
  const std::string text = R"([{"k":"v","n":7},{"k":"v","n":7},"v",7])";
  auto tree = decoder.objectWithUTF8String(text.data(), text.size());
  ASSERT_TRUE(tree);
  // The tree holds "v" three times and 7 three times; the cache once more.
  const auto& list = static_cast<fnd::Array&>(*tree);
  EXPECT_EQ(list.objectAtIndex(2)->retainCount(), 4u);
  EXPECT_EQ(list.objectAtIndex(3)->retainCount(), 4u);
  tree = nullptr;
  EXPECT_EQ(cachedCount(decoder, "\"v\""), 2u);
  EXPECT_EQ(cachedCount(decoder, "7"), 2u);
}

TEST(JSONDecoderTest, RepeatedKeysReleaseWhatTheyDisplaced) {
  JSONDecoder decoder;
  // The first "x" and "y" lose their values, one of which holds "s" while
  // the other is "s": only the cache keeps "s" afterwards.
  const std::string text = R"({"x":["s"],"y":"s","x":1,"y":2,"x":3})";
  auto tree = decoder.objectWithUTF8String(text.data(), text.size());
  ASSERT_TRUE(tree);
  EXPECT_EQ(jsondecode::compactJson(*tree), R"({"x":3,"y":2})");
  EXPECT_EQ(static_cast<fnd::Dictionary&>(*tree).count(), 2u);
  EXPECT_EQ(cachedCount(decoder, "\"s\""), 2u);
  // The dictionary holds each key once, the cache once more.
  EXPECT_EQ(cachedCount(decoder, "\"x\""), 3u);
}

TEST(JSONDecoderTest, SharedConstantsCountEveryReference) {
  const fnd::Object* constants[] = {fnd::Number::yes(), fnd::Number::no(), fnd::Null::null(), fnd::String::empty()};
  std::uint32_t before[4];
  for (int i = 0; i < 4; ++i) before[i] = constants[i]->retainCount();
  {
    auto tree = decode(R"([true,false,null,"",true,{"":null}])");
    ASSERT_TRUE(tree);
    const std::uint32_t held[4] = {2, 1, 2, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(constants[i]->retainCount(), before[i] + held[i]) << i;
    EXPECT_FALSE(decode(R"([true,false,null,"",{"":null}, x])"));
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(constants[i]->retainCount(), before[i]) << i;
}

TEST(JSONDecoderTest, RepeatedDecodingReturnsItsMemory) {
  std::string text = "[";
  for (int i = 0; i < 20000; ++i)
    text += (i ? ",{" : "{") + std::string(R"("firma":"Firma )") + std::to_string(i) + R"(","posisjon":)" +
            std::to_string(i) + R"(,"godkjent":true})";
  text += "]";
  const auto inUse = [] { return test::heapBytesInUse() + fnd::ObjectArena::bytesInUse(); };
  std::size_t afterFirst = 0;
  for (int round = 0; round < 30; ++round) {
    ASSERT_TRUE(decode(text));
    if (round == 0) afterFirst = inUse();
  }
  // Some slack for the memory of the allocators' own bookkeeping.
  constexpr std::size_t kSlack = 256 * 1024;
  EXPECT_LE(inUse(), afterFirst + kSlack);
}

TEST(JSONDecoderTest, DeepDocumentsUseTheHeapStack) {
  // 3000 elements inside 200 levels: the value stack outgrows its first block.
  std::string text(200, '[');
  for (int i = 0; i < 3000; ++i) text += (i ? ",\"" : "\"") + std::to_string(i) + "\"";
  text += std::string(200, ']');
  fnd::Ref<fnd::Object> value = decode(text);
  ASSERT_TRUE(value);
  for (int level = 0; level < 199; ++level)
    value = fnd::Ref<fnd::Object>(static_cast<fnd::Array&>(*value).objectAtIndex(0));
  EXPECT_EQ(static_cast<fnd::Array&>(*value).count(), 3000u);
}

TEST(JSONDecoderTest, NestingDepthIsBounded) {
  const std::size_t limit = kJDMaximumDepth;
  EXPECT_TRUE(decode(std::string(limit, '[') + std::string(limit, ']')));
  EXPECT_EQ(failure(std::string(limit + 1, '[') + std::string(limit + 1, ']')),
            "Exceeded the maximum nesting depth of 1024 arrays and objects. @1025:1");
  const std::string hostile = "\n" + std::string(1000000, '[');
  EXPECT_EQ(failure(hostile), "Exceeded the maximum nesting depth of 1024 arrays and objects. @1026:2");
  std::string mixed;
  for (int i = 0; i < 100000; ++i) mixed += "{\"a\":[";
  EXPECT_EQ(failure(mixed).substr(0, 40), "Exceeded the maximum nesting depth of 10");
}

TEST(JSONDecoderTest, FailedDocumentsReleaseWhatTheyBuilt) {
  auto kept = fnd::str("kept");
  JSONDecoder decoder;
  const std::string text = R"([{"a":["kept",{"b":"kept"}]},"kept", x])";
  std::optional<fnd::Error> error;
  EXPECT_FALSE(decoder.objectWithUTF8String(text.data(), text.size(), &error));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->domain(), "JDErrorDomain");
  EXPECT_EQ(error->code(), -1);
  // The decoder's cache keeps one object for "kept"; nothing else holds it.
  const std::string probe = R"(["kept"])";
  auto array = decoder.objectWithUTF8String(probe.data(), probe.size());
  ASSERT_TRUE(array);
  EXPECT_EQ(static_cast<fnd::Array&>(*array).objectAtIndex(0)->retainCount(), 2u);
}

TEST(JSONDecoderTest, EntryPointsAndTheirArguments) {
  EXPECT_THROW(JSONDecoder(16), fnd::Exception);
  EXPECT_EQ(JSONDecoder(15).parseOptions(), 15u);
  JSONDecoder decoder;
  EXPECT_THROW(decoder.objectWithUTF8String(nullptr, 0), fnd::Exception);
  EXPECT_THROW(decoder.objectWithData(nullptr), fnd::Exception);
  auto data = fnd::Data::create(std::string(R"({"a":[1]})"));
  auto immutable = objectFromJSONData(data.get());
  auto mutableTree = mutableObjectFromJSONData(data.get());
  ASSERT_TRUE(immutable && mutableTree);
  EXPECT_FALSE(static_cast<fnd::Dictionary&>(*immutable).isMutable());
  EXPECT_TRUE(static_cast<fnd::Dictionary&>(*mutableTree).isMutable());
  EXPECT_TRUE(static_cast<fnd::Array*>(static_cast<fnd::Dictionary&>(*mutableTree).objectForKey("a"))->isMutable());
  auto text = fnd::str("[1] // x");
  std::optional<fnd::Error> error;
  EXPECT_FALSE(objectFromJSONString(text.get(), JDParseDefault, &error));
  EXPECT_TRUE(error);
  EXPECT_TRUE(mutableObjectFromJSONString(text.get(), JDParseAllowComments));
  EXPECT_TRUE(decoder.mutableObjectWithData(data.get()));
}

}  // namespace
}  // namespace json
