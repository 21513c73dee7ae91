// covers: parser.cpp, value_cache.cpp
// Objects in a list mostly repeat their keys in the same places, which the
// decoder recognises without reading them again; what it makes must not
// differ from reading every key afresh.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/json/compact_json.h"
#include "tests/support/json/json_test_helpers.h"

namespace json {
namespace {

using test::decode;
using test::failure;

// Keys that share beginnings, cross the one- and two-word lengths, and
// spell the same text with and without escapes or bytes beyond ASCII, or
// hold escapes whose text, taken as it stands, would look like another key.
const std::vector<std::string> kKeys = {"a",
                                        "ab",
                                        "abc",
                                        "abcdefg",
                                        "abcdefgh",
                                        "abcdefghi",
                                        "abcdefghijklmno",
                                        "abcdefghijklmnop",
                                        "abcdefghijklmnopq",
                                        "",
                                        "b",
                                        "a\\u0062",
                                        "\\u0061b",
                                        "\xC3\xB8st",
                                        R"(ab\")",
                                        R"(a\\)",
                                        R"(a\"b)",
                                        "abcdefgh\\n",
                                        "ab c"};

TEST(RepeatedKeysTest, ListOfObjectsDecodesAsEachObjectAlone) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> key(0, kKeys.size() - 1);
  std::uniform_int_distribution<int> members(0, 6);
  std::uniform_int_distribution<int> spacing(0, 3);
  const char* const kSpaces[] = {"", " ", "\n  ", "\r\n\t"};
  std::vector<std::string> objects;
  for (int i = 0; i < 400; ++i) {
    std::string object = "{";
    const int count = members(random);
    for (int m = 0; m < count; ++m) {
      object +=
          std::string(m ? "," : "") + kSpaces[spacing(random)] + "\"" + kKeys[key(random)] + "\":" + std::to_string(m);
    }
    objects.push_back(object + kSpaces[spacing(random)] + "}");
  }
  std::string list = "[";
  std::string expected = "[";
  for (std::size_t i = 0; i < objects.size(); ++i) {
    list += (i ? "," : "") + objects[i];
    const std::string text = "[" + objects[i] + "]";
    const fnd::Ref<fnd::Object> alone = decode(text);
    ASSERT_TRUE(alone) << text;
    const std::string compact = jsondecode::compactJson(*alone);
    expected += (i ? "," : "") + compact.substr(1, compact.size() - 2);
  }
  const fnd::Ref<fnd::Object> whole = decode(list + "]");
  ASSERT_TRUE(whole) << failure(list + "]") << "\n" << list.substr(0, 300);
  EXPECT_EQ(jsondecode::compactJson(*whole), expected + "]");
}

TEST(RepeatedKeysTest, ARepeatedKeyCutShortFailsAsAnyKeyWould) {
  EXPECT_EQ(failure(R"([{"key":1},{"key)"), "Invalid string. @16:1");
  EXPECT_EQ(failure("[{\"key\":1},{\"key\n\":2}]"), "Invalid character < 0x20 found in string: 0x0a. @16:1");
  EXPECT_EQ(failure(R"([{"key":1},{"key" 2}])"), "Expected ':'. @19:1");
  EXPECT_EQ(failure(R"([{"key":1},{"key":1,"key":}])"), "Expected a value, not '}' @27:1");
}

}  // namespace
}  // namespace json
