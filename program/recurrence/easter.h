// The date of Easter Sunday, on which the movable holidays of the holiday list depend.
#pragma once

#include <cstdint>

namespace vx {

// Easter Sunday of a Gregorian year as a day number (0 when it falls outside the calendar).
std::int32_t EasterSunday(std::int32_t year);

}  // namespace vx
