// The mouse pointer a window shows while its thread does long work.
#pragma once

#include <string>
#include <string_view>

#include "runtime/window/properties.h"
#include "runtime/window/window.h"

namespace vx {

inline constexpr std::string_view CursorNormal = "";
inline constexpr std::string_view CursorWait = "Wait";    // hour-glass
inline constexpr std::string_view CursorCross = "Cross";  // cross-hair

// Sets the window's Cursor for its own lifetime and puts the one before back when it ends, so
// an early return or an exception cannot leave the pointer busy. Without a window it does nothing.
class CursorScope {
 public:
  CursorScope(Window* window, std::string_view cursor) : window_(window) {
    if (!window_) return;
    previous_ = window_->Get(Prop::Cursor);
    window_->Set(Prop::Cursor, cursor);
  }
  CursorScope(Window& window, std::string_view cursor) : CursorScope(&window, cursor) {}
  ~CursorScope() {
    if (!window_) return;
    try {
      window_->Set(Prop::Cursor, previous_);
    } catch (...) {  // a destructor must not throw; the window is going anyway
    }
  }
  CursorScope(const CursorScope&) = delete;
  CursorScope& operator=(const CursorScope&) = delete;

 private:
  Window* window_;
  std::string previous_;
};

}  // namespace vx
