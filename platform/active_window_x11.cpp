// The focused window's title on X11, read from the window manager's EWMH properties.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/active_window.h"

namespace vx::platform {
namespace {

// Owns a display connection for one query.
struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreeDeleter {
  void operator()(unsigned char* p) const { XFree(p); }
};

// One property of a window as raw items, or nothing when the window lacks it (or is gone).
struct Property {
  std::unique_ptr<unsigned char, XFreeDeleter> data;
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
};

// Swallows errors such as BadWindow for a window that closed between two requests; the query
// then reads as "no property" instead of ending the process (Xlib's default handler exits).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Property ReadProperty(Display* display, Window window, Atom name, Atom type) {
  Property p;
  unsigned char* data = nullptr;
  unsigned long after = 0;
  // Titles longer than 64 KiB are cut; the caller keeps far less.
  const int status = XGetWindowProperty(display, window, name, 0, 16384, False, type, &p.type,
                                        &p.format, &p.items, &after, &data);
  if (status != Success) return {};
  p.data.reset(data);
  if (p.type == None) p.items = 0;
  return p;
}

Window ActiveWindowOf(Display* display) {
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  Property p = ReadProperty(display, DefaultRootWindow(display), active, XA_WINDOW);
  if (!p.data || p.format != 32 || p.items < 1) return None;
  // Format-32 items come back as longs whatever the server's word size.
  return static_cast<Window>(*reinterpret_cast<unsigned long*>(p.data.get()));
}

std::string TitleOf(Display* display, Window window) {
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  Property p = ReadProperty(display, window, net_name, utf8);
  if (p.data && p.format == 8 && p.items > 0) {
    return std::string(reinterpret_cast<const char*>(p.data.get()), p.items);
  }
  // WM_NAME may be Latin-1 or compound text: let Xlib convert it to UTF-8.
  XTextProperty text{};
  if (XGetWMName(display, window, &text) == 0 || text.value == nullptr) return {};
  std::unique_ptr<unsigned char, XFreeDeleter> owned(text.value);
  char** list = nullptr;
  int count = 0;
  std::string title;
  if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && list != nullptr) {
    if (count > 0 && list[0] != nullptr) title = list[0];
    XFreeStringList(list);
  } else if (text.format == 8) {
    title.assign(reinterpret_cast<const char*>(text.value), text.nitems);
  }
  return title;
}

// The error handler is one per process: queries take turns installing and restoring it.
std::mutex error_handler_mutex;

class X11ActiveWindow final : public ActiveWindow {
 public:
  explicit X11ActiveWindow(std::string display_name) : display_name_(std::move(display_name)) {}

  std::string Title() override {
    DisplayPtr display(XOpenDisplay(display_name_.empty() ? nullptr : display_name_.c_str()));
    if (!display) return {};
    const std::lock_guard lock(error_handler_mutex);
    XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    std::string title;
    if (const Window window = ActiveWindowOf(display.get()); window != None) {
      title = TitleOf(display.get(), window);
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
