// The desktop's windows: listing them with their titles and class names, and bringing one to
// the front, as scripts that wait for, test and focus windows need.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vx::platform {

// One window as a listing sees it.
struct DesktopWindow {
  unsigned long handle = 0;
  std::string title;       // UTF-8; empty when the window has none
  std::string class_name;  // the window's class (X11: the class part of WM_CLASS)
  bool visible = false;    // shown on the desktop, minimised counting as shown
};

// Reads and acts on the desktop's windows. Windows may close at any moment: an operation on
// a window that is gone does nothing and answers as for no window.
class DesktopWindows {
 public:
  virtual ~DesktopWindows() = default;
  // The top-level windows of the desktop's applications, in the desktop's order.
  virtual std::vector<DesktopWindow> TopWindows() = 0;
  // The windows inside `parent`, at every level, parents before their children.
  virtual std::vector<DesktopWindow> ChildWindows(unsigned long parent) = 0;
  // The window that has the focus; 0 when none does.
  virtual unsigned long ActiveWindow() = 0;
  // Brings the window to the front with the keyboard focus; false when that cannot be asked.
  virtual bool Activate(unsigned long window) = 0;
  // Asks the window to close, as its close button would; false when it cannot be asked.
  virtual bool Close(unsigned long window) = 0;
  // The process that owns the window; 0 when it does not say.
  virtual long ProcessOf(unsigned long window) = 0;
};

// The X11 desktop (empty name: $DISPLAY). Top-level windows are the window manager's client
// list (_NET_CLIENT_LIST), or without one the root's children, each standing for the
// application window in it; titles are _NET_WM_NAME, else WM_NAME. Activation asks the window
// manager through _NET_ACTIVE_WINDOW and also raises the window and gives it the focus itself;
// closing asks through _NET_CLOSE_WINDOW, else sends WM_DELETE_WINDOW. Each call opens its own
// short connection, so it may be used from any thread.
std::unique_ptr<DesktopWindows> MakeX11DesktopWindows(std::string display_name = {});

}  // namespace vx::platform
