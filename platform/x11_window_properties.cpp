#include "platform/x11_window_properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace vx::platform {

X11Property ReadX11Property(Display* display, Window window, Atom name, Atom type) {
  X11Property p;
  unsigned char* data = nullptr;
  unsigned long after = 0;
  // Titles longer than 64 KiB are cut; callers keep far less.
  const int status = XGetWindowProperty(display, window, name, 0, 16384, False, type, &p.type,
                                        &p.format, &p.items, &after, &data);
  if (status != Success) return {};
  p.data.reset(data);
  if (p.type == None || !p.data) p.items = 0;
  return p;
}

std::string X11WindowTitle(Display* display, Window window) {
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  X11Property p = ReadX11Property(display, window, net_name, utf8);
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

Window X11NetActiveWindow(Display* display) {
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  X11Property p = ReadX11Property(display, DefaultRootWindow(display), active, XA_WINDOW);
  if (p.format != 32 || p.items < 1) return None;
  return static_cast<Window>(p.Long(0));
}

}  // namespace vx::platform
