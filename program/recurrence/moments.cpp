#include "program/recurrence/moments.h"

#include "runtime/dates.h"

namespace vx {

void NormalizeDateTime(std::int64_t& date, std::int64_t& time) {
  // Whole days are carried at once rather than one per loop, with the same result.
  if (time > TIME_DAY) {
    const std::int64_t days = (time - 1) / TIME_DAY;
    time -= days * TIME_DAY;
    date += days;
  }
  if (time <= 0 && date != 0) {
    std::int64_t days = (TIME_DAY - time) / TIME_DAY;  // days needed to lift the time to 1 or more
    if (date > 0 && days > date) days = date;          // borrowing stops at date 0
    time += days * TIME_DAY;
    date -= days;
  }
}

void NormalizeDateTime(std::int32_t& date, std::int32_t& time) {
  std::int64_t d = date;
  std::int64_t t = time;
  NormalizeDateTime(d, t);
  date = static_cast<std::int32_t>(d);
  time = static_cast<std::int32_t>(t);
}

namespace {

std::int32_t Sign(std::int64_t a, std::int64_t b) { return a < b ? -1 : a > b ? 1 : 0; }

}  // namespace

std::int32_t CompareDateTime(std::int32_t date1, std::int32_t time1, std::int32_t date2,
                             std::int32_t time2) {
  NormalizeDateTime(date1, time1);
  NormalizeDateTime(date2, time2);
  if (date1 != date2) return Sign(date1, date2);
  return Sign(time1, time2);
}

std::int32_t CompareDateTimeMinutes(std::int32_t date1, std::int32_t time1, std::int32_t date2,
                                    std::int32_t time2) {
  NormalizeDateTime(date1, time1);
  NormalizeDateTime(date2, time2);
  if (date1 != date2) return Sign(date1, date2);
  return Sign(time1 / TIME_MINUTE, time2 / TIME_MINUTE);
}

}  // namespace vx
