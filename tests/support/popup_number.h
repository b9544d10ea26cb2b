// The number the driver answers a popup with to choose one of its entries by text.
#pragma once

#include <string_view>

namespace vx::test {

// The number POPUP answers for the entry `text` of `menu`: entries count from 1 through every
// submenu, separators and submenu titles not; 0 when there is none.
inline long PopupNumber(std::string_view menu, std::string_view text) {
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
    while (!entry.empty() && (entry.front() == '~' || entry.front() == '+')) entry.remove_prefix(1);
    ++number;
    if (entry == text) return number;
  }
  return 0;
}

}  // namespace vx::test
