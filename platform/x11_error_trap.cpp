#include "platform/x11_error_trap.h"

#include <mutex>

namespace vx::platform {
namespace {

std::mutex gTrapMutex;
Display* gTrappedDisplay = nullptr;
int gTrappedError = 0;
XErrorHandler gPreviousHandler = nullptr;

int TrapHandler(Display* display, XErrorEvent* error) {
  if (display == gTrappedDisplay) {
    if (gTrappedError == 0) gTrappedError = error->error_code;
    return 0;
  }
  return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display) {
  gTrapMutex.lock();
  XSync(display_, False);  // errors of earlier requests are not this trap's
  gTrappedDisplay = display_;
  gTrappedError = 0;
  gPreviousHandler = XSetErrorHandler(TrapHandler);
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(gPreviousHandler);
  gTrappedDisplay = nullptr;
  gPreviousHandler = nullptr;
  gTrapMutex.unlock();
}

int X11ErrorTrap::Sync() {
  XSync(display_, False);
  return gTrappedError;
}

}  // namespace vx::platform
