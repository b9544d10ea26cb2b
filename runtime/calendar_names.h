// English month and weekday names, as the date pictures show them and read them back.
#pragma once

#include <string_view>

namespace vx {

std::string_view MonthName(int month);      // 1..12: "January"; "" outside
std::string_view MonthAbbrev(int month);    // 1..12: "Jan"
std::string_view WeekdayName(int weekday);  // 0 = Sunday .. 6: "Sunday"
std::string_view WeekdayAbbrev(int weekday);

// The month a word names, in any case: the full name or a prefix of at least three letters
// ("oct", "Octob"); 0 when it names none.
int MonthFromName(std::string_view word);
// The weekday a word names in the same way; -1 when it names none.
int WeekdayFromName(std::string_view word);

}  // namespace vx
