// Catches the X protocol errors of one display for a stretch of requests, instead of letting
// Xlib's default handler end the process.
#pragma once

#include <X11/Xlib.h>

namespace vx::platform {

// While the trap lives, errors of `display` are recorded (the first one counts) and errors of
// other displays go to the handler that was installed before. One trap at a time in the
// process: the error handler is process-wide, so a second trap waits for the first to end.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits until the server has handled every request sent so far; returns the first error code
  // seen since the trap began (0 = none, BadAccess = 10 for a key another client holds).
  int Sync();

 private:
  Display* display_;
};

}  // namespace vx::platform
