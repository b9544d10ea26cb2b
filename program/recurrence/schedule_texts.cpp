#include "program/recurrence/schedule_texts.h"

#include <cctype>
#include <string>

#include "program/recurrence/calendar_steps.h"
#include "runtime/dates.h"

namespace vx {
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string UpperText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

}  // namespace

bool IsScheduleType(const SCHEDULE_RECORD& task, std::string_view type) {
  return task.ScheduleType == type;
}

bool IsSemiMonthly(const SCHEDULE_RECORD& task) {
  return UpperText(task.MonthRepeat.view().substr(0, 5)) == "TWICE";
}

bool SemiMonthlyOnLastDay(const SCHEDULE_RECORD& task) {
  return UpperText(task.MonthRepeat.view()).find("LAST") != std::string::npos;
}

EveryUnit UnitOf(const SCHEDULE_RECORD& task) {
  std::string unit(task.EveryType.view().substr(0, 3));
  for (char& c : unit) c = Lower(c);
  if (unit == "min") return EveryUnit::Minute;
  if (unit == "hou") return EveryUnit::Hour;
  if (unit == "day") return EveryUnit::Day;
  if (unit == "wee") return EveryUnit::Week;
  if (unit == "mon") return EveryUnit::Month;
  if (unit == "yea") return EveryUnit::Year;
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
  const int m = DAY(date);
  if (m >= 1 && m <= 7 && task.Every1st) return true;
  if (m >= 8 && m <= 14 && task.Every2nd) return true;
  if (m >= 15 && m <= 21 && task.Every3rd) return true;
  if (m >= 22 && m <= 28 && task.Every4th) return true;
  return task.EveryLast && InLastWeekOfMonth(date);
}

bool HasDayExceptions(const SCHEDULE_RECORD& task) {
  return task.ExceptHolidays || task.ExceptWeekdays || task.ExceptWeekends ||
         !task.ExceptOther.blank();
}

bool HasAnyException(const SCHEDULE_RECORD& task) {
  return HasDayExceptions(task) || task.ExceptTime;
}

}  // namespace vx
