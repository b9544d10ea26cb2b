#include "program/recurrence/easter.h"

#include <gtest/gtest.h>

#include "runtime/dates.h"

namespace vx {
namespace {

// The anonymous Gregorian algorithm (Meeus/Jones/Butcher): a different route to the same date.
std::int32_t AnonymousGregorianEaster(int year) {
  const int a = year % 19;
  const int b = year / 100;
  const int c = year % 100;
  const int d = b / 4;
  const int e = b % 4;
  const int f = (b + 8) / 25;
  const int g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4;
  const int k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int month = (h + l - 7 * m + 114) / 31;
  const int day = (h + l - 7 * m + 114) % 31 + 1;
  return DATE(month, day, year);
}

TEST(Easter, KnownDates) {
  EXPECT_EQ(EasterSunday(2024), DATE(3, 31, 2024));
  EXPECT_EQ(EasterSunday(2025), DATE(4, 20, 2025));
  EXPECT_EQ(EasterSunday(2026), DATE(4, 5, 2026));
  EXPECT_EQ(EasterSunday(1943), DATE(4, 25, 1943));  // the latest possible date
  EXPECT_EQ(EasterSunday(1818), DATE(3, 22, 1818));  // the earliest possible date
  EXPECT_EQ(EasterSunday(1954), DATE(4, 18, 1954));  // epact 25 with a golden number above 11
  EXPECT_EQ(EasterSunday(1981), DATE(4, 19, 1981));  // epact 24
}

TEST(Easter, AgreesWithTheAnonymousAlgorithmOverTheWholeCalendar) {
  for (int year = 1801; year <= 9999; ++year) {
    const std::int32_t easter = EasterSunday(year);
    ASSERT_EQ(easter, AnonymousGregorianEaster(year)) << year;
    ASSERT_EQ(WeekDay(easter), 0) << year;
  }
}

}  // namespace
}  // namespace vx
