#include "tests/support/json/compact_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"

namespace jsondecode {
namespace {

std::string numberText(const fnd::Ref<fnd::Number>& number) { return compactJson(*number); }

TEST(CompactJsonTest, DoublesNeverReadAsIntegers) {
  EXPECT_EQ(numberText(fnd::Number::create(1.0)), "1.0");
  EXPECT_EQ(numberText(fnd::Number::create(-0.0)), "-0.0");
  EXPECT_EQ(numberText(fnd::Number::create(0.1)), "0.10000000000000001");
  EXPECT_EQ(numberText(fnd::Number::create(1e300)), "1.0000000000000001e+300");
  EXPECT_EQ(numberText(fnd::Number::create(std::numeric_limits<double>::infinity())), "inf");
  EXPECT_EQ(numberText(fnd::Number::create(std::int64_t{-42})), "-42");
  EXPECT_EQ(numberText(fnd::Number::createUnsigned(std::numeric_limits<std::uint64_t>::max())), "18446744073709551615");
}

TEST(CompactJsonTest, StringsEscapeOnlyWhatJsonRequires) {
  EXPECT_EQ(compactJson(*fnd::str("a\"b\\c\x01\x1f/é\x7f")), "\"a\\\"b\\\\c\\u0001\\u001f/é\x7f\"");
}

TEST(CompactJsonTest, MembersAreSortedByTheBytesOfTheirKeys) {
  auto dictionary = fnd::ObjectDictionary::createMutable();
  dictionary->setObject(fnd::Number::yes(), "b");
  dictionary->setObject(fnd::Null::null(), "é");
  dictionary->setObject(fnd::ObjectArray::create({fnd::Number::no(), fnd::str("x").get()}).get(), "B");
  dictionary->setObject(fnd::ObjectDictionary::create().get(), "a");
  EXPECT_EQ(compactJson(*dictionary), "{\"B\":[false,\"x\"],\"a\":{},\"b\":true,\"é\":null}");
}

}  // namespace
}  // namespace jsondecode
