// Pressing a key code on a keyboard output, and reading UTF-8 text a character at a time: what
// everything that types into the desktop's windows shares (scripts, hot keys, the data
// library's key-press class).
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/keyboard_output.h"

namespace vx::platform {

inline constexpr unsigned kCapsLockKey = 20;

// Presses a key code: its modifiers down (Shift, Ctrl, Alt, Windows), the key down and up, the
// modifiers up in the same order. A code of modifiers alone presses and releases them.
void PressKeyCode(KeyboardOutput& keyboard, long code);
// Presses (release false) or releases (release true) the modifier keys of a code.
void PressModifiers(KeyboardOutput& keyboard, long code, bool release);

// The next character of UTF-8 text at `at`, which moves past it; a byte that does not start
// a well-formed character reads as U+FFFD and is passed over alone.
char32_t NextUtf8Character(std::string_view text, std::size_t& at);

}  // namespace vx::platform
