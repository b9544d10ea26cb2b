// A date as text in the user's chosen date picture (GLO_DATEFORMAT).
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// Date 0 is empty text. The number in the 2nd and 3rd characters of GLO_DATEFORMAT ("d3",
// "d17") picks the picture @D1..@D18 (17 and 18 follow the desktop's short and long date);
// anything else gives @D3.
std::string FormatDate(std::int32_t date);
// The picture FormatDate uses, as "@D17": for date entries and the date columns of lists.
std::string DatePicture();

}  // namespace vx
