// Reading a popup menu's text as POPUP, the driver and the Qt renderer share it ("a|~b|{&Sub|c}"):
// an entry's number as POPUP answers it, and whether an entry is offered greyed.
#pragma once

#include <string_view>

namespace vx::test {

namespace popup_detail {
// Calls `each(text, greyed)` for every entry in order (separators and submenu titles left out)
// until it answers true; answers the number of that entry, 0 when none.
template <typename Each>
long ForEachEntry(std::string_view menu, Each each) {
  long number = 0;
  std::size_t start = 0;
  while (start <= menu.size()) {
    const std::size_t bar = menu.find('|', start);
    std::string_view entry =
        menu.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
    start = bar == std::string_view::npos ? menu.size() + 1 : bar + 1;
    while (!entry.empty() && entry.back() == '}') entry.remove_suffix(1);
    if (entry.empty() || entry == "-" || entry.front() == '{') continue;
    if (const std::size_t icon = entry.find('['); icon != std::string_view::npos)
      entry = entry.substr(0, icon);
    bool greyed = false;
    while (!entry.empty() && (entry.front() == '~' || entry.front() == '+')) {
      greyed = greyed || entry.front() == '~';
      entry.remove_prefix(1);
    }
    ++number;
    if (each(entry, greyed)) return number;
  }
  return 0;
}
}  // namespace popup_detail

// The number POPUP answers for the entry `text` of `menu`: entries count from 1 through every
// submenu, separators and submenu titles not; 0 when there is none.
inline long PopupNumber(std::string_view menu, std::string_view text) {
  return popup_detail::ForEachEntry(menu,
                                    [text](std::string_view entry, bool) { return entry == text; });
}

// Whether `menu` offers the entry `text` greyed (false also when it has no such entry).
inline bool PopupEntryGreyed(std::string_view menu, std::string_view text) {
  bool greyed = false;
  popup_detail::ForEachEntry(menu, [&](std::string_view entry, bool grey) {
    greyed = entry == text && grey;
    return entry == text;
  });
  return greyed;
}

}  // namespace vx::test
