#include "platform/x11_display.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace vx::platform {
namespace {

// XOpenDisplay with SIGPIPE held back on this thread: a busy server may reset the connection
// while Xlib writes its greeting, and the signal would end the whole program for what is only
// a failed attempt. A SIGPIPE raised meanwhile is taken off again, unless one was pending before.
Display* TryOpen(const char* name) {
  sigset_t pipe_only, old_mask, pending;
  sigemptyset(&pipe_only);
  sigaddset(&pipe_only, SIGPIPE);
  sigpending(&pending);
  const bool was_pending = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipe_only, &old_mask);
  Display* display = XOpenDisplay(name);
  if (!was_pending) {
    const timespec no_wait{0, 0};
    while (sigtimedwait(&pipe_only, nullptr, &no_wait) == SIGPIPE) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  return display;
}

}  // namespace

Display* OpenX11Display(const std::string& display_name) {
  const char* name = display_name.empty() ? nullptr : display_name.c_str();
  if (!name) {
    const char* env = std::getenv("DISPLAY");
    if (!env || !*env) return nullptr;  // nothing to wait for
  }
  auto pause = std::chrono::milliseconds(10);
  for (int attempt = 0; attempt < 12; ++attempt) {
    if (Display* display = TryOpen(name)) {
      SurviveConnectionLoss(display);
      return display;
    }
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(400)) pause *= 2;
  }
  return nullptr;
}

}  // namespace vx::platform
