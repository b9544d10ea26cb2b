// Key presses made up through the XTest extension, as if typed on the keyboard.
#pragma once

#include <string>

namespace vx::platform {

// Presses the modifiers (kHotKey* flags), then the virtual key, and releases them in reverse
// order, on the display (empty name: $DISPLAY). False when the display cannot be opened, has
// no XTest, or the keyboard lacks one of the keys.
bool FakeKeyChord(unsigned modifiers, unsigned virtual_key, const std::string& display_name = {});

}  // namespace vx::platform
