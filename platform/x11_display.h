// Opening a connection to an X display.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace vx::platform {

// XOpenDisplay for the named display (empty: $DISPLAY), tried again for about three seconds while
// it fails: a busy server turns new connections away for a moment when its listen queue is
// full. Null when the display still cannot be opened (none there, or no access).
Display* OpenX11Display(const std::string& display_name = {});

}  // namespace vx::platform
