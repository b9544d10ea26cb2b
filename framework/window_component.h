// Something a window manager drives along with its window: a browse, a toolbar, a helper class.
#pragma once

#include "framework/levels.h"

namespace vx {

class WindowComponent {
 public:
  virtual ~WindowComponent() = default;
  virtual Level TakeEvent() { return Level_Benign; }  // after the window's own handling
  virtual void Reset(bool /*force*/) {}
  virtual void Update() {}     // screen into variables and buffers
  virtual void SetAlerts() {}  // once, when the window opens
  virtual void Kill() {}
};

}  // namespace vx
