// Whether a date fits a task's recurrence: the calendar picker marks days with it and the task
// editor refuses a start date that does not fit.
#include "program/recurrence/calendar_steps.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_texts.h"
#include "runtime/dates.h"

namespace vx {
namespace {

bool FitsHalfMonth(const SCHEDULE_RECORD& task, std::int64_t point) {
  if (!InCalendar(point)) return false;
  const auto s = static_cast<std::int32_t>(point);
  if (DAY(s) == 15) return true;
  if (IsLastDayOfMonth(s)) return SemiMonthlyOnLastDay(task);
  if (DAY(s) == 1) return !SemiMonthlyOnLastDay(task);
  return false;
}

bool FitsDayOfMonth(const SCHEDULE_RECORD& task, std::int32_t date) {
  if (task.LastDayOfMonth) return IsLastDayOfMonth(date);
  if (!WeekdayFlag(task, WeekDay(date))) return false;
  return FitsWeekOfMonth(task, date);
}

}  // namespace

std::int32_t DateFitsSchedule(std::int32_t date) {
  const SCHEDULE_RECORD& task = SCH;
  if (date == 0) date = task.Date;
  bool fits = true;  // "Once", plain "Monthly", "Yearly", "Custom" and unknown types fit any date
  if (IsScheduleType(task, "Monthly")) {
    if (IsSemiMonthly(task)) fits = FitsHalfMonth(task, std::int64_t{date} - task.Offset);
  } else if (IsScheduleType(task, "Day of Week")) {
    fits = WeekdayFlag(task, WeekDay(date));
  } else if (IsScheduleType(task, "Day of Month")) {
    fits = FitsDayOfMonth(task, date);
  }
  return fits ? 1 : 0;
}

}  // namespace vx
