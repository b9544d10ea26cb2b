// A ShellTest that drives windows: its test driver ends any run a failed test left open before
// the data library is unloaded.
#pragma once

#include <memory>
#include <string_view>

#include "support/test_driver.h"
#include "tests/program/shell_fixture.h"

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

class WindowTest : public ShellTest {
 protected:
  void TearDown() override {
    driver_.reset();
    ShellTest::TearDown();
  }

  std::unique_ptr<TestDriver> driver_ = std::make_unique<TestDriver>();
  TestDriver& ui_ = *driver_;
};

}  // namespace vx::test
