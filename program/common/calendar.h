// The system's date picker: a month grid from which the user picks a day, on the caller's thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// Shows the month of `date` (today's month for 0) and answers the day picked, or `date` when
// the user cancels. Mode "None" lets every day be picked; any other mode greys the days that do
// not fit the task in the SCHEDULE buffer. A blank title reads "Select Date", or the task's
// schedule type when the days follow the task.
std::int32_t Calendar(std::int32_t date, std::string_view mode, std::string_view title);

}  // namespace vx
