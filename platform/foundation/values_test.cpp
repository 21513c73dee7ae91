// covers: number.cpp, string_object.cpp, date.cpp, object.cpp, data.h, null.h
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <limits>

#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace fnd {
namespace {

void expectEqualWithEqualHashes(const Object& a, const Object& b) {
  EXPECT_TRUE(a.isEqual(b)) << a.description() << " vs " << b.description();
  EXPECT_TRUE(b.isEqual(a)) << b.description() << " vs " << a.description();
  EXPECT_EQ(a.hash(), b.hash()) << a.description() << " vs " << b.description();
}

TEST(Number, EqualValuesAreEqualAndHashAlikeAcrossKinds) {
  expectEqualWithEqualHashes(*Number::create(std::int64_t{1}), *Number::createUnsigned(1));
  expectEqualWithEqualHashes(*Number::create(std::int64_t{1}), *Number::create(1.0));
  expectEqualWithEqualHashes(*Number::yes(), *Number::create(std::int64_t{1}));
  expectEqualWithEqualHashes(*Number::no(), *Number::create(0.0));
  expectEqualWithEqualHashes(*Number::create(-0.0), *Number::create(std::int64_t{0}));
  expectEqualWithEqualHashes(*Number::create(std::int64_t{-42}), *Number::create(-42.0));
  expectEqualWithEqualHashes(*Number::createUnsigned(1ull << 63), *Number::create(9223372036854775808.0));
  expectEqualWithEqualHashes(*Number::create(0.5), *Number::create(0.5));
}

TEST(Number, ComparisonIsExactWhereDoublesRound) {
  // 2^53 + 1 has no double; the integer and the nearest double differ.
  const auto integer = Number::create(std::int64_t{9007199254740993});
  const auto nearest = Number::create(9007199254740992.0);
  EXPECT_FALSE(integer->isEqual(*nearest));
  EXPECT_EQ(integer->compare(*nearest), std::partial_ordering::greater);
  // UINT64_MAX and -1 share their bit pattern but are different values.
  EXPECT_FALSE(Number::createUnsigned(UINT64_MAX)->isEqual(*Number::create(std::int64_t{-1})));
  EXPECT_EQ(Number::create(std::int64_t{-1})->compare(*Number::createUnsigned(0)), std::partial_ordering::less);
  EXPECT_FALSE(Number::create(std::int64_t{1})->isEqual(*String::create("1")));
}

TEST(Number, KeepsItsKindAndConvertsSafely) {
  EXPECT_EQ(Number::createUnsigned(UINT64_MAX)->type(), Number::Type::UInt64);
  EXPECT_EQ(Number::createUnsigned(UINT64_MAX)->uint64Value(), UINT64_MAX);
  EXPECT_EQ(Number::create(std::int64_t{INT64_MIN})->int64Value(), INT64_MIN);
  EXPECT_EQ(Number::create(1e300)->int64Value(), INT64_MAX);  // saturates instead of undefined behaviour
  EXPECT_EQ(Number::create(std::nan(""))->int64Value(), INT64_MAX);
  EXPECT_TRUE(Number::yes()->boolValue());
  EXPECT_EQ(Number::yes()->type(), Number::Type::Bool);
  EXPECT_EQ(Number::create(2.5)->description(), "2.5");
}

TEST(Number, NaNIsEqualToItselfSoItCanBeAKey) {
  const auto nan = Number::create(std::numeric_limits<double>::quiet_NaN());
  expectEqualWithEqualHashes(*nan, *Number::create(-std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(nan->isEqual(*Number::create(0.0)));
}

TEST(String, CountsUtf16UnitsOfNonAsciiText) {
  EXPECT_EQ(String::create("abc")->utf16Length(), 3u);
  EXPECT_EQ(String::create("blåbær")->utf16Length(), 6u);  // å, æ: two bytes, one unit
  EXPECT_EQ(String::create("blåbær")->byteLength(), 8u);
  EXPECT_EQ(String::create("€")->utf16Length(), 1u);                 // three bytes, one unit
  EXPECT_EQ(String::create("\xF0\x9D\x84\x9E")->utf16Length(), 2u);  // U+1D11E: a surrogate pair
  EXPECT_EQ(String::create("a\xF0\x9F\x98\x80z")->toQString().size(), 4);
}

TEST(String, EmptyTextIsTheOneSharedEmptyString) {
  EXPECT_EQ(String::create("").get(), String::empty());
  EXPECT_EQ(String::empty()->utf8(), "");
  EXPECT_EQ(String::empty()->utf16Length(), 0u);
}

TEST(String, EqualityComparesTextNotIdentityIncludingEmbeddedNul) {
  const auto a = String::create("Telefonsalg");
  const auto b = String::create(std::string("Telefonsalg"));
  EXPECT_NE(a.get(), b.get());
  expectEqualWithEqualHashes(*a, *b);
  EXPECT_FALSE(String::create(std::string_view("a\0b", 3))->isEqual(*String::create(std::string_view("a\0c", 3))));
  EXPECT_FALSE(String::create("ab")->isEqual(*String::create("abc")));
  EXPECT_EQ(String::create(std::string_view("a\0b", 3))->byteLength(), 3u);
  EXPECT_EQ(String::hashBytes("Telefonsalg"), a->hash());
}

TEST(Values, DateDataAndNullHaveValueEquality) {
  expectEqualWithEqualHashes(*Date::create(1000.5), *Date::create(1000.5));
  EXPECT_FALSE(Date::create(1000.5)->isEqual(*Date::create(1000.25)));
  EXPECT_DOUBLE_EQ(Date::create(100)->timeIntervalSinceDate(*Date::create(40)), 60);
  EXPECT_EQ(Date::create(0)->description(), "1970-01-01 00:00:00 +0000");
  expectEqualWithEqualHashes(*Data::create(std::string("\x89PNG")), *Data::create(std::string("\x89PNG")));
  EXPECT_FALSE(Data::create(std::string("a"))->isEqual(*String::create("a")));
  EXPECT_EQ(Null::null(), Null::null());
  EXPECT_TRUE(Null::null()->isEqual(*Null::null()));
}

TEST(Values, TestClockReplacesNow) {
  Date::setClockForTesting([] { return 1234.0; });
  EXPECT_EQ(Date::now()->timeIntervalSince1970(), 1234.0);
  Date::setClockForTesting({});
  EXPECT_GT(Date::now()->timeIntervalSince1970(), 1.7e9);
}

TEST(Ref, CountsReferencesAndReleasesTheLast) {
  auto string = String::create("held");
  EXPECT_EQ(string->retainCount(), 1u);
  {
    Ref<Object> second = string;
    EXPECT_EQ(string->retainCount(), 2u);
    Ref<Object> moved = std::move(second);
    EXPECT_EQ(string->retainCount(), 2u);
  }
  EXPECT_EQ(string->retainCount(), 1u);
}

}  // namespace
}  // namespace fnd
