// Checks of single fields that the tables add to the framework's own: the to-do priority must lie
// between 1 and 10. A failed check shows the range message through the error object given.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

class ErrorClass;

// True when priority is 1..10; otherwise shows "Range Error" for field_name with "1 and 10".
bool CheckToDoPriority(std::uint8_t priority, std::string_view field_name, ErrorClass& errors);

}  // namespace vx
