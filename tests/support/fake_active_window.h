// A focused window whose title the test sets: stands in for the desktop when scripts read the
// focused window's text.
#pragma once

#include <string>
#include <utility>

#include "platform/active_window.h"

namespace vx::test {

class FakeActiveWindow final : public platform::ActiveWindow {
 public:
  explicit FakeActiveWindow(std::string title = {}) : title_(std::move(title)) {}
  std::string Title() override { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

 private:
  std::string title_;
};

}  // namespace vx::test
