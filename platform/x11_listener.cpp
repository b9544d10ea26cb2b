#include "platform/x11_listener.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

#include "platform/x11_display.h"

namespace vx::platform {

std::unique_ptr<X11Listener> X11Listener::Open(const std::string& display_name) {
  Display* display = OpenX11Display(display_name);
  if (!display) return nullptr;
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<X11Listener>(new X11Listener(display, wake[0], wake[1]));
}

X11Listener::X11Listener(Display* display, int wake_read, int wake_write)
    : display_(display), wake_read_(wake_read), wake_write_(wake_write) {}

X11Listener::~X11Listener() {
  stop_ = true;
  Wake();
  if (thread_.joinable()) thread_.join();
  XCloseDisplay(display_);
  close(wake_read_);
  close(wake_write_);
}

void X11Listener::Start(EventHandler handler) {
  handler_ = std::move(handler);
  thread_ = std::thread([this] { Listen(); });
}

void X11Listener::Wake() {
  const char byte = 1;
  [[maybe_unused]] ssize_t n = write(wake_write_, &byte, 1);
}

void X11Listener::Listen() {
  while (!stop_) {
    std::vector<XEvent> events;
    bool lost = false;
    {
      std::lock_guard guard(mutex_);
      while (XPending(display_) > 0) {
        events.emplace_back();
        XNextEvent(display_, &events.back());
      }
      lost = X11ConnectionLost(display_);
    }
    for (const XEvent& event : events)
      if (handler_) handler_(event);
    // A broken connection reads as always ready: from then on only a wake-up (the stop) counts.
    pollfd fds[2] = {{lost ? -1 : ConnectionNumber(display_), POLLIN, 0}, {wake_read_, POLLIN, 0}};
    if (poll(fds, 2, -1) > 0 && (fds[1].revents & POLLIN)) {
      char drain[64];
      while (read(wake_read_, drain, sizeof drain) > 0) {
      }
    }
  }
}

}  // namespace vx::platform
