// How the stored texts and switches of a task's recurrence are read: the schedule type as a
// whole text, the month repeat, the "Every..." unit and the shift type by their leading letters.
#pragma once

#include <cstdint>
#include <string_view>

#include "datadll/dictionary/schedule_table.h"

namespace vx {

enum class EveryUnit { Minute, Hour, Day, Week, Month, Year, Unknown };

// The schedule type compared as a whole text (trailing blanks aside).
bool IsScheduleType(const SCHEDULE_RECORD& task, std::string_view type);
// "Monthly" twice a month: the month repeat starts with "TWICE" in any letter case.
bool IsSemiMonthly(const SCHEDULE_RECORD& task);
// The semi-monthly variant on the 15th and the last day (the month repeat contains "LAST").
bool SemiMonthlyOnLastDay(const SCHEDULE_RECORD& task);
// The unit of an "Every..." task from the first three letters of its unit text, any case.
EveryUnit UnitOf(const SCHEDULE_RECORD& task);
// The first letter of the shift type: 'N' next day, 'P' previous day, anything else skip.
char ShiftLetter(const SCHEDULE_RECORD& task);

// The weekday flag for weekday 0 (Sunday) .. 6 (Saturday).
bool WeekdayFlag(const SCHEDULE_RECORD& task, int weekday);
bool AnyWeekdayFlag(const SCHEDULE_RECORD& task);
// Any of the week-of-month flags 1st .. 4th and Last.
bool AnyWeekOfMonthFlag(const SCHEDULE_RECORD& task);
// Whether the date lies in a week of the month the task asks for: days 1-7 for 1st, 8-14 2nd,
// 15-21 3rd, 22-28 4th, or the last seven days of the month for Last.
bool FitsWeekOfMonth(const SCHEDULE_RECORD& task, std::int32_t date);
// The same for day `day` of a month of `days_in_month` days.
bool FitsWeekOfMonthDay(const SCHEDULE_RECORD& task, int day, int days_in_month);

// Whether any exception is set: excepted days (weekends, weekdays, holidays, per-weekday
// overrides) or the time window.
bool HasDayExceptions(const SCHEDULE_RECORD& task);
bool HasAnyException(const SCHEDULE_RECORD& task);

}  // namespace vx
