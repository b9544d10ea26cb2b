// Hot keys as passive key grabs on the root window of an X display.
#pragma once

#include <memory>
#include <string>

#include "platform/hot_keys.h"

namespace vx::platform {

// Opens its own connection to the display (empty name: $DISPLAY) and grabs every key in each
// Caps, Num and Scroll Lock variant, so that a lock key being on does not hide a press. A
// listener thread reads the presses from that connection. Null when the display cannot be opened.
std::unique_ptr<HotKeyGrabber> OpenX11HotKeyGrabber(const std::string& display_name = {});

}  // namespace vx::platform
