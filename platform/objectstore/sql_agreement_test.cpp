// covers: sql_filter.cpp, predicate.cpp, sqlite_store.cpp
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/sql_filter.h"
#include "platform/objectstore/sqlite_store.h"
#include "tests/support/objectstore/store_fixture.h"
#include "tests/support/objectstore/test_model.h"

namespace objectstore {
namespace {

using Value = fnd::Ref<fnd::Object>;

Value integer(std::int64_t value) { return fnd::Number::create(value); }
Value real(double value) { return fnd::Number::create(value); }
Value date(double seconds) { return fnd::Date::create(seconds); }

struct Row {
  const char* name;
  const char* label;
  Value i32;
  Value i64;
  Value d;
  Value flag;
  Value when;
};

// Rows chosen where SQL and the evaluator are most likely to part ways: no
// values, folded letters, SQL's own wildcard and quote characters, integers
// beside doubles, the 64-bit limits and numbers a double cannot hold.
std::vector<Row> rows() {
  const double big = 9007199254740993.0;  // rounds to 2^53
  return {
      {"Ålesund", "ÅLESUND", integer(0), integer(std::numeric_limits<std::int64_t>::max()), real(-0.0),
       fnd::Ref<fnd::Object>(fnd::Number::yes()), date(0)},
      {"alesund", "alesund", integer(-1), integer(std::numeric_limits<std::int64_t>::min()), real(0.5),
       fnd::Ref<fnd::Object>(fnd::Number::no()), date(1e9)},
      {"ALESUND", nullptr, integer(5), integer(9007199254740993), real(5), nullptr, date(-1e9)},
      {"Bærum", "bærum", nullptr, integer(9007199254740992), real(big), fnd::Ref<fnd::Object>(fnd::Number::yes()),
       nullptr},
      {"100% sure", "100% sure", integer(2147483647), nullptr, real(1e300), nullptr, date(1e9 + 0.5)},
      {"under_score", "under_score", integer(-2147483648LL), integer(-5), real(-2.5),
       fnd::Ref<fnd::Object>(fnd::Number::no()), nullptr},
      {"it's", "it's", integer(5), integer(5), nullptr, fnd::Ref<fnd::Object>(fnd::Number::yes()), date(0)},
      {"a*b", "a?b", integer(3), integer(0), real(3.0), nullptr, nullptr},
      {"", "", integer(1), integer(1), real(0), fnd::Ref<fnd::Object>(fnd::Number::no()), nullptr},
      {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {"Tromsø", "TROMSØ", integer(7), integer(7), real(7.25), nullptr, nullptr},
      {"Cafe\u0301", "CAFÉ", integer(8), integer(8), real(8), nullptr, nullptr},
      {"zebra", "Zebra", integer(9), integer(9), real(9), nullptr, nullptr},
      {"Café Øst", "ŁÓDŹ", integer(10), integer(10), real(10), nullptr, nullptr},
  };
}

class SqlAgreementTest : public test::StoreFixture {
 protected:
  void SetUp() override {
    open(test::samplesModel());
    ASSERT_FALSE(m_openError);
    for (const Row& row : rows()) {
      ManagedObjectRef sample = m_root->insertNewObject("Sample");
      if (row.name) sample->setValueForKey(fnd::str(row.name).get(), "name");
      if (row.label) sample->setValueForKey(fnd::str(row.label).get(), "label");
      sample->setValueForKey(row.i32.get(), "i32");
      sample->setValueForKey(row.i32.get(), "i16");
      sample->setValueForKey(row.i64.get(), "i64");
      sample->setValueForKey(row.d.get(), "d");
      sample->setValueForKey(row.flag.get(), "flag");
      sample->setValueForKey(row.when.get(), "when");
    }
    ASSERT_TRUE(save(m_root));
    reopen();
    m_samples = all(m_root, "Sample");
    ASSERT_EQ(m_samples.size(), rows().size());
  }

  // The keys the evaluator accepts, and those the store's SQL returns; when the
  // translation is partial the SQL must at least keep every accepted row.
  void expectAgreement(const char* format, std::vector<FormatArgument> arguments = {}) {
    PredicatePtr predicate = Predicate::withFormat(format, std::move(arguments));
    std::vector<std::int64_t> expected;
    for (const ManagedObjectRef& sample : m_samples) {
      if (predicate->evaluateWithObject(sample.get())) expected.push_back(sample->objectID().key);
    }
    const EntityDescription& sample = *entity("Sample");
    SqlFilter filter = translatePredicate(predicate.get(), sample);
    std::optional<fnd::Error> error;
    std::vector<StoredRow> stored = m_store->storage().fetchRows(sample, filter, "", 0, 0, false, &error);
    ASSERT_FALSE(error) << format << ": " << error->localizedDescription() << " for " << filter.where;
    std::vector<std::int64_t> found;
    for (const StoredRow& row : stored) found.push_back(row.key);
    std::sort(found.begin(), found.end());
    if (filter.isExact) {
      EXPECT_EQ(found, expected) << format << " as " << filter.where;
    } else {
      EXPECT_TRUE(std::includes(found.begin(), found.end(), expected.begin(), expected.end()))
          << format << " as " << filter.where;
    }
    // And the context, whichever way it answers, gives the evaluator's records.
    FetchRequest request(&sample);
    request.setPredicate(predicate);
    std::vector<std::int64_t> fetched;
    for (const auto& object : fetch(m_root, request))
      fetched.push_back(static_cast<ManagedObject&>(*object).objectID().key);
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, expected) << format << " through the context";
  }

  std::vector<ManagedObjectRef> m_samples;
};

TEST_F(SqlAgreementTest, StringsWithOptionsAndSqlSpecialCharacters) {
  for (const char* column : {"name", "label"}) {
    for (const char* tail : {"==[c] 'alesund'",
                             "==[cd] 'alesund'",
                             "==[d] 'Alesund'",
                             "!=[c] 'alesund'",
                             "!=[cd] 'ALESUND'",
                             "== 'it\\'s'",
                             "== ''",
                             "!= ''",
                             "LIKE '*%*'",
                             "LIKE '100%*'",
                             "LIKE '*_*'",
                             "LIKE 'under?score'",
                             "LIKE[c] '*\\'*'",
                             "LIKE 'a?b'",
                             "LIKE 'a*b'",
                             "LIKE[cd] 'a*'",
                             "LIKE[cd] 'ALE*'",
                             "LIKE[cd] '*SUND'",
                             "LIKE[cd] 'alesund'",
                             "LIKE[cd] 'cafe'",
                             "LIKE[cd] 'ca*'",
                             "LIKE[cd] 'CAF?'",
                             "LIKE[cd] 'tromsø'",
                             "LIKE[cd] 'tromso'",
                             "LIKE[cd] 'TROMSØ*'",
                             "LIKE[cd] '*'",
                             "LIKE[cd] ''",
                             "LIKE ''",
                             "LIKE[c] 'Å*'",
                             "LIKE[d] 'A*'",
                             "LIKE[cd] 'z*'",
                             "LIKE[cd] '1*'",
                             "LIKE[cd] 'u*e'",
                             "CONTAINS ''",
                             "CONTAINS[cd] 'SUN'",
                             "CONTAINS '%'",
                             "CONTAINS '_'",
                             "BEGINSWITH[cd] 'Å'",
                             "BEGINSWITH ''",
                             "ENDSWITH[c] 'SUND'",
                             "ENDSWITH[d] 'e'",
                             "IN {'it\\'s', 'Bærum'}",
                             "IN[c] {'bærum'}",
                             "IN {}",
                             "IN {nil, ''}"}) {
      expectAgreement((std::string(column) + " " + tail).c_str());
    }
  }
}

TEST_F(SqlAgreementTest, LettersWithAStrokeFoldToTheirBaseLettersInSqlAsInMemory) {
  for (const char* format : {"name LIKE[cd] 'cafe ost'", "name ==[cd] 'CAFE OST'", "name CONTAINS[d] 'Ost'",
                             "label LIKE[cd] 'lodz'", "label BEGINSWITH[cd] 'lo'", "label ==[d] 'LODZ'"}) {
    expectAgreement(format);
    FetchRequest request(entity("Sample"));
    request.setPredicate(Predicate::withFormat(format));
    EXPECT_EQ(fetch(m_root, request).size(), 1u) << format;
  }
}

TEST_F(SqlAgreementTest, OrderingOfStringsWithAndWithoutOptions) {
  for (const char* format :
       {"name > 'b'", "name < 'B'", "name >= 'a'", "name <= 'Å'", "label > 'z'", "name >[c] 'b'", "name <[c] 'b'",
        "name >=[cd] 'alesund'", "name <[d] 'B'", "label >[cd] 'c'", "'m' < name", "'m' >[c] name"}) {
    expectAgreement(format);
  }
}

TEST_F(SqlAgreementTest, MissingValuesUnderNotAndNil) {
  for (const char* format : {"name == nil",
                             "name != nil",
                             "nil == name",
                             "NOT name == nil",
                             "NOT name LIKE 'a*'",
                             "NOT name BEGINSWITH[c] 'a'",
                             "NOT name CONTAINS[cd] 'e'",
                             "NOT i32 > 0",
                             "NOT (i32 > 0)",
                             "NOT i32 > 0 OR name == nil",
                             "NOT (i32 > 0 AND name == nil)",
                             "NOT (i32 > 0 OR d < 1)",
                             "NOT NOT i32 > 0",
                             "i32 != 5",
                             "i32 == nil OR i32 > 3",
                             "i16 == i32",
                             "i16 != i32",
                             "i16 < i32",
                             "i16 <= i32",
                             "name == label",
                             "name ==[c] label",
                             "NOT i32 IN {5}",
                             "NOT name IN {'it\\'s'}",
                             "flag != YES",
                             "NOT flag == YES",
                             "flag == nil",
                             "when == nil",
                             "NOT when > %@"}) {
    expectAgreement(format, {fnd::Ref<fnd::Object>(date(0))});
  }
}

TEST_F(SqlAgreementTest, IntegersBesideDoublesAndTheLimits) {
  for (const char* format : {"i32 == 5.0",
                             "i32 < 5.5",
                             "i32 > -0.5",
                             "i32 >= -2147483648",
                             "i32 == 2147483647",
                             "d == 5",
                             "d == 0",
                             "d == -0.0",
                             "d < 1",
                             "d > 1e299",
                             "d == 0.5",
                             "d <= -2.5",
                             "d == 9007199254740992",
                             "d == 9007199254740993",
                             "i64 == 9007199254740993",
                             "i64 == 9007199254740992.0",
                             "i64 > 9007199254740992.0",
                             "i64 > 9223372036854775806",
                             "i64 == -9223372036854775808",
                             "i64 < 18446744073709551615",
                             "i64 == 18446744073709551615",
                             "i32 > 18446744073709551615",
                             "5 > i32",
                             "5.5 <= i32",
                             "i32 == '5'",
                             "i32 IN {5, 'x'}",
                             "i32 IN {5, 0}",
                             "i32 IN {5.0, -1}",
                             "i32 IN {}",
                             "i32 IN {nil, 5}",
                             "d IN {0, 0.5}",
                             "i64 IN {9007199254740992.0}"}) {
    expectAgreement(format);
  }
}

TEST_F(SqlAgreementTest, BooleansDatesAndSelf) {
  const Value billion = date(1e9);
  for (const char* format : {"flag == YES", "flag == NO", "flag == TRUE", "flag == 1", "flag == 0", "flag > NO",
                             "flag == 'YES'", "flag IN {YES}", "when > %@", "when == %@", "when < %@", "when >= %@",
                             "when != %@", "when == 1000000000", "when IN {%@}", "SELF == nil", "SELF != nil"}) {
    expectAgreement(format, {fnd::Ref<fnd::Object>(billion)});
  }
  expectAgreement("SELF == %@", {fnd::Ref<fnd::Object>(m_samples[3])});
  expectAgreement("SELF != %@", {fnd::Ref<fnd::Object>(m_samples[3])});
  expectAgreement("SELF IN %@",
                  {fnd::Ref<fnd::Object>(fnd::ObjectArray::create({m_samples[1].get(), m_samples[4].get()}))});
}

}  // namespace
}  // namespace objectstore
