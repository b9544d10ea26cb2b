// Tray hosts for tests: the announcement a starting tray host sends, and a real one (trayer).
#pragma once

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/x11_display.h"

extern char** environ;

namespace vx::test {

// Sends the MANAGER message with which a tray host makes itself known, without being one.
inline bool AnnounceTrayHost() {
  Display* display = platform::OpenX11Display();
  if (!display) return false;
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = DefaultRootWindow(display);
  event.xclient.message_type = XInternAtom(display, "MANAGER", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, selection.c_str(), False));
  XSendEvent(display, DefaultRootWindow(display), False, StructureNotifyMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return true;
}

// Runs trayer for its lifetime. Only one tray host can run on a display, so tests in other
// processes that start one take turns through a lock file.
class Trayer {
 public:
  Trayer() {
    lock_ = open("/tmp/varnodex-test-tray-host.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0666);
    if (lock_ >= 0) flock(lock_, LOCK_EX);
    char arg0[] = "trayer";
    char* argv[] = {arg0, nullptr};
    if (posix_spawnp(&pid_, "trayer", nullptr, nullptr, argv, environ) != 0) pid_ = 0;
  }
  ~Trayer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (lock_ >= 0) close(lock_);
  }
  Trayer(const Trayer&) = delete;
  Trayer& operator=(const Trayer&) = delete;

  bool started() const { return pid_ > 0; }

 private:
  int lock_ = -1;
  pid_t pid_ = 0;
};

}  // namespace vx::test
