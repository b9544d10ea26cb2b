#include "runtime/dates.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace vx {
namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (H. Hinnant's civil-days algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr YearMonthDay CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// Day 4 is 1 January 1801.
constexpr std::int64_t kOrigin = DaysFromCivil(1801, 1, 1) - 4;
constexpr std::int32_t kFirstDate = 1;  // 29 December 1800
const std::int32_t kLastDate = static_cast<std::int32_t>(DaysFromCivil(MAX_YEAR, 12, 31) - kOrigin);

const SystemClock kSystemClock;
std::atomic<const ClockSource*> gClock{nullptr};

std::tm LocalNow(int* hundredths) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  if (hundredths) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    *hundredths = static_cast<int>((ms % 1000) / 10);
  }
  return tm;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::int32_t DATE(int month, int day, int year) {
  // Roll the month into the year first (floor division keeps month 0 as December before).
  std::int64_t m0 = static_cast<std::int64_t>(month) - 1;
  std::int64_t y = year + (m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12));
  m0 -= (y - year) * 12;
  if (y < MIN_YEAR - 1 || y > MAX_YEAR) return 0;
  const std::int64_t n = DaysFromCivil(y, static_cast<unsigned>(m0 + 1), 1) + day - 1 - kOrigin;
  if (n < kFirstDate || n > kLastDate) return 0;
  return static_cast<std::int32_t>(n);
}

YearMonthDay SplitDate(std::int32_t date) {
  if (date < kFirstDate || date > kLastDate) return {};
  return CivilFromDays(date + kOrigin);
}

int DAY(std::int32_t date) { return SplitDate(date).day; }
int MONTH(std::int32_t date) { return SplitDate(date).month; }
int YEAR(std::int32_t date) { return SplitDate(date).year; }
int WeekDay(std::int32_t date) { return ((date % 7) + 7) % 7; }

TimeParts SplitTime(std::int32_t time) {
  if (time <= 0) return {};
  std::int32_t t = (time - 1) % TIME_DAY;
  TimeParts p;
  p.hours = t / TIME_HOUR;
  t %= TIME_HOUR;
  p.minutes = t / TIME_MINUTE;
  t %= TIME_MINUTE;
  p.seconds = t / TIME_SECOND;
  p.hundredths = t % TIME_SECOND;
  return p;
}

std::int32_t SystemClock::Today() const {
  const std::tm tm = LocalNow(nullptr);
  return DATE(tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
}

std::int32_t SystemClock::Clock() const {
  int hundredths = 0;
  const std::tm tm = LocalNow(&hundredths);
  return MakeTime(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec, hundredths);
}

void SetClockSource(const ClockSource* source) { gClock.store(source); }

const ClockSource& CurrentClockSource() {
  const ClockSource* c = gClock.load();
  return c ? *c : kSystemClock;
}

std::int32_t TODAY() { return CurrentClockSource().Today(); }
std::int32_t CLOCK() { return CurrentClockSource().Clock(); }

}  // namespace vx
