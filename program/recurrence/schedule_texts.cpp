#include "program/recurrence/schedule_texts.h"

#include <string>

#include "program/recurrence/calendar_steps.h"
#include "runtime/dates.h"

namespace vx {
namespace {

// The stored texts are compared in ASCII letter case, without a copy: the next run reads them
// for every task of every tick.
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithUpper(std::string_view text, std::string_view upper) {
  if (text.size() < upper.size()) return false;
  for (std::size_t i = 0; i < upper.size(); ++i) {
    if (Upper(text[i]) != upper[i]) return false;
  }
  return true;
}

}  // namespace

bool IsScheduleType(const SCHEDULE_RECORD& task, std::string_view type) {
  return task.ScheduleType == type;
}

bool IsSemiMonthly(const SCHEDULE_RECORD& task) {
  return StartsWithUpper(task.MonthRepeat.view(), "TWICE");
}

bool SemiMonthlyOnLastDay(const SCHEDULE_RECORD& task) {
  const std::string_view repeat = task.MonthRepeat.view();
  for (std::size_t i = 0; i + 4 <= repeat.size(); ++i) {
    if (Upper(repeat[i]) == 'L' && StartsWithUpper(repeat.substr(i + 1), "AST")) return true;
  }
  return false;
}

EveryUnit UnitOf(const SCHEDULE_RECORD& task) {
  const std::string_view unit = task.EveryType.view();
  if (StartsWithUpper(unit, "MIN")) return EveryUnit::Minute;
  if (StartsWithUpper(unit, "HOU")) return EveryUnit::Hour;
  if (StartsWithUpper(unit, "DAY")) return EveryUnit::Day;
  if (StartsWithUpper(unit, "WEE")) return EveryUnit::Week;
  if (StartsWithUpper(unit, "MON")) return EveryUnit::Month;
  if (StartsWithUpper(unit, "YEA")) return EveryUnit::Year;
  return EveryUnit::Unknown;
}

char ShiftLetter(const SCHEDULE_RECORD& task) { return task.ShiftType.view()[0]; }

bool WeekdayFlag(const SCHEDULE_RECORD& task, int weekday) {
  switch (weekday) {
    case 0:
      return task.Sunday != 0;
    case 1:
      return task.Monday != 0;
    case 2:
      return task.Tuesday != 0;
    case 3:
      return task.Wednesday != 0;
    case 4:
      return task.Thursday != 0;
    case 5:
      return task.Friday != 0;
    case 6:
      return task.Saturday != 0;
    default:
      return false;
  }
}

bool AnyWeekdayFlag(const SCHEDULE_RECORD& task) {
  for (int wd = 0; wd < 7; ++wd) {
    if (WeekdayFlag(task, wd)) return true;
  }
  return false;
}

bool AnyWeekOfMonthFlag(const SCHEDULE_RECORD& task) {
  return task.Every1st || task.Every2nd || task.Every3rd || task.Every4th || task.EveryLast;
}

bool FitsWeekOfMonth(const SCHEDULE_RECORD& task, std::int32_t date) {
  if (!InCalendar(date)) return FitsWeekOfMonthDay(task, 0, 0);
  const YearMonthDay ymd = SplitDate(date);
  return FitsWeekOfMonthDay(task, ymd.day, DaysInMonth(ymd.month, ymd.year));
}

bool FitsWeekOfMonthDay(const SCHEDULE_RECORD& task, int day, int days_in_month) {
  if (day >= 1 && day <= 7 && task.Every1st) return true;
  if (day >= 8 && day <= 14 && task.Every2nd) return true;
  if (day >= 15 && day <= 21 && task.Every3rd) return true;
  if (day >= 22 && day <= 28 && task.Every4th) return true;
  return task.EveryLast && day >= 1 && days_in_month - day < 7;
}

bool HasDayExceptions(const SCHEDULE_RECORD& task) {
  return task.ExceptHolidays || task.ExceptWeekdays || task.ExceptWeekends ||
         !task.ExceptOther.blank();
}

bool HasAnyException(const SCHEDULE_RECORD& task) {
  return HasDayExceptions(task) || task.ExceptTime;
}

}  // namespace vx
