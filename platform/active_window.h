// Which window has the keyboard focus, and its title: what scripts read as the focused
// window's text.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace vx::platform {

// Asks the desktop for the title of the window that has the keyboard focus.
class ActiveWindow {
 public:
  virtual ~ActiveWindow() = default;
  // The focused top-level window's title in UTF-8, or empty when no window has the focus,
  // the window has no title or the desktop cannot be reached.
  virtual std::string Title() = 0;
};

// The X11 desktop: the root window's _NET_ACTIVE_WINDOW and that window's _NET_WM_NAME
// (UTF-8), else its WM_NAME. Each call opens its own short connection, so it may be used from
// any thread. An empty display name means $DISPLAY.
std::unique_ptr<ActiveWindow> MakeX11ActiveWindow(std::string display_name = {});

}  // namespace vx::platform
