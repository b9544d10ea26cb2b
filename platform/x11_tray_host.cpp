#include "platform/x11_tray_host.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/x11_display.h"

namespace vx::platform {
namespace {

Atom TraySelection(Display* display) {
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  return XInternAtom(display, name.c_str(), False);
}

class X11TrayHostWatch final : public TrayHostWatch {
 public:
  X11TrayHostWatch(Display* display, int wake_read, int wake_write, std::function<void()> started)
      : display_(display), wake_read_(wake_read), wake_write_(wake_write), started_(std::move(started)) {
    manager_ = XInternAtom(display_, "MANAGER", False);
    selection_ = TraySelection(display_);
    XSelectInput(display_, DefaultRootWindow(display_), StructureNotifyMask);
    XFlush(display_);
    thread_ = std::thread([this] { Listen(); });
  }

  ~X11TrayHostWatch() override {
    stop_ = true;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(wake_write_, &byte, 1);
    thread_.join();
    XCloseDisplay(display_);
    close(wake_read_);
    close(wake_write_);
  }

 private:
  // Only this thread uses the connection once the constructor is done.
  void Listen() {
    while (!stop_) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && event.xclient.message_type == manager_ &&
            static_cast<Atom>(event.xclient.data.l[1]) == selection_ && started_) {
          started_();
        }
      }
      pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_read_, POLLIN, 0}};
      poll(fds, 2, -1);
    }
  }

  Display* display_;
  int wake_read_, wake_write_;
  std::function<void()> started_;
  Atom manager_ = 0, selection_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

bool TrayHostPresent(const std::string& display_name) {
  Display* display = OpenX11Display(display_name);
  if (!display) return false;
  const bool present = XGetSelectionOwner(display, TraySelection(display)) != None;
  XCloseDisplay(display);
  return present;
}

std::unique_ptr<TrayHostWatch> WatchTrayHost(std::function<void()> started, const std::string& display_name) {
  Display* display = OpenX11Display(display_name);
  if (!display) return nullptr;
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::make_unique<X11TrayHostWatch>(display, wake[0], wake[1], std::move(started));
}

}  // namespace vx::platform
