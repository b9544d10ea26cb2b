// Day numbers and times of day, the way every stored date and time of the system is kept.
//
// A date is a day number: day 4 is 1 January 1801 (day 0, 28 December 1800, means "no date"),
// and the weekday is the day number mod 7 with 0 = Sunday. A time counts hundredths of a second
// from 1 (midnight) to 8,640,000 (the last hundredth of the day); 0 means "no time".
#pragma once

#include <cstdint>

namespace vx {

inline constexpr std::int32_t TIME_DAY = 8640000;  // hundredths in a day
inline constexpr std::int32_t TIME_HOUR = 360000;
inline constexpr std::int32_t TIME_MINUTE = 6000;
inline constexpr std::int32_t TIME_SECOND = 100;

inline constexpr int MIN_YEAR = 1801;
inline constexpr int MAX_YEAR = 9999;

struct YearMonthDay {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

bool IsLeapYear(int year);
int DaysInMonth(int month, int year);

// Builds a date from month, day and year. A month above 12 (or below 1) rolls into the
// following (or previous) years, and a day past the end of the month rolls into the following
// months: DATE(2, 31, 2025) is 3 March 2025, DATE(13, 1, 2024) is 1 January 2025. Day 0 is the
// last day of the previous month. Dates outside the years 1801..9999 give 0 (no date).
std::int32_t DATE(int month, int day, int year);

// Parts of a date; all give 0 for date 0 or for a date outside the supported years.
YearMonthDay SplitDate(std::int32_t date);
int DAY(std::int32_t date);
int MONTH(std::int32_t date);
int YEAR(std::int32_t date);
int WeekDay(std::int32_t date);  // 0 = Sunday .. 6 = Saturday; date mod 7

// Builds a time (1 = midnight) from hours, minutes, seconds and hundredths.
constexpr std::int32_t MakeTime(int hours, int minutes, int seconds = 0, int hundredths = 0) {
  return hours * TIME_HOUR + minutes * TIME_MINUTE + seconds * TIME_SECOND + hundredths + 1;
}

struct TimeParts {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  int hundredths = 0;
};
// Splits a time into its parts; time 0 (no time) and time 1 both give midnight.
TimeParts SplitTime(std::int32_t time);

// Where "today" and "now" come from. The real source reads the system clock in local time;
// tests install a fixed source (tests/support/fixed_clock.h) so that every date computation is
// repeatable.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  virtual std::int32_t Today() const = 0;  // day number
  virtual std::int32_t Clock() const = 0;  // time of day, 1..8640000
};

// The local-time system clock.
class SystemClock final : public ClockSource {
 public:
  std::int32_t Today() const override;
  std::int32_t Clock() const override;
};

// Installs the clock every TODAY()/CLOCK() call reads; nullptr restores the system clock.
// The caller keeps the source alive while it is installed.
void SetClockSource(const ClockSource* source);
const ClockSource& CurrentClockSource();

std::int32_t TODAY();
std::int32_t CLOCK();

}  // namespace vx
