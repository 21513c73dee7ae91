// covers: import_values.cpp, import_colour.cpp, import_date.cpp
#include <gtest/gtest.h>

#include <QDateTime>

#include "json/json_decoder.h"
#include "platform/foundation/data.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"
#include "store/import_colour.h"
#include "store/import_date.h"
#include "store/import_values.h"

namespace store {
namespace {

using objectstore::AttributeType;

const QTimeZone kOslo("Europe/Oslo");

double utc(int year, int month, int day, int hour, int minute, int second = 0, int millisecond = 0) {
  return static_cast<double>(
             QDateTime(QDate(year, month, day), QTime(hour, minute, second, millisecond), QTimeZone::utc())
                 .toMSecsSinceEpoch()) /
         1000.0;
}

std::optional<double> oslo(std::string_view text, std::string_view pattern = kDefaultImportDateFormat) {
  fnd::Ref<fnd::Date> date = dateFromText(text, pattern, kOslo, QLocale(QLocale::English));
  return date ? std::optional(date->timeIntervalSince1970()) : std::nullopt;
}

TEST(ImportColour, ReadsRgbaTextsAndRefusesTheRest) {
  EXPECT_EQ(colourFromText("rgba(255,0,0,1)"), (ImportColour{1, 0, 0, 1}));
  EXPECT_EQ(colourFromText(" rgba( 0 , 51 , 255 , 0 ) "), (ImportColour{0, 0.2, 1, 0}));
  EXPECT_EQ(colourFromText("rgba(0,0,0,0.5)"), (ImportColour{0, 0, 0, 0.5}));
  EXPECT_EQ(colourFromText("rgb(0,0,255)"), (ImportColour{0, 0, 1, 1}));
  EXPECT_EQ(colourFromText("rgba(300,-4,0,7)"), (ImportColour{1, 0, 0, 1}));
  for (std::string_view bad :
       {"", "red", "#ff0000", "hsla(0,0,0,1)", "rgba(1,2,3)", "rgba(1,2,3,1,5)", "rgba(1,,3,1)", "rgba(1,x,3,1)",
        "rgba(1,2,3,1", "rgb(1,2,3,1)", "rgba(nan,0,0,1)", "rgba(1e999,0,0,1)"}) {
    EXPECT_EQ(colourFromText(bad), std::nullopt) << bad;
  }
}

TEST(ImportColour, IsStoredInTheFormOfTheAttribute) {
  const ImportColour red{1, 0, 0, 1};
  EXPECT_EQ(storedColour(red, AttributeType::Integer64)->description(), std::to_string(0xFFFF0000u));
  EXPECT_EQ(storedColour(ImportColour{0, 0.2, 1, 0}, AttributeType::String)->description(), "#000033ff");
  auto bytes = storedColour(red, AttributeType::Binary);
  EXPECT_TRUE(bytes->isEqual(*fnd::Data::create(std::string("\xff\x00\x00\xff", 4))));
  EXPECT_EQ(storedColour(red, AttributeType::Date), nullptr);
  EXPECT_EQ(storedColour(red, AttributeType::Integer16), nullptr);
}

TEST(ImportDate, PatternsTranslateToQtFormats) {
  EXPECT_EQ(qtDateFormat(kDefaultImportDateFormat)->format, "yyyy-MM-dd'T'HH:mm:ss'Z'");
  EXPECT_EQ(qtDateFormat("dd.MM.yy HH:mm")->format, "dd.MM.yy HH:mm");
  EXPECT_EQ(qtDateFormat("EEE, d MMM yyyy h:mm a")->format, "ddd, d MMM yyyy h:mm AP");
  EXPECT_EQ(qtDateFormat("EEEE d. LLLL y")->format, "dddd d. MMMM yyyy");
  EXPECT_EQ(qtDateFormat("HH:mm:ss.SSS")->format, "HH:mm:ss.zzz");
  EXPECT_EQ(qtDateFormat("h 'o''clock' ''")->format, "h 'o''clock' ''");
  EXPECT_TRUE(qtDateFormat("dd.MM.yy")->twoDigitYear);
  EXPECT_FALSE(qtDateFormat("dd.MM.yyyy 'yy'")->twoDigitYear);
  for (std::string_view unreadable : {"G yyyy", "yyyy-ww", "ddd", "'open", "yyyy'"}) {
    EXPECT_EQ(qtDateFormat(unreadable), std::nullopt) << unreadable;
  }
}

TEST(ImportDate, TextIsReadAsWallClockTimeInTheGivenZone) {
  // The trailing 'Z' of the default pattern is literal text: the time is local.
  EXPECT_EQ(oslo("2026-07-01T12:00:00Z"), utc(2026, 7, 1, 10, 0));
  EXPECT_EQ(oslo("2026-01-15T12:00:00Z"), utc(2026, 1, 15, 11, 0));
  // Two-digit years fall within the 80 years before and the 19 after the current year.
  const int year = QDate::currentDate().year();
  for (int expected : {year - 50, year - 1, year + 10}) {
    const std::string text = "15.01." + QString::number(expected % 100).rightJustified(2, '0').toStdString();
    EXPECT_EQ(oslo(text, "dd.MM.yy"), utc(expected, 1, 14, 23, 0)) << text;
  }
  EXPECT_EQ(oslo("Thu, 1 Jan 2026 3:05 PM", "EEE, d MMM yyyy h:mm a"), utc(2026, 1, 1, 14, 5));
  EXPECT_EQ(oslo("01.02.2026 10:00:00.250", "dd.MM.yyyy HH:mm:ss.SSS"), utc(2026, 2, 1, 9, 0, 0, 250));
  for (std::string_view bad : {"", "2026-07-01", "2026-02-30T12:00:00Z", "2026-07-01T25:00:00Z", "i morgen"}) {
    EXPECT_EQ(oslo(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(oslo("2026-07-01", "G y"), std::nullopt);
}

TEST(ImportDate, SummerTimeMovesTheDateForwardByItsOffset) {
  auto shifted = [](double seconds, const QTimeZone& zone) {
    return shiftedByDaylightSaving(*fnd::Date::create(seconds), zone)->timeIntervalSince1970();
  };
  EXPECT_EQ(shifted(utc(2026, 7, 1, 10, 0), kOslo), utc(2026, 7, 1, 11, 0));
  EXPECT_EQ(shifted(utc(2026, 1, 15, 11, 0), kOslo), utc(2026, 1, 15, 11, 0));
  EXPECT_EQ(shifted(utc(2026, 7, 1, 10, 0), QTimeZone::utc()), utc(2026, 7, 1, 10, 0));
  // The offset is the one in force at that moment: summer time ends at 01:00 UTC on 25 October 2026.
  EXPECT_EQ(shifted(utc(2026, 10, 25, 0, 59), kOslo), utc(2026, 10, 25, 1, 59));
  EXPECT_EQ(shifted(utc(2026, 10, 25, 1, 0), kOslo), utc(2026, 10, 25, 1, 0));
}

TEST(ImportValues, KeyPathsStepThroughDictionariesOnly) {
  fnd::Ref<fnd::Object> data =
      json::objectFromJSONString(fnd::str(R"j({"a": {"b": {"c": 1}}, "list": [1], "n": null})j").get());
  EXPECT_EQ(dataValueAtKeyPath(data.get(), "a.b.c")->description(), "1");
  EXPECT_EQ(dataValueAtKeyPath(data.get(), "a.x.c"), nullptr);
  EXPECT_EQ(dataValueAtKeyPath(data.get(), "list.0"), nullptr);
  EXPECT_EQ(dataValueAtKeyPath(data.get(), "a.b.c.d"), nullptr);
  EXPECT_EQ(dataValueAtKeyPath(data.get(), "n")->kind(), fnd::ObjectKind::Null);
  EXPECT_EQ(dataValueForKey(data.get(), "a.b"), nullptr);
  EXPECT_EQ(dataValueAtKeyPath(fnd::Number::create(std::int64_t{3}).get(), "a"), nullptr);
  EXPECT_EQ(dataValueAtKeyPath(nullptr, "a"), nullptr);
}

TEST(ImportValues, ValuesAreConvertedToWhatTheAttributeStores) {
  auto stored = [](fnd::Ref<fnd::Object> value, AttributeType type) -> std::string {
    std::optional<fnd::Ref<fnd::Object>> result = storableValue(std::move(value), {.name = "a", .type = type});
    if (!result) return "refused";
    return *result ? std::string((*result)->className()) + " " + (*result)->description() : "nil";
  };
  EXPECT_EQ(stored(fnd::str("42"), AttributeType::Integer32), "NSNumber 42");
  EXPECT_EQ(stored(fnd::str("-7"), AttributeType::Integer64), "NSNumber -7");
  EXPECT_EQ(stored(fnd::str("4x"), AttributeType::Integer16), "refused");
  EXPECT_EQ(stored(fnd::str("2.5"), AttributeType::Double), "NSNumber 2.5");
  EXPECT_EQ(stored(fnd::str("true"), AttributeType::Boolean),
            stored(fnd::Ref<fnd::Object>(fnd::Number::yes()), AttributeType::Boolean));
  EXPECT_EQ(stored(fnd::str("kanskje"), AttributeType::Boolean), "refused");
  EXPECT_EQ(stored(fnd::Number::create(std::int64_t{7}), AttributeType::String), "NSString 7");
  EXPECT_EQ(stored(fnd::Number::create(std::int64_t{7}), AttributeType::Date), "refused");
  EXPECT_EQ(stored(fnd::str("x"), AttributeType::Date), "refused");
  EXPECT_EQ(stored(fnd::Ref<fnd::Object>(fnd::Null::null()), AttributeType::Integer32), "nil");
  EXPECT_EQ(stored(nullptr, AttributeType::String), "nil");
  EXPECT_EQ(stored(fnd::Date::create(1), AttributeType::Date).rfind("NSDate", 0), 0u);
  fnd::Ref<fnd::Object> list = json::objectFromJSONString(fnd::str("[1]").get());
  EXPECT_EQ(stored(list, AttributeType::String), "refused");
}

}  // namespace
}  // namespace store
