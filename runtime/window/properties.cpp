#include "runtime/window/properties.h"

#include <array>
#include <cctype>

namespace vx {
namespace {

constexpr std::array<std::string_view, static_cast<int>(Prop::Count_)> kNames = {
    "",           "Text",         "Value",          "Picture",
    "Hide",       "Disable",      "ReadOnly",       "Required",
    "Default",    "Cancel",       "Icon",           "Tip",
    "Key",        "Selected",     "Timer",          "Topmost",
    "Iconize",    "Maximize",     "Frame",          "X",
    "Y",          "Width",        "Height",         "MinWidth",
    "MinHeight",  "Format",       "From",           "IconList",
    "Color",      "FontColor",    "TrueValue",      "FalseValue",
    "RangeLow",   "RangeHigh",    "Step",           "Focus",
    "Wizard",     "FontStyle",    "Alert",          "Password",
    "Msg",        "FontName",     "Layout",         "Row",
    "Column",     "MouseDownRow", "MouseDownField", "MouseDownZone",
    "MouseUpRow", "MouseUpField", "MouseUpZone",    "FontSize",
    "LineHeight", "VScroll",      "HScroll",        "Cursor",
    "Zoom",       "TopRow",       "Items",          "DragId",
    "DropId",     "EditList",     "EditColumn",     "SelectedColumn",
    "MouseX",     "MouseY",       "SelStart",       "SelEnd",
    "Immediate",  "Flat",         "ScrollTabs"};
// A property added to the enum without its name here leaves the last name empty.
static_assert(!kNames.back().empty(), "every property needs its name, in the enum's order");

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

std::string_view PropName(Prop prop) {
  const int n = static_cast<int>(prop);
  return n > 0 && n < static_cast<int>(kNames.size()) ? kNames[n] : std::string_view();
}

std::optional<Prop> PropByName(std::string_view name) {
  for (int n = 1; n < static_cast<int>(kNames.size()); ++n) {
    if (SameLetters(kNames[n], name)) return static_cast<Prop>(n);
  }
  return std::nullopt;
}

}  // namespace vx
