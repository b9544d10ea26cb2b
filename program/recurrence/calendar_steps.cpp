#include "program/recurrence/calendar_steps.h"

#include <algorithm>

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

namespace {

// The half-month points are numbered two a month in date order: in month `index`, slot
// 2 * index is the 1st (the 15th with `last_day`) and slot 2 * index + 1 the 15th (the last day).
// Every step from a point on a slot goes to the next slot, so the walk is a count.
std::int32_t HalfMonthSlotDate(std::int64_t slot, bool last_day) {
  const std::int64_t index = slot / 2;
  if (slot % 2 == 0) return DateAt(index, last_day ? 15 : 1);
  return last_day ? MonthEnd(index) : DateAt(index, 15);
}

}  // namespace

std::int64_t StepHalfMonthsUntil(std::int64_t point, bool last_day, std::int64_t bound) {
  if (point >= bound) return point;
  if (!InCalendar(bound) || !InCalendar(point)) return 0;
  // The first step: from the 15th to the month's other point after it, from a later day to the
  // 15th of the next month, from an earlier one to the 15th of its month.
  const YearMonthDay from = SplitDate(static_cast<std::int32_t>(point));
  const std::int64_t index = MonthIndex(from);
  std::int64_t slot;
  if (from.day == 15) {
    slot = last_day ? 2 * index + 1 : 2 * index + 2;
  } else if (from.day > 15) {
    slot = 2 * (index + 1) + (last_day ? 0 : 1);
  } else {
    slot = 2 * index + (last_day ? 0 : 1);
  }
  // The first slot at or after the bound.
  const YearMonthDay to = SplitDate(static_cast<std::int32_t>(bound));
  const std::int64_t stop = MonthIndex(to);
  std::int64_t first;
  if (last_day) {
    first = to.day <= 15 ? 2 * stop : 2 * stop + 1;
  } else {
    first = to.day <= 1 ? 2 * stop : to.day <= 15 ? 2 * stop + 1 : 2 * stop + 2;
  }
  return HalfMonthSlotDate(std::max(slot, first), last_day);
}

}  // namespace vx
