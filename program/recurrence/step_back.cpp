// The steps go back by whole runs where the rule allows it, so that a task dated far ahead of
// the chosen moment costs no more than one dated a step ahead.
#include "program/recurrence/step_back.h"

#include "program/recurrence/moments.h"
#include "program/recurrence/next_run_steps.h"
#include "program/recurrence/schedule_services.h"
#include "program/recurrence/schedule_texts.h"
#include "runtime/dates.h"

namespace vx {
namespace {

// Days searched at most for a fitting "Day of Month" day: every weekday lies in each week of
// every month, so five weeks always find one when the flags allow any at all.
constexpr int kDayOfMonthSearch = 400;

// The limit the task's moment has to fall below.
struct Limit {
  std::int32_t date;
  std::int32_t time;
};

// A moment is at or after the limit when its date is later, or equal with the time at or above
// the limit's time. Times are compared as they stand: a limit time below zero makes every
// moment of the limit's date count as at or after it.
bool AtOrAfter(std::int32_t date, std::int32_t time, const Limit& limit) {
  return date > limit.date || (date == limit.date && time >= limit.time);
}

// The latest date whose moment at `time` lies before the limit.
std::int32_t LastDateBefore(std::int32_t time, const Limit& limit) {
  return time < limit.time ? limit.date : limit.date - 1;
}

int WeekdayOf(std::int64_t date) { return static_cast<int>(((date % 7) + 7) % 7); }

// One day back, then further back to a ticked weekday (any day when none is ticked).
std::int32_t PreviousWeekday(const SCHEDULE_RECORD& task, std::int32_t date) {
  --date;
  if (!AnyWeekdayFlag(task)) return date;
  for (int i = 0; i < 7 && !WeekdayFlag(task, WeekdayOf(date)); ++i) --date;
  return date;
}

// "Day of Week": the latest ticked day whose moment lies before the limit.
void StepBackDayOfWeek(SCHEDULE_RECORD& task, const Limit& limit) {
  if (!AtOrAfter(task.Date, task.Time, limit)) return;
  task.Date = PreviousWeekday(task, LastDateBefore(task.Time, limit) + 1);
}

// "Day of Month": the latest ticked day before the reference date that lies in a ticked week
// of its month; at least one day back even from a date already before it.
void StepBackDayOfMonth(SCHEDULE_RECORD& task, std::int32_t refDate) {
  std::int32_t date = task.Date < refDate ? task.Date : refDate;
  const bool weeks = AnyWeekOfMonthFlag(task);
  for (int searched = 0; searched < kDayOfMonthSearch; ++searched) {
    date = PreviousWeekday(task, date);
    if (date < DATE(1, 1, MIN_YEAR)) return;  // nothing earlier in the calendar
    if (!weeks || FitsWeekOfMonth(task, date)) {
      task.Date = date;
      return;
    }
  }
}

// Months back, whole years carried; 0 outside the calendar.
std::int32_t MonthsBack(std::int32_t date, std::int64_t months) {
  const std::int64_t index = std::int64_t{YEAR(date)} * 12 + (MONTH(date) - 1) - months;
  if (index < std::int64_t{MIN_YEAR} * 12) return 0;
  return DATE(static_cast<int>(index % 12) + 1, DAY(date), static_cast<int>(index / 12));
}

// Steps of `months` months back while at or after the limit; a step that would leave the
// calendar stops the walk where it is.
void StepBackMonths(SCHEDULE_RECORD& task, std::int64_t months, const Limit& limit) {
  while (AtOrAfter(task.Date, task.Time, limit)) {
    const std::int32_t earlier = MonthsBack(task.Date, months);
    if (earlier == 0 || earlier >= task.Date) return;
    task.Date = earlier;
  }
}

// "Monthly", twice a month: half-month points walked back relative to the offset.
void StepBackHalfMonths(SCHEDULE_RECORD& task, const Limit& limit) {
  while (AtOrAfter(task.Date, task.Time, limit)) {
    const std::int32_t s = task.Date - task.Offset;
    std::int32_t earlier;
    if (DAY(s) == 15) {
      earlier = MonthsBack(DATE(MONTH(s), 1, YEAR(s)), 1);
      if (earlier != 0 && SemiMonthlyOnLastDay(task)) --earlier;
    } else if (DAY(s) != 0 && DAY(s) < 16) {
      earlier = MonthsBack(DATE(MONTH(s), 15, YEAR(s)), 1);
    } else {
      earlier = DATE(MONTH(s), 15, YEAR(s));
    }
    if (earlier == 0 || earlier >= s) return;
    task.Date = earlier + task.Offset;
  }
}

// Whole days back, `days` at a time, until the moment lies before the limit.
void StepBackDays(SCHEDULE_RECORD& task, std::int64_t days, const Limit& limit) {
  if (!AtOrAfter(task.Date, task.Time, limit)) return;
  const std::int64_t last = LastDateBefore(task.Time, limit);
  const std::int64_t steps = (task.Date - last + days - 1) / days;
  const std::int64_t date = task.Date - steps * days;
  if (date >= DATE(1, 1, MIN_YEAR)) task.Date = static_cast<std::int32_t>(date);
}

// Minute and hour intervals: spans of time back until the moment lies before the limit.
void StepBackClock(SCHEDULE_RECORD& task, std::int64_t span, const Limit& limit) {
  std::int64_t date = task.Date, time = task.Time;
  NormalizeDateTime(date, time);
  const std::int64_t moment = date * TIME_DAY + time;
  const std::int64_t bound = std::int64_t{limit.date} * TIME_DAY + limit.time;
  if (moment < bound) return;
  const std::int64_t earlier = moment - ((moment - bound) / span + 1) * span;
  date = (earlier - 1) / TIME_DAY;
  time = earlier - date * TIME_DAY;
  if (date < DATE(1, 1, MIN_YEAR)) return;
  task.Date = static_cast<std::int32_t>(date);
  task.Time = static_cast<std::int32_t>(time);
}

}  // namespace

void StepBackBeforeMoment(std::int32_t refDate, std::int32_t refTime) {
  SCHEDULE_RECORD& task = SCH;
  if (IsScheduleType(task, "Once")) {
    task.Completed = 1;
    return;
  }
  const Limit limit{refDate, refTime - TIME_MINUTE};
  if (IsScheduleType(task, "Monthly") && IsSemiMonthly(task)) {
    StepBackHalfMonths(task, limit);
  } else if (IsScheduleType(task, "Monthly")) {
    StepBackMonths(task, 1, limit);
  } else if (IsScheduleType(task, "Yearly")) {
    StepBackMonths(task, 12, limit);
  } else if (IsScheduleType(task, "Day of Week")) {
    StepBackDayOfWeek(task, limit);
  } else if (IsScheduleType(task, "Day of Month")) {
    StepBackDayOfMonth(task, refDate);
  } else {
    if (task.Every < 1) task.Every = 1;
    const std::int64_t n = task.Every;
    const Limit exact{refDate, refTime};
    switch (UnitOf(task)) {
      case EveryUnit::Minute:
        StepBackClock(task, n * TIME_MINUTE, exact);
        break;
      case EveryUnit::Hour:
        StepBackClock(task, n * TIME_HOUR, exact);
        break;
      case EveryUnit::Day:
        StepBackDays(task, n, limit);
        break;
      case EveryUnit::Week:
        StepBackDays(task, 7 * n, limit);
        break;
      case EveryUnit::Month:
        StepBackMonths(task, n, limit);
        break;
      case EveryUnit::Year:
        StepBackMonths(task, 12 * n, limit);
        break;
      case EveryUnit::Unknown:
        CurrentScheduleServices().ShowMessage(kInvalidUnitsText, kInvalidUnitsTitle);
        if (task.Date >= refDate) task.Date = refDate - 1;
        break;
    }
  }
}

}  // namespace vx
