#include "platform/x11_tray_host.h"

#include <X11/Xlib.h>

#include <utility>

#include "platform/x11_display.h"
#include "platform/x11_listener.h"

namespace vx::platform {
namespace {

Atom TraySelection(Display* display) {
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  return XInternAtom(display, name.c_str(), False);
}

class X11TrayHostWatch final : public TrayHostWatch {
 public:
  X11TrayHostWatch(std::unique_ptr<X11Listener> listener, std::function<void()> started)
      : listener_(std::move(listener)), started_(std::move(started)) {
    Display* display = listener_->display();
    manager_ = XInternAtom(display, "MANAGER", False);
    selection_ = TraySelection(display);
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask);
    XFlush(display);
    listener_->Start([this](const XEvent& event) {
      if (event.type == ClientMessage && event.xclient.message_type == manager_ &&
          static_cast<Atom>(event.xclient.data.l[1]) == selection_ && started_) {
        started_();
      }
    });
  }

  ~X11TrayHostWatch() override { listener_.reset(); }  // no call after started_ has gone

 private:
  std::unique_ptr<X11Listener> listener_;
  std::function<void()> started_;
  Atom manager_ = 0, selection_ = 0;
};

}  // namespace

bool TrayHostPresent(const std::string& display_name) {
  Display* display = OpenX11Display(display_name);
  if (!display) return false;
  const bool present = XGetSelectionOwner(display, TraySelection(display)) != None;
  XCloseDisplay(display);
  return present;
}

std::unique_ptr<TrayHostWatch> WatchTrayHost(std::function<void()> started,
                                             const std::string& display_name) {
  auto listener = X11Listener::Open(display_name);
  if (!listener) return nullptr;
  return std::make_unique<X11TrayHostWatch>(std::move(listener), std::move(started));
}

}  // namespace vx::platform
