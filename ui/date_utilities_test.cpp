#include "ui/date_utilities.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace ui {

namespace {

using namespace dates;

Ref<Date> localDate(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

// Fixes "now" for the calendar questions that depend on it.
class DateUtilitiesTest : public testing::Test {
 protected:
  void SetUp() override {
    m_now = localDate(2026, 12, 8, 12);  // a Tuesday
    const double seconds = m_now->timeIntervalSince1970();
    Date::setClockForTesting([seconds] { return seconds; });
  }
  void TearDown() override { Date::setClockForTesting({}); }
  Ref<Date> m_now;
};

TEST_F(DateUtilitiesTest, DaysAfterCountsWholeDaysCutTowardZero) {
  EXPECT_EQ(daysAfterDate(*m_now, *m_now->addingTimeInterval(-7 * kDay)), 7);
  EXPECT_EQ(daysAfterDate(*m_now, *m_now->addingTimeInterval(-(6 * kDay + 23 * kHour))), 6);
  EXPECT_EQ(daysAfterDate(*m_now, *m_now->addingTimeInterval(kHour)), 0) << "an hour earlier is no whole day";
  EXPECT_EQ(daysAfterDate(*m_now, *m_now->addingTimeInterval(8 * kDay + 1)), -8);
  EXPECT_EQ(daysBeforeDate(*m_now, *m_now->addingTimeInterval(2 * kDay)), 2);
  EXPECT_EQ(hoursAfterDate(*m_now, *m_now->addingTimeInterval(-(kHour * 5 + 3599))), 5);
  EXPECT_EQ(minutesBeforeDate(*m_now, *m_now->addingTimeInterval(-90)), -1);
}

TEST_F(DateUtilitiesTest, RelativeConstructorsMoveByWholeUnits) {
  EXPECT_EQ(dateWithDaysFromNow(2)->timeIntervalSinceDate(*m_now), 2 * kDay);
  EXPECT_EQ(dateYesterday()->timeIntervalSinceDate(*m_now), -kDay);
  EXPECT_EQ(dateWithHoursBeforeNow(3)->timeIntervalSinceDate(*m_now), -3 * kHour);
  EXPECT_EQ(dateWithMinutesFromNow(4)->timeIntervalSinceDate(*m_now), 4 * kMinute);
  EXPECT_EQ(dateBySubtractingMinutes(*m_now, 5)->timeIntervalSinceDate(*m_now), -5 * kMinute);
  EXPECT_EQ(dateByAddingDays(*m_now, -1)->timeIntervalSinceDate(*dateYesterday()), 0);
}

TEST_F(DateUtilitiesTest, DayQuestionsFollowTheLocalCalendar) {
  EXPECT_TRUE(isToday(*localDate(2026, 12, 8, 0, 0, 0)));
  EXPECT_TRUE(isToday(*localDate(2026, 12, 8, 23, 59, 59)));
  EXPECT_FALSE(isToday(*localDate(2026, 12, 9, 0, 0, 0)));
  EXPECT_TRUE(isTomorrow(*localDate(2026, 12, 9, 1)));
  EXPECT_TRUE(isYesterday(*localDate(2026, 12, 7, 23)));
  EXPECT_TRUE(isThisWeek(*localDate(2026, 12, 13)));  // Sunday ends the ISO week
  EXPECT_TRUE(isNextWeek(*localDate(2026, 12, 14)));
  EXPECT_TRUE(isLastWeek(*localDate(2026, 12, 6)));
  EXPECT_FALSE(isSameWeekAsDate(*m_now, *localDate(2025, 12, 9))) << "same week number a year apart";
  EXPECT_TRUE(isThisMonth(*localDate(2026, 12, 31)));
  EXPECT_TRUE(isNextYear(*localDate(2027, 1, 1)));
  EXPECT_TRUE(isLastYear(*localDate(2025, 6, 1)));
  EXPECT_TRUE(isEarlierThanDate(*dateYesterday(), *m_now));
  EXPECT_FALSE(isLaterThanDate(*m_now, *m_now));
}

TEST_F(DateUtilitiesTest, CalendarComponents) {
  EXPECT_EQ(weekday(*m_now), 3);
  EXPECT_EQ(nthWeekday(*m_now), 2);
  EXPECT_EQ(week(*m_now), 50);
  EXPECT_EQ(year(*m_now), 2026);
  EXPECT_EQ(month(*m_now), 12);
  EXPECT_EQ(day(*m_now), 8);
  EXPECT_EQ(nearestHour(), 12);
  EXPECT_TRUE(isTypicallyWorkday(*m_now));
  EXPECT_TRUE(isTypicallyWeekend(*localDate(2026, 12, 12)));
  const Ref<Date> start = dateAtStartOfDay(*localDate(2026, 12, 8, 17, 45, 12));
  EXPECT_EQ(hour(*start), 0);
  EXPECT_EQ(minute(*start), 0);
  EXPECT_EQ(seconds(*start), 0);
  EXPECT_TRUE(isToday(*start));
}

TEST_F(DateUtilitiesTest, OffsetsBorrowFromLargerUnits) {
  const Ref<Date> from = localDate(2026, 1, 31, 10, 0, 0);
  const Ref<Date> to = localDate(2026, 3, 1, 9, 30, 15);
  EXPECT_EQ(componentsWithOffsetFromDate(*to, *from), (DateComponents{0, 1, 0, 23, 30, 15}));
  EXPECT_EQ(componentsWithOffsetFromDate(*from, *to), (DateComponents{0, -1, 0, -23, -30, -15}));
  EXPECT_EQ(componentsWithOffsetFromDate(*localDate(2028, 2, 29), *localDate(2026, 12, 8)),
            (DateComponents{1, 2, 21, 0, 0, 0}));
}

}  // namespace

}  // namespace ui
