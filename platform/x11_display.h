// Opening a connection to an X display.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace vx::platform {

// XOpenDisplay for the named display (empty: $DISPLAY), tried again for about three seconds while
// it fails: a busy server turns new connections away for a moment when its listen queue is
// full, or resets them (the SIGPIPE that follows is kept from ending the program). Null when
// the display still cannot be opened (none there, or no access).
Display* OpenX11Display(const std::string& display_name = {});

}  // namespace vx::platform
