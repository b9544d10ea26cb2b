// The dialog "Enter Date Range" of the task explorer's day filter.
#pragma once

#include <cstdint>

namespace vx {

// Asks for a start and an end date (the end equals the start with "Use Start Date Only"); OK
// writes both back, Cancel leaves them as they were.
void Function_SelectDateRange(std::int32_t& startDate, std::int32_t& endDate);

}  // namespace vx
