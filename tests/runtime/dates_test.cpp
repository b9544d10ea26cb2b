#include "runtime/dates.h"
#include "tests/support/fixed_clock.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

struct DateCase {
  int month, day, year;
  std::int32_t expected;
};

TEST(Dates, DayNumbersFromTheOrigin) {
  // Day 4 is 1 January 1801; later rows follow from counting days across leap years.
  const DateCase cases[] = {
      {1, 1, 1801, 4},
      {12, 31, 1801, 4 + 364},
      {1, 1, 1802, 4 + 365},
      {3, 1, 1804, 4 + 365 * 3 + 59 + 1},  // 1804 is leap: 29 February exists
      {1, 1, 1900, 36163},
      {3, 1, 1900, 36163 + 59},  // 1900 is not leap
      {3, 1, 2000, DATE(2, 29, 2000) + 1},
      {1, 1, 2000, 72687},
      {11, 3, 1999, 72628},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DATE(c.month, c.day, c.year), c.expected) << c.month << "/" << c.day << "/" << c.year;
  }
}

TEST(Dates, OverflowRollsForward) {
  EXPECT_EQ(DATE(2, 31, 2025), DATE(3, 3, 2025));
  EXPECT_EQ(DATE(2, 31, 2024), DATE(3, 2, 2024));
  EXPECT_EQ(DATE(13, 1, 2024), DATE(1, 1, 2025));
  EXPECT_EQ(DATE(25, 1, 2024), DATE(1, 1, 2026));
  EXPECT_EQ(DATE(12, 32, 2024), DATE(1, 1, 2025));
  EXPECT_EQ(DATE(3, 0, 2024), DATE(2, 29, 2024));  // day 0 is the last day of the month before
  EXPECT_EQ(DATE(0, 1, 2025), DATE(12, 1, 2024));
  // Last day of a month as "first of the next month minus one", December included.
  EXPECT_EQ(DATE(13, 1, 2023) - 1, DATE(12, 31, 2023));
}

TEST(Dates, OutOfRangeGivesNoDate) {
  EXPECT_EQ(DATE(1, 1, 1700), 0);
  EXPECT_EQ(DATE(1, 1, 10000), 0);
  EXPECT_EQ(SplitDate(0).year, 0);
  EXPECT_EQ(DAY(0), 0);
}

TEST(Dates, LeapYears) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2025));
  EXPECT_EQ(DaysInMonth(2, 1900), 28);
  EXPECT_EQ(DaysInMonth(2, 2000), 29);
}

TEST(Dates, SplitRoundTripsEveryDayOfFourCenturies) {
  // Walk day by day from the origin, checking the parts advance like a calendar.
  int y = 1801, m = 1, d = 1;
  for (std::int32_t n = 4; n < DATE(1, 1, 2201); ++n) {
    const YearMonthDay p = SplitDate(n);
    ASSERT_EQ(p.year, y) << n;
    ASSERT_EQ(p.month, m) << n;
    ASSERT_EQ(p.day, d) << n;
    ASSERT_EQ(DATE(m, d, y), n);
    if (++d > DaysInMonth(m, y)) {
      d = 1;
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
}

TEST(Dates, WeekdayIsDayModSeven) {
  EXPECT_EQ(WeekDay(DATE(1, 1, 1801)), 4);    // a Thursday
  EXPECT_EQ(WeekDay(DATE(12, 10, 2026)), 4);  // a Thursday
  EXPECT_EQ(WeekDay(DATE(3, 31, 2024)), 0);   // Easter Sunday 2024
}

TEST(Times, PartsAndBuilding) {
  EXPECT_EQ(MakeTime(0, 0), 1);
  EXPECT_EQ(MakeTime(23, 59, 59, 99), TIME_DAY);
  const TimeParts p = SplitTime(MakeTime(13, 45, 30, 12));
  EXPECT_EQ(p.hours, 13);
  EXPECT_EQ(p.minutes, 45);
  EXPECT_EQ(p.seconds, 30);
  EXPECT_EQ(p.hundredths, 12);
  EXPECT_EQ(SplitTime(0).hours, 0);
}

TEST(Clock, InjectedSourceIsWhatTodayAndClockRead) {
  test::FixedClock fixed(DATE(6, 1, 2025), MakeTime(9, 30));
  {
    test::ScopedClock scope(fixed);
    EXPECT_EQ(TODAY(), DATE(6, 1, 2025));
    EXPECT_EQ(CLOCK(), MakeTime(9, 30));
    fixed.Set(DATE(6, 2, 2025), 1);
    EXPECT_EQ(TODAY(), DATE(6, 2, 2025));
  }
  EXPECT_GT(TODAY(), DATE(1, 1, 2020));  // back on the system clock
  EXPECT_GE(CLOCK(), 1);
  EXPECT_LE(CLOCK(), TIME_DAY);
}

}  // namespace
}  // namespace vx
