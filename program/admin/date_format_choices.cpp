#include "program/admin/date_format_choices.h"

#include <array>
#include <utility>

#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// Every known choice with its picture. The month and year pictures and "Year Only" are no
// longer offered, but a stored one still shows under its name.
constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kChoices = {{
    {"October 31, 1959", "d4"},
    {"OCT 31,1959", "d3"},
    {"10/31/59", "d1"},
    {"10/31/1959", "d2"},
    {"31 OCT 59", "d7"},
    {"31 OCT 1959", "d8"},
    {"31/10/59", "d5"},
    {"31/10/1959", "d6"},
    {"59/10", "d15"},
    {"1959/10", "d16"},
    {"10/59", "d13"},
    {"10/1959", "d14"},
    {"System Short Date", "d17"},
    {"System Long Date", "d18"},
    {"Year Only", "n4b"},
}};

}  // namespace

const std::vector<std::string_view>& OfferedDateFormats() {
  static const std::vector<std::string_view> offered = {
      "System Short Date", "October 31, 1959", "OCT 31,1959", "10/31/59",   "10/31/1959",
      "31 OCT 59",         "31 OCT 1959",      "31/10/59",    "31/10/1959", "System Long Date"};
  return offered;
}

std::optional<std::string_view> DateFormatPicture(std::string_view choice) {
  const std::string_view wanted = ClipView(choice);
  for (const auto& [text, picture] : kChoices) {
    if (text == wanted) return picture;
  }
  return std::nullopt;
}

std::string DateFormatChoice(std::string_view picture) {
  const std::string wanted = UPPER(ClipView(picture));
  for (const auto& [text, choice_picture] : kChoices) {
    if (UPPER(choice_picture) == wanted) return std::string(text);
  }
  return {};
}

}  // namespace vx
