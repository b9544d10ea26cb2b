// Typing a hot key's text into the window in front: the "Type" and "Paste" text actions.
#pragma once

#include <string_view>

namespace vx {

// Lets go of the modifier keys, waits until the keys of the hot key itself are no longer held
// (200 ms at least, 2 seconds at most), then types the text, or for a paste presses Ctrl+V
// (the caller has put the text on the clipboard).
void TypeHotKeyText(std::string_view text, bool paste);

}  // namespace vx
