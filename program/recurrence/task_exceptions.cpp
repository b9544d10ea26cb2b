// A task's exceptions: a time window its occurrences must leave, and days they must not fall on
// (weekends, weekdays, holidays, chosen weekdays). An excepted day is skipped, or, with the
// "Next day" and "Previous day" shifts, performed once on the nearest valid day by a linked copy.
#include "program/recurrence/next_run_steps.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_services.h"
#include "program/recurrence/schedule_texts.h"
#include "runtime/dates.h"

#include <climits>

namespace vx {
namespace {

constexpr int kTimeWindowSteps =
    100;  // steps tried before the occurrence is pinned to the window's end
constexpr int kShiftSearchDays = 366;  // days searched for a valid day to shift to

void ClearExceptions(SCHEDULE_RECORD& task) {
  task.ExceptTime = 0;
  task.ExceptWeekends = 0;
  task.ExceptWeekdays = 0;
  task.ExceptHolidays = 0;
  task.ExceptTimeBegin = 0;
  task.ExceptTimeEnd = 0;
  task.ExceptOther.clear();
}

// The moment one hundredth after a time (kept from overflowing on a damaged record).
std::int32_t JustAfter(std::int32_t time) { return time < INT32_MAX ? time + 1 : time; }

bool InTimeWindow(const SCHEDULE_RECORD& task) {
  const std::int32_t begin = task.ExceptTimeBegin;
  const std::int32_t end = task.ExceptTimeEnd;
  if (begin <= end) return begin <= task.Time && task.Time <= end;
  return task.Time < end || task.Time > begin;  // a window across midnight
}

// Moves the occurrence out of the excepted time window; true when it moved.
bool LeaveTimeWindow(SCHEDULE_RECORD& task) {
  if (task.ExceptTimeEnd == 0) task.ExceptTimeEnd = TIME_DAY;
  const std::int32_t date = task.Date;
  const std::int32_t time = task.Time;
  bool moved = false;
  int steps = 0;
  while (InTimeWindow(task) && steps < kTimeWindowSteps) {
    // A wrongly set up "Every..." unit would otherwise show its message on every step.
    ComputeNextRunOf(task, task.Date, JustAfter(task.Time), steps == 0);
    moved = true;
    ++steps;
  }
  if (steps == kTimeWindowSteps) {
    // No occurrence left the window: take the next one from where the task stood, at the
    // window's end.
    task.Date = date;
    task.Time = time;
    if (task.Time < task.ExceptTimeEnd) {
      ComputeNextRunOf(task, task.Date, JustAfter(task.Time), false);
    } else {
      ComputeNextRunOf(task, task.Date + 1, 1, false);
    }
    task.Time = task.ExceptTimeEnd;
  }
  return moved;
}

bool DayExcepted(const SCHEDULE_RECORD& task, std::int32_t date, bool check_holiday_count) {
  const int wd = WeekDay(date);
  if (task.ExceptWeekends && (wd == 0 || wd == 6)) return true;
  if (task.ExceptWeekdays && wd >= 1 && wd <= 5) return true;
  if (task.ExceptHolidays) {
    ScheduleServices& services = CurrentScheduleServices();
    if ((!check_holiday_count || services.HolidaysExist()) && services.IsHoliday(date)) return true;
  }
  return !task.ExceptOther.blank() && task.ExceptOther.view()[static_cast<std::size_t>(wd)] == 'Y';
}

enum class DayOutcome { Fits, Skipped, Shifted };

DayOutcome AvoidExceptedDay(SCHEDULE_RECORD& task) {
  if (task.ExceptWeekends) task.ExceptWeekdays = 0;  // the two exclude each other; weekends win
  if (!DayExcepted(task, task.Date, true)) return DayOutcome::Fits;

  const std::uint8_t skip_next_time = task.SkipNextTime;
  task.SkipNextTime = 1;
  const char shift = ShiftLetter(task);
  if (shift != 'N' && shift != 'P') return DayOutcome::Skipped;

  ScheduleServices& services = CurrentScheduleServices();
  services.PutTask();  // the task keeps the excepted date, marked to be skipped

  const std::int32_t direction = shift == 'N' ? 1 : -1;
  std::int32_t date = task.Date;
  for (int i = 0; i < kShiftSearchDays && DayExcepted(task, date, false); ++i) date += direction;

  // The copy: a one-time task on the valid day, performed in place of the skipped occurrence.
  const SCHEDULE_RECORD master = task;
  task.Date = date;
  task.ExceptionLink = 0;
  task.ScheduleType = "Once";
  task.SkipNextTime = skip_next_time;
  services.AddTaskCopy();
  const std::int32_t copy_id = task.ID;

  // Link the task to its copy; the copy of an earlier shift, if any, stays as it is.
  if (!services.LoadTask(master.ID)) task = master;
  task.ExceptionLink = copy_id;
  services.PutTask();
  return DayOutcome::Shifted;
}

}  // namespace

std::int32_t ApplyTaskExceptions() {
  SCHEDULE_RECORD& task = SCH;
  if (IsScheduleType(task, "Once") || IsScheduleType(task, "Day of Week")) {
    ClearExceptions(task);
    return 0;
  }
  const bool day_exceptions = HasDayExceptions(task);
  const bool time_exception = task.ExceptTime != 0;
  if (!day_exceptions && !time_exception) return 0;

  const bool moved = time_exception && LeaveTimeWindow(task);
  const DayOutcome day = day_exceptions ? AvoidExceptedDay(task) : DayOutcome::Fits;
  if (day == DayOutcome::Shifted) return 1;
  if (day == DayOutcome::Skipped || moved) {
    CurrentScheduleServices().PutTask();
    return 1;
  }
  return 0;
}

}  // namespace vx
