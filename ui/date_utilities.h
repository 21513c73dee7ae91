#pragma once
// Date arithmetic in whole minutes, hours and days, and calendar questions in
// the user's calendar (Gregorian, ISO weeks) and time zone. Pure functions of
// their arguments and the clock behind fnd::Date::now(); any thread.

#include <cstdint>

#include "platform/foundation/date.h"

namespace ui {

namespace dates {

using fnd::Date;
using fnd::Ref;

inline constexpr double kMinute = 60;
inline constexpr double kHour = 3600;
inline constexpr double kDay = 86400;
inline constexpr double kWeek = 604800;

Ref<Date> dateWithDaysFromNow(std::int64_t days);
Ref<Date> dateWithDaysBeforeNow(std::int64_t days);
Ref<Date> dateTomorrow();
Ref<Date> dateYesterday();
Ref<Date> dateWithHoursFromNow(std::int64_t hours);
Ref<Date> dateWithHoursBeforeNow(std::int64_t hours);
Ref<Date> dateWithMinutesFromNow(std::int64_t minutes);
Ref<Date> dateWithMinutesBeforeNow(std::int64_t minutes);

Ref<Date> dateByAddingDays(const Date& date, std::int64_t days);
Ref<Date> dateByAddingHours(const Date& date, std::int64_t hours);
Ref<Date> dateByAddingMinutes(const Date& date, std::int64_t minutes);
Ref<Date> dateBySubtractingDays(const Date& date, std::int64_t days);
Ref<Date> dateBySubtractingHours(const Date& date, std::int64_t hours);
Ref<Date> dateBySubtractingMinutes(const Date& date, std::int64_t minutes);

// Whole units from `other` to `date` (…After) or from `date` to `other`
// (…Before), cut toward zero: 6 days 23 hours is 6 days.
std::int64_t minutesAfterDate(const Date& date, const Date& other);
std::int64_t hoursAfterDate(const Date& date, const Date& other);
std::int64_t daysAfterDate(const Date& date, const Date& other);
std::int64_t minutesBeforeDate(const Date& date, const Date& other);
std::int64_t hoursBeforeDate(const Date& date, const Date& other);
std::int64_t daysBeforeDate(const Date& date, const Date& other);

bool isEqualToDateIgnoringTime(const Date& date, const Date& other);
bool isToday(const Date& date);
bool isTomorrow(const Date& date);
bool isYesterday(const Date& date);
bool isSameWeekAsDate(const Date& date, const Date& other);
bool isThisWeek(const Date& date);
bool isNextWeek(const Date& date);
bool isLastWeek(const Date& date);
bool isSameMonthAsDate(const Date& date, const Date& other);
bool isThisMonth(const Date& date);
bool isSameYearAsDate(const Date& date, const Date& other);
bool isThisYear(const Date& date);
bool isNextYear(const Date& date);
bool isLastYear(const Date& date);
bool isEarlierThanDate(const Date& date, const Date& other);
bool isLaterThanDate(const Date& date, const Date& other);
bool isTypicallyWeekend(const Date& date);  // Saturday or Sunday
bool isTypicallyWorkday(const Date& date);

Ref<Date> dateAtStartOfDay(const Date& date);

struct DateComponents {
  int years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
  bool operator==(const DateComponents&) const = default;
};
// The calendar difference from `other` to `date`, largest units first; negative when `date` is earlier.
DateComponents componentsWithOffsetFromDate(const Date& date, const Date& other);

int nearestHour();  // the hour of now plus half an hour
int hour(const Date& date);
int minute(const Date& date);
int seconds(const Date& date);
int day(const Date& date);
int month(const Date& date);
int week(const Date& date);        // ISO week number
int weekday(const Date& date);     // 1 Sunday … 7 Saturday
int nthWeekday(const Date& date);  // 1 for the month's first such weekday
int year(const Date& date);

}  // namespace dates

}  // namespace ui
