// The yearly reminder task that the birthday wizard makes for a birthday, an anniversary or
// another yearly event: its description and message, built from the occasion, the name and
// the date (with the age as a bracket expression that is worked out when the message is shown,
// so it is right on every year's day), and its next run with the advance warning. The task is
// the one in the SCHEDULE buffer (SCH).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/dates.h"

namespace vx {

inline constexpr std::string_view kBirthdayCategory = "Reminders";
// A reminder of the day is shown early in the morning of it.
inline constexpr std::int32_t kBirthdayTime = MakeTime(6, 0);

// What the wizard's first two pages ask.
struct YearlyEvent {
  std::string name;       // whose day it is
  bool exact = true;      // the date is the exact one, year included (else month and day only)
  std::int32_t date = 0;  // the exact date, or the next occurrence
  std::string occasion;   // "Birthday", "Anniversary" or "Other"; anything else is a birthday
};

// "Birthday: Ann", "Anniversary: Ann", "Event: Ann" (not yet cut to the field).
std::string YearlyEventDescription(const YearlyEvent& event);
// "It's Ann's birthday today!" and two line breaks; for an exact date followed by the age
// expression "[= AGE(DATE(m,d,y),TODAY())]" ("Age: " before it for a birthday).
std::string YearlyEventMessage(const YearlyEvent& event);

// The event's next day after `today`: its month and day in today's year, else in the next one
// (a 29 February falls on 1 March in a year without one).
std::int32_t NextYearlyDate(std::int32_t date, std::int32_t today);

// A new yearly message task at 06:00 today in the category "Reminders" (added to CATEGORIES,
// open on this thread, when missing).
void PrimeYearlyEventTask();
// The task's next run on the event's next day at 06:00, with an advance warning `warn_days`
// before it at the same time (none for 0).
void DateYearlyEventTask(std::int32_t date, int warn_days);

}  // namespace vx
