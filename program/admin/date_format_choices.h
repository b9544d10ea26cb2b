// The date formats the Options window offers, and the display picture each one stands for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The choices of the Options window's date-format list, in the order it offers them.
const std::vector<std::string_view>& OfferedDateFormats();

// The picture ("d4", "d18", ...) of a choice's text; nothing for a text no choice has.
std::optional<std::string_view> DateFormatPicture(std::string_view choice);

// The text of the choice whose picture is `picture` (blanks and letter case do not count),
// also for the pictures the list no longer offers; empty when no choice has it.
std::string DateFormatChoice(std::string_view picture);

}  // namespace vx
