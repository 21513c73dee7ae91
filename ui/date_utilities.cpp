#include "ui/date_utilities.h"

#include <QDateTime>
#include <cmath>

namespace ui {

namespace dates {

namespace {

constexpr int kDaysPerWeek = 7;
constexpr int kSaturday = 6;
constexpr int kSunday = 7;
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

QDateTime local(const Date& date) { return date.toQDateTime().toLocalTime(); }

Ref<Date> fromNow(double seconds) { return Date::now()->addingTimeInterval(seconds); }

std::int64_t wholeUnits(double seconds, double unit) { return static_cast<std::int64_t>(std::trunc(seconds / unit)); }

double units(std::int64_t count, double unit) { return static_cast<double>(count) * unit; }

}  // namespace

Ref<Date> dateWithDaysFromNow(std::int64_t days) { return fromNow(units(days, kDay)); }
Ref<Date> dateWithDaysBeforeNow(std::int64_t days) { return fromNow(-units(days, kDay)); }
Ref<Date> dateTomorrow() { return dateWithDaysFromNow(1); }
Ref<Date> dateYesterday() { return dateWithDaysBeforeNow(1); }
Ref<Date> dateWithHoursFromNow(std::int64_t hours) { return fromNow(units(hours, kHour)); }
Ref<Date> dateWithHoursBeforeNow(std::int64_t hours) { return fromNow(-units(hours, kHour)); }
Ref<Date> dateWithMinutesFromNow(std::int64_t minutes) { return fromNow(units(minutes, kMinute)); }
Ref<Date> dateWithMinutesBeforeNow(std::int64_t minutes) { return fromNow(-units(minutes, kMinute)); }

Ref<Date> dateByAddingDays(const Date& date, std::int64_t days) { return date.addingTimeInterval(units(days, kDay)); }
Ref<Date> dateByAddingHours(const Date& date, std::int64_t hours) {
  return date.addingTimeInterval(units(hours, kHour));
}
Ref<Date> dateByAddingMinutes(const Date& date, std::int64_t minutes) {
  return date.addingTimeInterval(units(minutes, kMinute));
}
Ref<Date> dateBySubtractingDays(const Date& date, std::int64_t days) { return dateByAddingDays(date, -days); }
Ref<Date> dateBySubtractingHours(const Date& date, std::int64_t hours) { return dateByAddingHours(date, -hours); }
Ref<Date> dateBySubtractingMinutes(const Date& date, std::int64_t minutes) {
  return dateByAddingMinutes(date, -minutes);
}

std::int64_t minutesAfterDate(const Date& date, const Date& other) {
  return wholeUnits(date.timeIntervalSinceDate(other), kMinute);
}
std::int64_t hoursAfterDate(const Date& date, const Date& other) {
  return wholeUnits(date.timeIntervalSinceDate(other), kHour);
}
std::int64_t daysAfterDate(const Date& date, const Date& other) {
  return wholeUnits(date.timeIntervalSinceDate(other), kDay);
}
std::int64_t minutesBeforeDate(const Date& date, const Date& other) { return minutesAfterDate(other, date); }
std::int64_t hoursBeforeDate(const Date& date, const Date& other) { return hoursAfterDate(other, date); }
std::int64_t daysBeforeDate(const Date& date, const Date& other) { return daysAfterDate(other, date); }

bool isEqualToDateIgnoringTime(const Date& date, const Date& other) {
  return local(date).date() == local(other).date();
}
bool isToday(const Date& date) { return isEqualToDateIgnoringTime(date, *Date::now()); }
bool isTomorrow(const Date& date) { return isEqualToDateIgnoringTime(date, *dateTomorrow()); }
bool isYesterday(const Date& date) { return isEqualToDateIgnoringTime(date, *dateYesterday()); }

bool isSameWeekAsDate(const Date& date, const Date& other) {
  // The week number repeats every year, so the dates must also lie within a week of each other.
  return week(date) == week(other) && std::fabs(date.timeIntervalSinceDate(other)) < kWeek;
}
bool isThisWeek(const Date& date) { return isSameWeekAsDate(date, *Date::now()); }
bool isNextWeek(const Date& date) { return isSameWeekAsDate(date, *fromNow(kWeek)); }
bool isLastWeek(const Date& date) { return isSameWeekAsDate(date, *fromNow(-kWeek)); }

bool isSameMonthAsDate(const Date& date, const Date& other) {
  return year(date) == year(other) && month(date) == month(other);
}
bool isThisMonth(const Date& date) { return isSameMonthAsDate(date, *Date::now()); }
bool isSameYearAsDate(const Date& date, const Date& other) { return year(date) == year(other); }
bool isThisYear(const Date& date) { return isSameYearAsDate(date, *Date::now()); }
bool isNextYear(const Date& date) { return year(date) == year(*Date::now()) + 1; }
bool isLastYear(const Date& date) { return year(date) == year(*Date::now()) - 1; }

bool isEarlierThanDate(const Date& date, const Date& other) {
  return date.timeIntervalSince1970() < other.timeIntervalSince1970();
}
bool isLaterThanDate(const Date& date, const Date& other) {
  return date.timeIntervalSince1970() > other.timeIntervalSince1970();
}

bool isTypicallyWeekend(const Date& date) {
  const int dayOfWeek = local(date).date().dayOfWeek();
  return dayOfWeek == kSaturday || dayOfWeek == kSunday;
}
bool isTypicallyWorkday(const Date& date) { return !isTypicallyWeekend(date); }

Ref<Date> dateAtStartOfDay(const Date& date) { return Date::fromQDateTime(local(date).date().startOfDay()); }

DateComponents componentsWithOffsetFromDate(const Date& date, const Date& other) {
  const bool backwards = date.timeIntervalSince1970() < other.timeIntervalSince1970();
  const QDateTime start = local(backwards ? date : other);
  const QDateTime end = local(backwards ? other : date);

  DateComponents offset;
  offset.years = end.date().year() - start.date().year();
  if (start.addYears(offset.years) > end) --offset.years;
  QDateTime cursor = start.addYears(offset.years);
  offset.months = (end.date().year() - cursor.date().year()) * 12 + end.date().month() - cursor.date().month();
  if (cursor.addMonths(offset.months) > end) --offset.months;
  cursor = cursor.addMonths(offset.months);
  offset.days = static_cast<int>(cursor.daysTo(end));
  if (cursor.addDays(offset.days) > end) --offset.days;
  cursor = cursor.addDays(offset.days);
  const auto rest = cursor.secsTo(end);
  offset.hours = static_cast<int>(rest / kSecondsPerHour);
  offset.minutes = static_cast<int>(rest % kSecondsPerHour / kSecondsPerMinute);
  offset.seconds = static_cast<int>(rest % kSecondsPerMinute);
  if (backwards) {
    for (int* part : {&offset.years, &offset.months, &offset.days, &offset.hours, &offset.minutes, &offset.seconds})
      *part = -*part;
  }
  return offset;
}

int nearestHour() { return hour(*fromNow(kHour / 2)); }
int hour(const Date& date) { return local(date).time().hour(); }
int minute(const Date& date) { return local(date).time().minute(); }
int seconds(const Date& date) { return local(date).time().second(); }
int day(const Date& date) { return local(date).date().day(); }
int month(const Date& date) { return local(date).date().month(); }
int week(const Date& date) { return local(date).date().weekNumber(); }
int weekday(const Date& date) { return local(date).date().dayOfWeek() % kDaysPerWeek + 1; }
int nthWeekday(const Date& date) { return (day(date) - 1) / kDaysPerWeek + 1; }
int year(const Date& date) { return local(date).date().year(); }

}  // namespace dates

}  // namespace ui
