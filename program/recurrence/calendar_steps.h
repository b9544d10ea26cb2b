// Calendar arithmetic of the recurrence rules: month ends, the last week of a month, and the
// month and half-month steps, computed in bounded time however far a task has to travel.
//
// A step that would leave the supported calendar (1801..9999) gives 0: the task then has no
// further occurrence.
#pragma once

#include <cstdint>

namespace vx {

// 31 December 9999, the last date the calendar holds.
std::int32_t LastCalendarDate();
bool InCalendar(std::int64_t date);

// The month of the next day differs.
bool IsLastDayOfMonth(std::int32_t date);
// The month of the date a week later differs: the date is one of the month's last seven days.
bool InLastWeekOfMonth(std::int32_t date);
// The first last-day-of-a-month strictly after the date; 0 outside the calendar.
std::int32_t NextMonthEndAfter(std::int32_t date);

// Steps the date `months` months at a time until it is at or after `bound`, and returns it.
// Each step keeps the day number and lets a day past the end of the new month roll into the
// month after (31 January + 1 month = 3 March of a common year; the drift then stays), exactly
// as building the date from month + months, day and year does. 0 when a step leaves the calendar.
std::int32_t StepMonthsUntil(std::int32_t date, std::int64_t months, std::int64_t bound);

// Steps a half-month point until it is at or after `bound`: the 15th goes to the 1st of the next
// month (to the last day of its own month when `last_day` is set), a later day to the 15th of the
// next month, an earlier day to the 15th of its month. 0 when a step leaves the calendar.
std::int64_t StepHalfMonthsUntil(std::int64_t point, bool last_day, std::int64_t bound);

}  // namespace vx
