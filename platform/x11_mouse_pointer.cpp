// The mouse pointer on X11: read with XQueryPointer on the root window, moved with a warp to the
// root window's coordinates, each on a connection of its own so that no thread shares one.
#include <X11/Xlib.h>

#include <utility>

#include "platform/mouse_pointer.h"
#include "platform/x11_display.h"

namespace vx::platform {
namespace {

class X11MousePointer final : public MousePointer {
 public:
  explicit X11MousePointer(std::string display_name) : display_name_(std::move(display_name)) {}

  bool Position(long& x, long& y) override {
    x = y = 0;
    Display* display = OpenX11Display(display_name_);
    if (display == nullptr) return false;
    Window root = 0, child = 0;
    int root_x = 0, root_y = 0, window_x = 0, window_y = 0;
    unsigned mask = 0;
    const bool found = XQueryPointer(display, DefaultRootWindow(display), &root, &child, &root_x,
                                     &root_y, &window_x, &window_y, &mask) != 0;
    XCloseDisplay(display);
    if (!found) return false;
    x = root_x;
    y = root_y;
    return true;
  }

  bool MoveTo(long x, long y) override {
    Display* display = OpenX11Display(display_name_);
    if (display == nullptr) return false;
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, static_cast<int>(x),
                 static_cast<int>(y));
    XSync(display, False);
    XCloseDisplay(display);
    return true;
  }

 private:
  std::string display_name_;
};

}  // namespace

std::unique_ptr<MousePointer> MakeX11MousePointer(std::string display_name) {
  return std::make_unique<X11MousePointer>(std::move(display_name));
}

}  // namespace vx::platform
