#include <gtest/gtest.h>

#include <limits>

#include "platform/foundation/date.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/object_array.h"
#include "tests/support/objectstore/test_records.h"

namespace objectstore {
namespace {

using test::boolean;
using test::holds;
using test::integer;
using test::real;
using test::record;
using test::text;

PredicatePtr parsed(const char* format, std::vector<FormatArgument> arguments = {}) {
  return Predicate::withFormat(format, std::move(arguments));
}

TEST(PredicateParserTest, EveryOperatorAndItsSpellings) {
  struct Case {
    const char* format;
    ComparisonOperator op;
  };
  const Case cases[] = {{"a == 1", ComparisonOperator::Equal},
                        {"a = 1", ComparisonOperator::Equal},
                        {"a != 1", ComparisonOperator::NotEqual},
                        {"a <> 1", ComparisonOperator::NotEqual},
                        {"a < 1", ComparisonOperator::Less},
                        {"a <= 1", ComparisonOperator::LessOrEqual},
                        {"a =< 1", ComparisonOperator::LessOrEqual},
                        {"a > 1", ComparisonOperator::Greater},
                        {"a >= 1", ComparisonOperator::GreaterOrEqual},
                        {"a => 1", ComparisonOperator::GreaterOrEqual},
                        {"a IN {1}", ComparisonOperator::In},
                        {"a in {1}", ComparisonOperator::In},
                        {"a LIKE 'x'", ComparisonOperator::Like},
                        {"a like 'x'", ComparisonOperator::Like},
                        {"a CONTAINS 'x'", ComparisonOperator::Contains},
                        {"a contains 'x'", ComparisonOperator::Contains},
                        {"a BEGINSWITH 'x'", ComparisonOperator::BeginsWith},
                        {"a beginsWith 'x'", ComparisonOperator::BeginsWith},
                        {"a ENDSWITH 'x'", ComparisonOperator::EndsWith},
                        {"a==1", ComparisonOperator::Equal},
                        {"  a\t<=\n1  ", ComparisonOperator::LessOrEqual}};
  for (const Case& c : cases) {
    PredicatePtr predicate = parsed(c.format);
    ASSERT_EQ(predicate->kind(), Predicate::Kind::Comparison) << c.format;
    EXPECT_EQ(predicate->comparisonOperator(), c.op) << c.format;
    EXPECT_EQ(predicate->left()->keyPathText(), "a") << c.format;
  }
  auto item = record({{"n", integer(5)}});
  EXPECT_TRUE(holds("n<6 && n<=5 && n=<5 && n>4 && n>=5 && n=>5 && n==5 && n=5 && n!=4 && n<>4", *item));
  EXPECT_FALSE(holds("n<5 || n>5 || n!=5 || n<>5 || n==4", *item));
}

TEST(PredicateParserTest, StringOptionsInEveryCombination) {
  struct Case {
    const char* format;
    bool caseInsensitive;
    bool diacriticInsensitive;
  };
  const Case cases[] = {{"a LIKE 'x'", false, false},         {"a LIKE[c] 'x'", true, false},
                        {"a LIKE[d] 'x'", false, true},       {"a LIKE[cd] 'x'", true, true},
                        {"a LIKE[dc] 'x'", true, true},       {"a ==[C] 'x'", true, false},
                        {"a CONTAINS[n] 'x'", false, false},  {"a BEGINSWITH[cdn] 'x'", true, true},
                        {"a ENDSWITH [ c ] 'x'", true, false}};
  for (const Case& c : cases) {
    PredicatePtr predicate = parsed(c.format);
    EXPECT_EQ(predicate->options().caseInsensitive, c.caseInsensitive) << c.format;
    EXPECT_EQ(predicate->options().diacriticInsensitive, c.diacriticInsensitive) << c.format;
  }
}

TEST(PredicateParserTest, AndBindsTighterThanOrAndNotTighterThanBoth) {
  auto onlyA = record({{"a", integer(1)}, {"b", integer(0)}, {"c", integer(0)}});
  // (a OR b) AND c would be false here.
  EXPECT_TRUE(holds("a == 1 OR b == 1 AND c == 1", *onlyA));
  EXPECT_TRUE(holds("b == 1 AND c == 1 OR a == 1", *onlyA));
  EXPECT_FALSE(holds("(a == 1 OR b == 1) AND c == 1", *onlyA));
  PredicatePtr mixed = parsed("a == 1 or b == 1 and c == 1");
  ASSERT_EQ(mixed->kind(), Predicate::Kind::Or);
  ASSERT_EQ(mixed->subpredicates().size(), 2u);
  EXPECT_EQ(mixed->subpredicates()[1]->kind(), Predicate::Kind::And);

  auto none = record({{"a", integer(0)}, {"b", integer(0)}});
  // NOT (a AND b) would be true here.
  EXPECT_FALSE(holds("NOT a == 1 AND b == 1", *none));
  EXPECT_TRUE(holds("NOT (a == 1 AND b == 1)", *none));
  EXPECT_TRUE(holds("!a == 1 && !b == 1", *none));
  EXPECT_TRUE(holds("not not not a == 1", *none));
  EXPECT_TRUE(holds("((((a == 0))))", *none));
  EXPECT_EQ(parsed("a == 1 AND b == 2 AND c == 3")->subpredicates().size(), 3u) << "runs of AND are one compound";
  EXPECT_TRUE(holds("TRUEPREDICATE OR FALSEPREDICATE AND FALSEPREDICATE", *none));
  EXPECT_FALSE(holds("NOT TRUEPREDICATE", *none));
}

TEST(PredicateParserTest, LiteralsBooleansNilAndSelf) {
  auto item = record({{"on", boolean(true)}, {"off", boolean(false)}, {"n", integer(1)}});
  EXPECT_TRUE(holds("on == YES AND on == yes AND on == TRUE AND on == true", *item));
  EXPECT_TRUE(holds("off == NO AND off == no AND off == FALSE AND off == false", *item));
  EXPECT_TRUE(holds("n == YES AND off == 0", *item)) << "booleans equal their integer values";
  EXPECT_TRUE(holds("missing == nil AND missing == NIL AND missing == NULL AND missing == null", *item));
  EXPECT_FALSE(holds("n == nil", *item));
  EXPECT_TRUE(holds("nil == missing AND nil != n", *item));
  EXPECT_TRUE(holds("SELF == %@ AND self == %@", *item, {fnd::Ref<fnd::Object>(item), fnd::Ref<fnd::Object>(item)}));
  EXPECT_FALSE(holds("SELF == %@", *item, {fnd::Ref<fnd::Object>(record({}))}));
  EXPECT_EQ(parsed("SELF == nil")->left()->kind(), Expression::Kind::Self);
  EXPECT_EQ(parsed("a == nil")->right()->kind(), Expression::Kind::Constant);
  EXPECT_EQ(parsed("a == nil")->right()->constantValue(), nullptr);
}

TEST(PredicateParserTest, NumberLiteralsKeepTheirRangeAndKind) {
  auto item = record({{"big", fnd::Number::createUnsigned(std::numeric_limits<std::uint64_t>::max())},
                      {"least", integer(std::numeric_limits<std::int64_t>::min())},
                      {"thousand", integer(1000)},
                      {"half", real(-2.5)},
                      {"huge", real(1e20)}});
  EXPECT_TRUE(holds("big == 18446744073709551615", *item));
  EXPECT_FALSE(holds("big == 18446744073709551614", *item));
  EXPECT_TRUE(holds("least == -9223372036854775808", *item));
  EXPECT_TRUE(holds("least < -9223372036854775807", *item));
  EXPECT_TRUE(holds("thousand == 1e3 AND thousand == 1000.0 AND thousand == 1E+3 AND thousand > 999.5", *item));
  EXPECT_TRUE(holds("half == -2.5 AND half < -2 AND half > -3", *item));
  EXPECT_TRUE(holds("huge == 100000000000000000000", *item)) << "an integer beyond 64 bits is read as a double";
  EXPECT_TRUE(holds("-1 < thousand AND 0 == 0.0", *item));
}

TEST(PredicateParserTest, QuotedStringsWithEscapes) {
  auto item = record({{"s", text("it's \"quoted\" \\ done")}, {"line", text("a\nb\tc")}, {"empty", text("")}});
  EXPECT_TRUE(holds("s == 'it\\'s \"quoted\" \\\\ done'", *item));
  EXPECT_TRUE(holds("s == \"it's \\\"quoted\\\" \\\\ done\"", *item));
  EXPECT_TRUE(holds("line == 'a\\nb\\tc'", *item));
  EXPECT_TRUE(holds("empty == '' AND empty == \"\"", *item));
  EXPECT_TRUE(holds("s == 'it\\'s \"quoted\" \\\\ done' AND s BEGINSWITH \"it's\"", *item));
  EXPECT_TRUE(holds("s CONTAINS 'AND' OR s ENDSWITH ' done'", *item)) << "keywords inside strings are text";
  EXPECT_TRUE(holds("'(' != ')'", *item));
}

TEST(PredicateParserTest, FormatArgumentsOfEveryKind) {
  auto employer = record({{"title", text("Acme")}});
  auto item = record({{"name", text("Ann")}, {"age", integer(42)}, {"rate", real(0.25)}, {"employer", employer}});
  EXPECT_TRUE(holds("%K == %@", *item, {std::string("name"), std::string("Ann")}));
  EXPECT_TRUE(holds("%K == %@", *item, {fnd::Ref<fnd::Object>(fnd::str("age")), std::int64_t{42}}));
  EXPECT_TRUE(holds("%K BEGINSWITH %@", *item, {std::string("employer.title"), std::string("Ac")}));
  EXPECT_TRUE(holds("age == %d AND age == %i AND age == %ld AND age == %lld", *item,
                    {std::int64_t{42}, std::int64_t{42}, std::int64_t{42}, std::int64_t{42}}));
  EXPECT_TRUE(holds("age == %u AND age == %lu", *item, {std::uint64_t{42}, std::int64_t{42}}));
  EXPECT_TRUE(holds("rate == %f AND rate < %lf", *item, {0.25, 0.5}));
  EXPECT_TRUE(holds("rate == %@", *item, {0.25}));
  EXPECT_TRUE(holds("missing == %@", *item, {fnd::Ref<fnd::Object>()}));
  EXPECT_FALSE(holds("name == %@", *item, {fnd::Ref<fnd::Object>()}));
  // A substituted text is a value, never more format: no quoting is needed.
  EXPECT_FALSE(holds("name == %@", *item, {std::string("Ann' OR 1 == 1 OR name == '")}));
  EXPECT_TRUE(holds("%K == 'Ann'", *item, {std::string("name")}));
  // Arguments are taken in order.
  EXPECT_TRUE(holds("age > %d AND age < %d", *item, {std::int64_t{41}, std::int64_t{43}}));
  EXPECT_FALSE(holds("age > %d AND age < %d", *item, {std::int64_t{43}, std::int64_t{41}}));
}

TEST(PredicateParserTest, InWithListsArraysDictionariesAndText) {
  auto item = record({{"n", integer(2)}, {"s", text("Oslo")}});
  EXPECT_TRUE(holds("n IN {1, 2, 3}", *item));
  EXPECT_TRUE(holds("n IN {-1, 2.0}", *item));
  EXPECT_FALSE(holds("n IN {'2', nil}", *item)) << "a text is not a number";
  EXPECT_TRUE(holds("missing IN {1, nil}", *item));
  EXPECT_TRUE(holds("s IN {'Bergen', 'Oslo'}", *item));
  EXPECT_FALSE(holds("s IN {'oslo'}", *item));
  EXPECT_TRUE(holds("s IN[c] {'oslo'}", *item));
  EXPECT_TRUE(holds("n IN {1, {2}} OR n IN {2}", *item));
  auto array = fnd::ObjectArray::create({fnd::str("Oslo").get(), integer(7).get()});
  EXPECT_TRUE(holds("s IN %@", *item, {fnd::Ref<fnd::Object>(array)}));
  EXPECT_FALSE(holds("n IN %@", *item, {fnd::Ref<fnd::Object>(array)}));
  auto dictionary = record({{"k", integer(2)}});
  EXPECT_TRUE(holds("n IN %@", *item, {fnd::Ref<fnd::Object>(dictionary)})) << "IN a dictionary looks at its values";
  EXPECT_FALSE(holds("n IN %@", *item, {fnd::Ref<fnd::Object>()}));
  EXPECT_TRUE(holds("'sl' IN s AND NOT 'x' IN s", *item));
  EXPECT_TRUE(holds("SELF IN %@", *item, {fnd::Ref<fnd::Object>(fnd::ObjectArray::create({item.get()}))}));
}

TEST(PredicateParserTest, FormatOutputParsesBackToTheSameMeaning) {
  const char* formats[] = {"a == 1 AND (b CONTAINS[cd] 'x' OR NOT c < 2.5)",
                           "NOT (a == 1 OR b == 2) AND c != nil",
                           "s == 'it\\'s \\\\ \"q\"' OR s == 'line\\nbreak'",
                           "a IN {1, -2, 'x', nil} OR SELF == nil",
                           "b LIKE[c] '*a?' AND s ENDSWITH[d] 'é'",
                           "a >= -9223372036854775808 AND a <= 18446744073709551615",
                           "TRUEPREDICATE AND NOT FALSEPREDICATE",
                           "max(list) == 3 AND count(list) > 1 AND sum:(list) == 6"};
  const fnd::Ref<fnd::Dictionary> samples[] = {
      record({{"a", integer(1)}, {"b", text("xa1")}, {"c", real(3)}, {"s", text("it's \\ \"q\"")}}),
      record({{"a", integer(-2)}, {"b", text("BAR")}, {"s", text("line\nbreak")}}),
      record({{"list", fnd::ObjectArray::create({integer(1).get(), integer(2).get(), integer(3).get()})}}), record({})};
  for (const char* format : formats) {
    PredicateParseError error;
    PredicatePtr predicate = Predicate::parse(format, {}, &error);
    ASSERT_NE(predicate, nullptr) << format << ": " << error.message;
    std::string written = predicate->format();
    PredicatePtr reparsed = Predicate::parse(written, {}, &error);
    ASSERT_NE(reparsed, nullptr) << written << ": " << error.message;
    EXPECT_EQ(reparsed->format(), written);
    for (const auto& sample : samples) {
      EXPECT_EQ(reparsed->evaluateWithObject(sample.get()), predicate->evaluateWithObject(sample.get()))
          << format << " on " << sample->description();
    }
  }
}

TEST(PredicateParserTest, DatesWrittenByFormatParseBack) {
  const double seconds[] = {1e9 + 0.123456, -5, 0};
  auto dated = [](double value) { return fnd::Ref<fnd::Object>(fnd::Date::create(value)); };
  PredicatePtr predicate =
      parsed("born > %@ AND born < %@ OR born == %@", {dated(seconds[1]), dated(seconds[0]), dated(seconds[2])});
  PredicateParseError error;
  PredicatePtr reparsed = Predicate::parse(predicate->format(), {}, &error);
  ASSERT_NE(reparsed, nullptr) << predicate->format() << ": " << error.message;
  EXPECT_EQ(reparsed->format(), predicate->format());
  for (double value : {1e9 + 0.123456, 1e9 + 0.123455, -5.0, -4.9, 0.0, 1.0}) {
    auto item = record({{"born", dated(value)}});
    EXPECT_EQ(reparsed->evaluateWithObject(item.get()), predicate->evaluateWithObject(item.get())) << value;
  }
  auto epoch = record({{"born", dated(0)}});
  EXPECT_TRUE(holds("born == CAST(0, 'NSDate') AND NOT born < cast(-1e-3, \"NSDate\")", *epoch));
  EXPECT_TRUE(holds("born > CAST(-1.5, 'NSDate')", *epoch));
  EXPECT_TRUE(holds("cast == 1", *record({{"cast", integer(1)}}))) << "a key may still be named cast";
  for (const char* malformed : {"born == CAST(x, 'NSDate')", "born == CAST(1 'NSDate')", "born == CAST(1, 'NSNumber')",
                                "born == CAST(1, 'NSDate'", "born == CAST:(1, 'NSDate')"}) {
    EXPECT_EQ(Predicate::parse(malformed, {}, &error), nullptr) << malformed;
    EXPECT_NE(error.message.find("at position"), std::string::npos) << error.message;
  }
}

TEST(PredicateParserTest, MalformedFormatsFailAtTheirPosition) {
  struct Case {
    const char* format;
    std::size_t position;
  };
  const Case cases[] = {{"a == 1 OR", 9},
                        {"NOT", 3},
                        {"()", 1},
                        {"a IN {1, 2", 10},
                        {"a == 'x' b", 9},
                        {"a LIKE[] 'x'", 7},
                        {"a == 1 &&", 9},
                        {"a == 'it\\'s", 5},
                        {"a & b", 2},
                        {"a == -x", 6},
                        {"a == 1 ) OR b", 7},
                        {"a == \"x", 5},
                        {"a LIKE[c 'x'", 9},
                        {"a BETWEEN {1, 2}", 2},
                        {"a == .5", 5},
                        {"a == %", 5},
                        {"a", 1},
                        {"== 1", 0},
                        {"a == 1 a == 2", 7},
                        {"(((a == 1))", 11}};
  for (const Case& c : cases) {
    PredicateParseError error;
    EXPECT_EQ(Predicate::parse(c.format, {}, &error), nullptr) << c.format;
    EXPECT_EQ(error.position, c.position) << c.format << ": " << error.message;
    EXPECT_NE(error.message.find("at position " + std::to_string(c.position)), std::string::npos) << error.message;
    EXPECT_NE(error.message.find(c.format), std::string::npos) << "the message quotes the format: " << error.message;
  }
  PredicateParseError error;
  EXPECT_EQ(Predicate::parse("a == %d AND b == %d", {std::int64_t{1}}, &error), nullptr);
  EXPECT_EQ(error.position, 17u) << error.message;
  EXPECT_NE(error.message.find("missing argument"), std::string::npos) << error.message;
  EXPECT_EQ(Predicate::parse("a == %f", {std::int64_t{1}}, &error), nullptr);
  EXPECT_EQ(Predicate::parse("%K == 1", {std::string()}, &error), nullptr) << "an empty key names nothing";
  EXPECT_EQ(Predicate::parse("a == {1, b}", {}, &error), nullptr) << "lists hold constants only";
  try {
    Predicate::withFormat("a ==");
    ADD_FAILURE() << "no exception";
  } catch (const fnd::Exception& exception) {
    EXPECT_EQ(exception.kind(), fnd::Exception::Kind::InvalidArgument);
    EXPECT_NE(exception.reason().find("at position 4"), std::string::npos) << exception.reason();
  }
}

TEST(PredicateParserTest, HostileInputIsRefusedWithoutExhaustingTheStack) {
  for (const std::string& prefix : {std::string("NOT "), std::string("("), std::string("!"), std::string("max(")}) {
    std::string format;
    for (int i = 0; i < 10000; ++i) format += prefix;
    format += "a == 1";
    EXPECT_EQ(Predicate::parse(format, {}, nullptr), nullptr) << prefix;
  }
  std::string lists = "a IN ";
  for (int i = 0; i < 10000; ++i) lists += "{";
  EXPECT_EQ(Predicate::parse(lists, {}, nullptr), nullptr);
  const std::string embeddedNul("a == 1\0 OR b == 2", 17);
  EXPECT_EQ(Predicate::parse(embeddedNul, {}, nullptr), nullptr);
  // Moderate nesting stays accepted.
  std::string nested;
  for (int i = 0; i < 20; ++i) nested += "(";
  nested += "a == 1";
  for (int i = 0; i < 20; ++i) nested += ")";
  EXPECT_NE(Predicate::parse(nested, {}, nullptr), nullptr);
}

}  // namespace
}  // namespace objectstore
