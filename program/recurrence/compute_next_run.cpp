// The next run of a task. Every rule gives the same result as walking the task's occurrences one
// by one from its stored moment, but jumps over whole runs of them, so that a task stored years
// behind the reference (a clock moved back, a one-minute task left off for a long time) costs no
// more than one a day behind.
#include <algorithm>
#include <bit>
#include <optional>
#include <string_view>

#include "program/recurrence/calendar_steps.h"
#include "program/recurrence/moments.h"
#include "program/recurrence/next_run_steps.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_services.h"
#include "program/recurrence/schedule_texts.h"
#include "runtime/dates.h"

namespace vx {
namespace {

struct Moment {
  std::int64_t date;
  std::int64_t time;
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int WeekdayOf(std::int64_t date) { return static_cast<int>(((date % 7) + 7) % 7); }

// For the rules that keep the time, (date, time) is before or at the target exactly while the
// date is below this bound: the target's date, or the day after it when the time is at or below
// the target's time.
std::int64_t DateBound(std::int32_t time, std::int64_t target_date, std::int64_t target_time) {
  return target_date + (time <= target_time ? 1 : 0);
}

// "Day of Week": the first date at or after the bound whose weekday is ticked (any date when
// none is ticked); a date already at or past the bound stays.
std::int64_t NextDayOfWeek(const SCHEDULE_RECORD& task, std::int64_t bound) {
  if (task.Date >= bound) return task.Date;
  std::int64_t date = bound;
  if (!AnyWeekdayFlag(task)) return date;
  while (!WeekdayFlag(task, WeekdayOf(date))) ++date;
  return date;
}

// The ticked weekdays as bits (bit 0 Sunday); every day when none is ticked.
unsigned WeekdayMask(const SCHEDULE_RECORD& task) {
  unsigned mask = 0;
  for (int wd = 0; wd < 7; ++wd) {
    if (WeekdayFlag(task, wd)) mask |= 1u << wd;
  }
  return mask == 0 ? 0x7fu : mask;
}

// "Day of Month": the first date after both the stored date and the reference date whose
// weekday is ticked (when any is) and that lies in a ticked week of its month (when any is).
// Only dates count here, and at least one day is always stepped. The walk keeps the day of the
// month beside the date and goes from one ticked weekday to the next, so that it splits one
// date however many days it passes.
std::optional<std::int64_t> NextDayOfMonth(const SCHEDULE_RECORD& task, std::int32_t refDate) {
  std::int64_t date = task.Date;
  if (task.LastDayOfMonth) {
    // "Month End" fits the last day of a month and no other day, whatever the other switches
    // say: the next run is the first month end after the stored date, or after the reference
    // date when the stored date is earlier.
    if (date < refDate) date = refDate;
    const std::int32_t end =
        InCalendar(date) ? NextMonthEndAfter(static_cast<std::int32_t>(date)) : 0;
    if (end == 0) return std::nullopt;
    return end;
  }
  // Stepping from a date at or before the reference date ends on the first fitting day after the
  // reference date whichever of those dates it starts from.
  if (date <= refDate) date = refDate;
  if (date < 0) return std::nullopt;
  ++date;
  if (!InCalendar(date)) return std::nullopt;
  const unsigned weekdays = WeekdayMask(task);
  const bool weeks = AnyWeekOfMonthFlag(task);
  YearMonthDay ymd = SplitDate(static_cast<std::int32_t>(date));
  int days_in_month = DaysInMonth(ymd.month, ymd.year);
  const auto advance = [&](int days) {
    date += days;
    ymd.day += days;
    while (ymd.day > days_in_month) {
      ymd.day -= days_in_month;
      if (++ymd.month > 12) {
        ymd.month = 1;
        ++ymd.year;
      }
      days_in_month = DaysInMonth(ymd.month, ymd.year);
    }
  };
  for (;;) {
    // The days to the next ticked weekday: the lowest bit of the mask turned to start at the
    // date's weekday.
    advance(std::countr_zero((weekdays | weekdays << 7) >> WeekdayOf(date)));
    if (!InCalendar(date)) return std::nullopt;
    if (!weeks || FitsWeekOfMonthDay(task, ymd.day, days_in_month)) return date;
    advance(1);
  }
}

// Semi-monthly: the half-month points are walked relative to the offset.
std::optional<std::int64_t> NextHalfMonth(const SCHEDULE_RECORD& task, std::int64_t bound) {
  if (task.Date >= bound) return task.Date;
  const std::int64_t point = StepHalfMonthsUntil(std::int64_t{task.Date} - task.Offset,
                                                 SemiMonthlyOnLastDay(task), bound - task.Offset);
  if (point == 0) return std::nullopt;
  return point + task.Offset;
}

std::optional<std::int64_t> NextByMonths(const SCHEDULE_RECORD& task, std::int64_t months,
                                         std::int64_t bound) {
  if (task.Date >= bound) return task.Date;
  const std::int32_t date = StepMonthsUntil(task.Date, months, bound);
  if (date == 0) return std::nullopt;
  return date;
}

std::int64_t NextByDays(std::int64_t date, std::int64_t days, std::int64_t bound) {
  if (date >= bound) return date;
  return date + (bound - date + days - 1) / days * days;
}

// Minute and hour intervals: at least one step of `count` units, then steps while the moment is
// before or at the reference itself. Each step adds the same span, so once the moment is in
// range the number of remaining steps follows from the distance to the reference.
Moment NextByClock(const SCHEDULE_RECORD& task, std::int64_t count, std::int64_t unit,
                   std::int64_t per_day, std::int32_t refDate, std::int32_t refTime) {
  const std::int64_t span = count * unit;
  auto step = [&](Moment& m) {
    if (count < per_day) {
      m.time += count * unit;
    } else {
      m.date += count / per_day;
      m.time += (count % per_day) * unit;
    }
    NormalizeDateTime(m.date, m.time);
  };
  auto before_or_at = [&](const Moment& m) {
    return m.date < refDate || (m.date == refDate && m.time <= refTime);
  };

  Moment m{task.Date, task.Time};
  step(m);
  while (before_or_at(m)) {
    if (m.time >= 1 && m.time <= TIME_DAY) {
      // In range, (date, time) is before or at the reference exactly while date * day + time is
      // at or below this limit (a reference time past either end of the day counts as that end).
      const std::int64_t limit =
          std::int64_t{refDate} * TIME_DAY + std::clamp<std::int64_t>(refTime, 0, TIME_DAY);
      const std::int64_t now = m.date * TIME_DAY + m.time;
      const std::int64_t absolute = now + ((limit - now) / span + 1) * span;
      m.date = FloorDiv(absolute - 1, TIME_DAY);
      m.time = absolute - m.date * TIME_DAY;
      break;
    }
    // Out of range only as date 0 with a time at or below 0: nothing carries there, the time
    // just climbs; skip the steps that leave it so (and before the reference).
    std::int64_t skip = -m.time / span;
    if (m.date == refDate) skip = std::min(skip, (refTime - m.time) / span);
    if (skip > 0) m.time += skip * span;
    step(m);
  }
  return m;
}

}  // namespace

void ComputeNextRunOf(SCHEDULE_RECORD& task, std::int32_t refDate, std::int32_t refTime,
                      bool announce) {
  // The type is clipped once and compared as plain text from here on.
  const std::string_view type = task.ScheduleType.clipped();
  if (type == "Once") {
    task.Completed = 1;
    return;
  }
  // Every rule but the minute and hour intervals wants the occurrence more than a minute after
  // the reference.
  const std::int64_t bound = DateBound(task.Time, refDate, std::int64_t{refTime} + TIME_MINUTE);
  std::optional<Moment> next;
  auto same_time = [&](std::optional<std::int64_t> date) {
    if (date) next = Moment{*date, task.Time};
  };

  if (type == "Monthly" && IsSemiMonthly(task)) {
    same_time(NextHalfMonth(task, bound));
  } else if (type == "Monthly") {
    same_time(NextByMonths(task, 1, bound));
  } else if (type == "Yearly") {
    same_time(NextByMonths(task, 12, bound));
  } else if (type == "Day of Week") {
    same_time(NextDayOfWeek(task, bound));
  } else if (type == "Day of Month") {
    same_time(NextDayOfMonth(task, refDate));
  } else {
    if (task.Every < 1) task.Every = 1;
    const std::int64_t n = task.Every;
    switch (UnitOf(task)) {
      case EveryUnit::Minute:
        next = NextByClock(task, n, TIME_MINUTE, 1440, refDate, refTime);
        break;
      case EveryUnit::Hour:
        next = NextByClock(task, n, TIME_HOUR, 24, refDate, refTime);
        break;
      case EveryUnit::Day:
        same_time(NextByDays(task.Date, n, bound));
        break;
      case EveryUnit::Week:
        same_time(NextByDays(task.Date, 7 * n, bound));
        break;
      case EveryUnit::Month:
        same_time(NextByMonths(task, n, bound));
        break;
      case EveryUnit::Year:
        same_time(NextByMonths(task, 12 * n, bound));
        break;
      case EveryUnit::Unknown:
        if (announce) CurrentScheduleServices().ShowMessage(kInvalidUnitsText, kInvalidUnitsTitle);
        // The task must not fall due again at once.
        same_time(task.Date <= refDate ? std::int64_t{refDate} + 1 : std::int64_t{task.Date});
        break;
    }
  }

  if (next && (next->date != task.Date || next->time != task.Time)) {
    if (!InCalendar(next->date)) next.reset();
  }
  if (!next) {
    // The next occurrence would lie past the end of the calendar: there is none.
    task.Completed = 1;
    return;
  }
  task.Date = static_cast<std::int32_t>(next->date);
  task.Time = static_cast<std::int32_t>(next->time);

  // The end moment, tested only when both its date and its time are given.
  if (!task.Completed && task.ExpiryDate != 0 && task.ExpiryTime != 0) {
    if (task.Date > task.ExpiryDate ||
        (task.Date == task.ExpiryDate && task.Time > task.ExpiryTime)) {
      task.Completed = 1;
    }
  }
}

void ComputeNextRun(std::int32_t refDate, std::int32_t refTime) {
  ComputeNextRunOf(SCH, refDate, refTime, true);
}

}  // namespace vx
