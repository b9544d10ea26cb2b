// The desktop's windows on X11, through the window manager's EWMH properties and messages,
// with plain X requests where no window manager answers.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/desktop_windows.h"
#include "platform/x11_display.h"
#include "platform/x11_error_trap.h"
#include "platform/x11_window_properties.h"

namespace vx::platform {
namespace {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

constexpr long kIconicState = 3;  // WM_STATE of a minimised window

// One short connection with its errors trapped: a window may close between two requests.
class Connection {
 public:
  explicit Connection(const std::string& name) : display_(OpenX11Display(name)) {
    if (display_) trap_ = std::make_unique<X11ErrorTrap>(display_.get());
  }

  Display* get() const { return display_.get(); }
  explicit operator bool() const { return display_ != nullptr; }
  Atom atom(const char* name) const { return XInternAtom(display_.get(), name, False); }
  Window root() const { return DefaultRootWindow(display_.get()); }
  int Sync() { return trap_->Sync(); }

  // The window's attributes; false when there is no such window (any more).
  bool Attributes(Window window, XWindowAttributes& attributes) const {
    return window != 0 && XGetWindowAttributes(get(), window, &attributes) != 0;
  }

  // Whether the window manager says it understands the EWMH hint.
  bool Supports(const char* hint) const {
    const X11Property p = ReadX11Property(get(), root(), atom("_NET_SUPPORTED"), XA_ATOM);
    const Atom wanted = atom(hint);
    for (unsigned long i = 0; p.format == 32 && i < p.items; ++i) {
      if (p.Long(i) == wanted) return true;
    }
    return false;
  }

  std::vector<Window> Children(Window parent) const {
    Window root_return = 0, parent_return = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(get(), parent, &root_return, &parent_return, &children, &count)) return {};
    std::vector<Window> list(children, children + count);
    if (children) XFree(children);
    return list;
  }

  bool HasWmState(Window window) const {
    const Atom wm_state = atom("WM_STATE");
    return ReadX11Property(get(), window, wm_state, wm_state).items > 0;
  }

  // The application window at or below a child of the root: the first that carries WM_STATE,
  // else the window itself.
  Window ClientOf(Window window) const {
    if (HasWmState(window)) return window;
    for (Window child : Children(window)) {
      if (Window client = ClientOf(child); HasWmState(client)) return client;
    }
    return window;
  }

  DesktopWindow Describe(Window window, bool top_level) const {
    DesktopWindow w;
    w.handle = window;
    w.title = X11WindowTitle(get(), window);
    XClassHint hint{};
    if (XGetClassHint(get(), window, &hint)) {
      if (hint.res_class) w.class_name = hint.res_class;
      XFree(hint.res_name);
      XFree(hint.res_class);
    }
    XWindowAttributes attributes{};
    if (Attributes(window, attributes)) {
      w.visible =
          top_level ? attributes.map_state != IsUnmapped : attributes.map_state == IsViewable;
    }
    if (top_level && !w.visible) {
      const Atom wm_state = atom("WM_STATE");
      const X11Property state = ReadX11Property(get(), window, wm_state, wm_state);
      w.visible =
          state.format == 32 && state.items > 0 && static_cast<long>(state.Long(0)) == kIconicState;
    }
    return w;
  }

  void SendToRoot(Window window, const char* message, long l0, long l1) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atom(message);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    XSendEvent(get(), root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  }

 private:
  DisplayPtr display_;
  std::unique_ptr<X11ErrorTrap> trap_;  // declared last: it ends before the connection closes
};

constexpr long kSourcePager = 2;  // asks as a pager would: window managers do not refuse it

class X11DesktopWindows final : public DesktopWindows {
 public:
  explicit X11DesktopWindows(std::string display_name) : display_name_(std::move(display_name)) {}

  std::vector<DesktopWindow> TopWindows() override {
    Connection x(display_name_);
    if (!x) return {};
    std::vector<Window> windows;
    const X11Property list =
        ReadX11Property(x.get(), x.root(), x.atom("_NET_CLIENT_LIST"), XA_WINDOW);
    if (list.type != None && list.format == 32) {
      for (unsigned long i = 0; i < list.items; ++i) windows.push_back(list.Long(i));
    } else {
      for (Window child : x.Children(x.root())) windows.push_back(x.ClientOf(child));
    }
    std::vector<DesktopWindow> found;
    for (Window window : windows) found.push_back(x.Describe(window, true));
    return found;
  }

  std::vector<DesktopWindow> ChildWindows(unsigned long parent) override {
    Connection x(display_name_);
    if (!x) return {};
    std::vector<DesktopWindow> found;
    // Depth first, parents before their children, without recursion: window trees can be deep.
    std::vector<Window> pending = x.Children(parent);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
      const Window window = pending.back();
      pending.pop_back();
      found.push_back(x.Describe(window, false));
      std::vector<Window> children = x.Children(window);
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return found;
  }

  unsigned long ActiveWindow() override {
    Connection x(display_name_);
    if (!x) return 0;
    if (Window active = X11NetActiveWindow(x.get()); active != None) return active;
    if (x.Supports("_NET_ACTIVE_WINDOW")) return 0;
    // No window manager keeps the hint: the window with the input focus.
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x.get(), &focus, &revert);
    return focus == None || focus == PointerRoot || focus == x.root() ? 0 : focus;
  }

  bool Activate(unsigned long window) override {
    {
      Connection x(display_name_);
      XWindowAttributes attributes{};
      if (!x || !x.Attributes(window, attributes)) return false;
      if (x.Supports("_NET_ACTIVE_WINDOW")) {
        x.SendToRoot(window, "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime);
        if (x.Sync() != 0) return false;
      } else {
        XRaiseWindow(x.get(), window);
        if (attributes.map_state == IsViewable)
          XSetInputFocus(x.get(), window, RevertToParent, CurrentTime);
        return x.Sync() == 0 && attributes.map_state == IsViewable;
      }
    }
    // The window manager acts on its own time: keys typed next must reach the new window, so
    // wait a moment for it to say the window is active.
    for (int i = 0; i < 50; ++i) {
      if (ActiveWindow() == window) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  bool Close(unsigned long window) override {
    Connection x(display_name_);
    XWindowAttributes attributes{};
    if (!x || !x.Attributes(window, attributes)) return false;
    if (x.Supports("_NET_CLOSE_WINDOW")) {
      x.SendToRoot(window, "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
      return x.Sync() == 0;
    }
    Atom* protocols = nullptr;
    int count = 0;
    bool deletable = false;
    const Atom delete_window = x.atom("WM_DELETE_WINDOW");
    if (XGetWMProtocols(x.get(), window, &protocols, &count)) {
      deletable = std::find(protocols, protocols + count, delete_window) != protocols + count;
      XFree(protocols);
    }
    if (!deletable) return false;  // closing it by force could lose the application's work
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(delete_window);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.get(), window, False, NoEventMask, &event);
    return x.Sync() == 0;
  }

  long ProcessOf(unsigned long window) override {
    Connection x(display_name_);
    if (!x || window == 0) return 0;
    const X11Property pid = ReadX11Property(x.get(), window, x.atom("_NET_WM_PID"), XA_CARDINAL);
    return pid.format == 32 && pid.items > 0 ? static_cast<long>(pid.Long(0)) : 0;
  }

 private:
  std::string display_name_;
};

}  // namespace

std::unique_ptr<DesktopWindows> MakeX11DesktopWindows(std::string display_name) {
  return std::make_unique<X11DesktopWindows>(std::move(display_name));
}

}  // namespace vx::platform
