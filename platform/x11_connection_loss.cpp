// Kept apart from the other X11 files: Xlib's internal header, which says whether a connection
// broke, defines macros the others should not see.
// Our header (and the C++ library it brings in) comes first: Xlibint.h defines min and max.
#include "platform/x11_display.h"
// clang-format off
#include <X11/Xlibint.h>
// clang-format on

namespace vx::platform {
namespace {

// Xlib's own I/O error handler, and the one Qt puts in its place, end the process; this one
// only returns. The handler is one for the whole process, called for every display.
int NoteOnly(Display*) { return 0; }

// Xlib calls this after the I/O error handler, on the thread that met the error, holding the
// display's user lock (XLockDisplay) on that thread's behalf so that nobody else used the
// display while the process ended. It does not end: the lock is given back, or every other
// thread's next call on the display would wait for it forever. The display stays marked broken,
// so those calls return at once.
void KeepRunning(Display* display, void*) { XUnlockDisplay(display); }

}  // namespace

void SurviveConnectionLoss(Display* display) {
  XSetIOErrorHandler(NoteOnly);
  if (display) XSetIOErrorExitHandler(display, KeepRunning, nullptr);
}

bool X11ConnectionLost(Display* display) {
  return display && (display->flags & XlibDisplayIOError) != 0;
}

}  // namespace vx::platform
