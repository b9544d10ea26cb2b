// A window's toolbar buttons that stand for buttons of the window (New, Edit, Delete, OK ...):
// pressing one presses its target (a menu item, or a button that may be hidden), and it is
// greyed with the target.
#pragma once

#include <vector>

#include "framework/window_component.h"

namespace vx {

class Window;

class ToolbarClass : public WindowComponent {
 public:
  void Init(Window& window) { window_ = &window; }
  void AddTarget(int toolbar_button, int target);

  Level TakeEvent() override;
  void Reset(bool force) override;

 private:
  struct Link {
    int button;
    int target;
  };
  Window* window_ = nullptr;
  std::vector<Link> links_;
};

}  // namespace vx
