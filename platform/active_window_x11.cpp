// The focused window's title on X11, read from the window manager's EWMH properties.

#include <X11/Xlib.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/active_window.h"
#include "platform/x11_display.h"
#include "platform/x11_window_properties.h"

namespace vx::platform {
namespace {

// Owns a display connection for one query.
struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// Swallows errors such as BadWindow for a window that closed between two requests; the query
// then reads as "no property" instead of ending the process (Xlib's default handler exits).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The error handler is one per process: queries take turns installing and restoring it.
std::mutex error_handler_mutex;

class X11ActiveWindow final : public ActiveWindow {
 public:
  explicit X11ActiveWindow(std::string display_name) : display_name_(std::move(display_name)) {}

  std::string Title() override {
    DisplayPtr display(XOpenDisplay(display_name_.empty() ? nullptr : display_name_.c_str()));
    if (!display) return {};
    SurviveConnectionLoss(display.get());
    const std::lock_guard lock(error_handler_mutex);
    XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    std::string title;
    if (const Window window = X11NetActiveWindow(display.get()); window != None) {
      title = X11WindowTitle(display.get(), window);
    }
    XSync(display.get(), False);  // let any error of this query reach the quiet handler
    XSetErrorHandler(previous);
    return title;
  }

 private:
  std::string display_name_;
};

}  // namespace

std::unique_ptr<ActiveWindow> MakeX11ActiveWindow(std::string display_name) {
  return std::make_unique<X11ActiveWindow>(std::move(display_name));
}

}  // namespace vx::platform
