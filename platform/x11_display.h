// Opening a connection to an X display, and keeping a broken connection from ending the program.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace vx::platform {

// XOpenDisplay for the named display (empty: $DISPLAY), tried again for about three seconds while
// it fails: a busy server turns new connections away for a moment when its listen queue is
// full, or resets them (the SIGPIPE that follows is kept from ending the program). Null when
// the display still cannot be opened (none there, or no access). The connection is kept from
// ending the program when it breaks (SurviveConnectionLoss).
Display* OpenX11Display(const std::string& display_name = {});

// Xlib ends the whole process with exit(1) when a connection breaks (the X server died, a remote
// display went away), on whichever thread noticed: the program's static objects would then be
// destroyed under its running threads. After this call a broken connection only fails the call
// that found it, and every later call on it returns at once; the program learns of the loss from
// its front end and closes itself in order. The I/O error handler is the process's own (one for
// all displays) again too, in place of one a toolkit put in: call with nullptr for only that.
void SurviveConnectionLoss(Display* display);

// Whether the connection of `display` has broken.
bool X11ConnectionLost(Display* display);

}  // namespace vx::platform
