#include "program/recurrence/calendar_steps.h"

#include "runtime/dates.h"

namespace vx {
namespace {

// Months counted from January of year 0, so that a month step is an addition.
std::int64_t MonthIndex(const YearMonthDay& ymd) {
  return std::int64_t{ymd.year} * 12 + (ymd.month - 1);
}
int YearOf(std::int64_t index) { return static_cast<int>(index / 12); }
int MonthOf(std::int64_t index) { return static_cast<int>(index % 12) + 1; }
constexpr std::int64_t kLastMonthIndex = std::int64_t{MAX_YEAR} * 12 + 11;

// The date of day `day` of the month with this index; 0 outside the calendar.
std::int32_t DateAt(std::int64_t index, int day) {
  if (index < 0 || index > kLastMonthIndex) return 0;
  return DATE(MonthOf(index), day, YearOf(index));
}

std::int32_t MonthEnd(std::int64_t index) {
  if (index < 0 || index > kLastMonthIndex) return 0;
  return DATE(MonthOf(index), DaysInMonth(MonthOf(index), YearOf(index)), YearOf(index));
}

}  // namespace

std::int32_t LastCalendarDate() {
  static const std::int32_t last = DATE(12, 31, MAX_YEAR);
  return last;
}

bool InCalendar(std::int64_t date) { return date >= 1 && date <= LastCalendarDate(); }

bool IsLastDayOfMonth(std::int32_t date) {
  if (!InCalendar(date)) return false;
  return date == MonthEnd(MonthIndex(SplitDate(date)));
}

bool InLastWeekOfMonth(std::int32_t date) {
  if (!InCalendar(date)) return false;
  return MonthEnd(MonthIndex(SplitDate(date))) - date < 7;
}

std::int32_t NextMonthEndAfter(std::int32_t date) {
  if (!InCalendar(date)) return 0;
  const std::int64_t index = MonthIndex(SplitDate(date));
  const std::int32_t end = MonthEnd(index);
  return end > date ? end : MonthEnd(index + 1);
}

std::int32_t StepMonthsUntil(std::int32_t date, std::int64_t months, std::int64_t bound) {
  if (date >= bound) return date;
  // Every date visited on the way lies before the bound, so a bound past the calendar's end
  // means that the occurrence looked for is past it too.
  if (!InCalendar(date) || !InCalendar(bound) || months < 1) return 0;
  const YearMonthDay start = SplitDate(date);
  const YearMonthDay stop = SplitDate(static_cast<std::int32_t>(bound));
  std::int64_t index = MonthIndex(start);
  int day = start.day;
  const std::int64_t stop_index = MonthIndex(stop);
  while (index < stop_index || (index == stop_index && day < stop.day)) {
    if (day <= 28) {
      // A day that every month has never rolls over again: whole steps can be skipped at once,
      // stopping short of the bound's month so that the last steps are taken one by one.
      const std::int64_t skip = (stop_index - index) / months - 1;
      if (skip > 0) index += skip * months;
    }
    index += months;
    if (index > kLastMonthIndex) return 0;
    const int days = DaysInMonth(MonthOf(index), YearOf(index));
    if (day > days) {  // rolls into the next month and keeps the new day from then on
      day -= days;
      if (++index > kLastMonthIndex) return 0;
    }
  }
  return DateAt(index, day);
}

std::int64_t StepHalfMonthsUntil(std::int64_t point, bool last_day, std::int64_t bound) {
  if (point >= bound) return point;
  if (!InCalendar(bound)) return 0;
  const std::int64_t stop_index = MonthIndex(SplitDate(static_cast<std::int32_t>(bound)));
  while (point < bound) {
    if (!InCalendar(point)) return 0;
    YearMonthDay ymd = SplitDate(static_cast<std::int32_t>(point));
    std::int64_t index = MonthIndex(ymd);
    // On the 15th and on the month's other point (the 1st, or the last day) the walk visits two
    // points a month in turn; whole months of it can be skipped at once.
    const bool on_first = !last_day && ymd.day == 1;
    const bool on_last = last_day && IsLastDayOfMonth(static_cast<std::int32_t>(point));
    if (ymd.day == 15 || on_first || on_last) {
      const std::int64_t skip = stop_index - index - 2;
      if (skip > 0) {
        index += skip;
        point = on_last ? MonthEnd(index) : DateAt(index, ymd.day);
        if (point == 0) return 0;
      }
    }
    std::int32_t next;
    if (ymd.day == 15) {
      next = last_day ? MonthEnd(index) : DateAt(index + 1, 1);
    } else if (ymd.day > 15) {
      next = DateAt(index + 1, 15);
    } else {
      next = DateAt(index, 15);
    }
    if (next == 0) return 0;
    point = next;
  }
  return point;
}

}  // namespace vx
