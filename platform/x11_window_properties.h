// Reading the properties of X11 windows that name and describe them.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

namespace vx::platform {

struct XFreeDeleter {
  void operator()(unsigned char* p) const { XFree(p); }
};

// One property of a window as raw items; no data (and no items) when the window lacks it or
// is gone. Format-32 items come back as longs whatever the server's word size.
struct X11Property {
  std::unique_ptr<unsigned char, XFreeDeleter> data;
  Atom type = None;
  int format = 0;
  unsigned long items = 0;

  // Item i of a format-32 property.
  unsigned long Long(unsigned long i) const {
    return reinterpret_cast<const unsigned long*>(data.get())[i];
  }
};

// Reads up to 64 KiB of the property (type AnyPropertyType for any).
X11Property ReadX11Property(Display* display, Window window, Atom name, Atom type);

// The window's title in UTF-8: _NET_WM_NAME, else WM_NAME converted from its encoding; empty
// when it has none.
std::string X11WindowTitle(Display* display, Window window);

// The window manager's active window (_NET_ACTIVE_WINDOW of the root); None when it names none.
Window X11NetActiveWindow(Display* display);

}  // namespace vx::platform
