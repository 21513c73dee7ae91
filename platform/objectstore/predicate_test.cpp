#include "platform/objectstore/predicate.h"

#include <gtest/gtest.h>

#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "tests/support/objectstore/test_records.h"

namespace objectstore {
namespace {

using test::holds;
using test::record;

fnd::Ref<fnd::Object> num(std::int64_t value) { return test::integer(value); }
fnd::Ref<fnd::Object> yes() { return test::boolean(true); }

TEST(PredicateTest, ComparisonsAndConnectives) {
  auto item = record(
      {{"position", num(5)}, {"manualAdd", fnd::Ref<fnd::Object>(fnd::Number::no())}, {"firm", fnd::str("Acme")}});
  EXPECT_TRUE(holds("position == 5", *item));
  EXPECT_TRUE(holds("position = 5 AND firm == 'Acme'", *item));
  EXPECT_TRUE(holds("position != 4 && firm <> \"Other\"", *item));
  EXPECT_TRUE(holds("position < 6 AND position <= 5 AND position > 4 AND position >= 5", *item));
  EXPECT_TRUE(holds("position =< 5 AND position => 5", *item));
  EXPECT_FALSE(holds("position > 5 OR position < 5", *item));
  EXPECT_TRUE(holds("NOT (position > 5) AND !(firm == 'x')", *item));
  EXPECT_TRUE(holds("(position == 1 || position == 5) && manualAdd == NO", *item));
  EXPECT_TRUE(holds("manualAdd == 0 AND manualAdd == FALSE", *item));
  EXPECT_TRUE(holds("TRUEPREDICATE", *item));
  EXPECT_FALSE(holds("FALSEPREDICATE", *item));
  EXPECT_TRUE(holds("position IN {1, 5, 9}", *item));
  EXPECT_FALSE(holds("position IN {}", *item));
  EXPECT_TRUE(holds("'cm' IN firm", *item));
  EXPECT_TRUE(holds("5 == position", *item));
  EXPECT_TRUE(holds("-3 < position", *item));
}

TEST(PredicateTest, MissingValuesNeverOrderAndNeverEqualYes) {
  auto handAdded = record({{"manualAdd", yes()}});
  EXPECT_FALSE(holds("position <= %d", *handAdded, {std::int64_t{7000}}));
  EXPECT_FALSE(holds("position >= 0", *handAdded));
  EXPECT_TRUE(holds("position <= %d || manualAdd == YES", *handAdded, {std::int64_t{7000}}));
  EXPECT_FALSE(holds("status == YES", *handAdded));
  EXPECT_TRUE(holds("status == nil AND status = NULL", *handAdded));
  EXPECT_TRUE(holds("status != YES", *handAdded));
}

TEST(PredicateTest, FormatArgumentsAreTypedAndPositional) {
  auto item = record({{"phoneNumber", fnd::str("22334455")}, {"rate", fnd::Number::create(2.5)}});
  EXPECT_TRUE(holds("%K == %@", *item, {std::string("phoneNumber"), fnd::Ref<fnd::Object>(fnd::str("22334455"))}));
  EXPECT_TRUE(holds("rate > %f AND rate < %d", *item, {1.5, std::int64_t{3}}));
  EXPECT_TRUE(holds("rate >= %u", *item, {std::uint64_t{2}}));
  EXPECT_TRUE(holds("SELF == %@", *item, {fnd::Ref<fnd::Object>(item)}));
  auto list = fnd::ObjectArray::create({fnd::str("1").get(), fnd::str("22334455").get()});
  EXPECT_TRUE(holds("phoneNumber IN %@", *item, {fnd::Ref<fnd::Object>(list)}));
}

TEST(PredicateTest, LikeMatchesTheWholeTextWithWildcardsCaseAndDiacritics) {
  auto item = record({{"phoneNumber", fnd::str("22334455")}, {"firm", fnd::str("Årstad Ærlig Café")}});
  auto like = [&](const char* pattern) {
    return holds("%K like[cd] %@", *item, {std::string("phoneNumber"), fnd::Ref<fnd::Object>(fnd::str(pattern))});
  };
  EXPECT_TRUE(like("22334455"));
  EXPECT_FALSE(like("2233445"));     // a part is not enough
  EXPECT_FALSE(like("4722334455"));  // nor a prefixed number
  EXPECT_TRUE(like("2233445?"));
  EXPECT_FALSE(like("223344?"));
  EXPECT_TRUE(like("*"));
  EXPECT_TRUE(like("*4455"));
  EXPECT_TRUE(like("22*55"));
  EXPECT_FALSE(like("22 33 44 55"));
  EXPECT_TRUE(holds("firm LIKE[cd] 'arstad*cafe'", *item));
  EXPECT_FALSE(holds("firm LIKE[c] 'arstad*cafe'", *item));
  EXPECT_FALSE(holds("firm LIKE[d] 'arstad*cafe'", *item));
  EXPECT_TRUE(holds("firm LIKE[d] 'Arstad*Cafe'", *item));
  EXPECT_TRUE(holds("firm LIKE[c] 'årstad*café'", *item));
  EXPECT_TRUE(holds("firm CONTAINS[cd] 'AERLIG' OR firm CONTAINS[c] 'ærlig'", *item));
  EXPECT_TRUE(holds("firm BEGINSWITH 'Års' AND firm ENDSWITH[cd] 'CAFE'", *item));
  EXPECT_TRUE(holds("firm ==[cd] 'arstad ærlig cafe'", *item));
}

TEST(PredicateTest, FormatWritesAnEquivalentString) {
  PredicatePtr predicate = Predicate::withFormat("a == 1 AND (b CONTAINS[cd] 'x' OR NOT c < 2.5)");
  EXPECT_EQ(predicate->format(), "a == 1 AND (b CONTAINS[cd] \"x\" OR NOT c < 2.5)");
  EXPECT_EQ(Predicate::withFormat(predicate->format())->format(), predicate->format());
}

TEST(PredicateTest, MalformedFormatsNameThePositionAndNeverCrash) {
  struct Case {
    const char* format;
    std::size_t position;
  };
  const Case cases[] = {{"", 0},           {"a ==", 4},    {"a == 1 AND", 10}, {"(a == 1", 7},         {"a === 1", 4},
                        {"a == 'open", 5}, {"a ~ 1", 2},   {"a == %@", 5},     {"a LIKE[x] 'b'", 7},   {"a == 1)", 6},
                        {"AND == 1", 0},   {"a. == 1", 0}, {"max(a == 1", 6},  {"unknown(a) == 1", 0}, {"a == %q", 5}};
  for (const Case& c : cases) {
    PredicateParseError error;
    EXPECT_EQ(Predicate::parse(c.format, {}, &error), nullptr) << c.format;
    EXPECT_EQ(error.position, c.position) << c.format << ": " << error.message;
    EXPECT_NE(error.message.find("at position " + std::to_string(c.position)), std::string::npos) << error.message;
  }
  EXPECT_THROW(Predicate::withFormat("a == %d", {std::string("text")}), fnd::Exception);
  EXPECT_THROW(Predicate::withFormat("%K == 1", {std::int64_t{1}}), fnd::Exception);
  std::string deep(5000, '(');
  EXPECT_EQ(Predicate::parse(deep + "a == 1", {}, nullptr), nullptr);
}

TEST(PredicateTest, AggregateFunctionsOverLists) {
  auto item = record({{"values", fnd::ObjectArray::create({num(3).get(), num(9).get(), num(-1).get()})}});
  EXPECT_TRUE(holds("max(values) == 9 AND min(values) == -1 AND sum(values) == 11 AND count(values) == 3", *item));
  EXPECT_TRUE(holds("average(values) > 3.6 AND average(values) < 3.7", *item));
  // A sum beyond the 64-bit range is not wrapped around: it becomes a double.
  EXPECT_TRUE(holds("sum(values) > 9223372036854775000",
                    *record({{"values", fnd::ObjectArray::create({num(INT64_MAX).get(), num(777).get()})}})));
}

}  // namespace
}  // namespace objectstore
