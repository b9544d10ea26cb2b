// The holiday list's upkeep: past holidays move on to their next year, and the list of common
// holidays is added once, the first time the daily history pass runs.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// Adds one holiday; a date that already holds a holiday is left as it is, without a message.
void AddHoliday(std::int32_t date, std::string_view name, std::string_view type);

// Adds the common holidays (Christmas, New Year, Easter and those that follow it, national days)
// and notes "DEFHOL" = "Y" in the settings store.
void AddDefaultHolidays();

// Adds the common holidays unless "DEFHOL" is set, then moves every holiday before today to its
// next year: an "Annual" one to the same day, a "Day of Month" one to the same weekday of the
// same week of its month, an "Easter" one by as many days as Easter moves; a "Once" holiday is
// deleted, and a holiday of any other type becomes "Annual".
void AddDefaultHolidaysOnce();

// The date a holiday of `type` on `date` falls on in the next year (0 for "Once").
std::int32_t NextHolidayDate(std::int32_t date, std::string_view type);

}  // namespace vx
