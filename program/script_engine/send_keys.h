// Keystrokes that scripts and hot keys put into whatever window has the keyboard focus: key
// groups by name ("CTRL-S", "^%DELETE", "F1KEY"), and plain text typed character by character.
//
// A key code is a virtual key in the low byte with modifier bits: 256 Shift, 512 Ctrl,
// 1024 Alt, 2048 the Windows (Super) key. A character's code comes from the keyboard's layout,
// so named keys and characters are pressed alike.
#pragma once

#include <string_view>

#include "platform/keyboard_output.h"

namespace vx {

// The key code of a key group's name; 0 when the name is not a key. Leading "+", "^" and "%"
// add Shift, Ctrl and Alt, a leading "-" is passed over, the words CTRL, ALT and SHIFT (any
// case) add their modifier, and the word KEY (capitals) is dropped: "Ctrl-S", "CTRLS" and
// "^S" are Ctrl+S, "F1KEY" is F1. A modifier named twice counts once; modifiers before no key
// ("^" alone, "CTRL", "^word") give the modifiers alone (512 for Ctrl).
long KeyNameToCode(std::string_view Name);

// Sends one key group (the text between "[" and "]"): a key name is pressed; otherwise the
// value of the script variable of that name is typed ("DATE" types today's date), or, when
// there is none, the text itself.
void SendKeyText(std::string_view Text);

// Types UTF-8 text one character at a time, with Caps Lock off while it types (the lock is
// put back afterwards). A line end (CR, LF or both together) is one Enter; a character no key
// of the keyboard types is left out.
void TypeText(std::string_view Text);

// Presses a key code: its modifiers down (Shift, Ctrl, Alt, Windows), the key down and up,
// the modifiers up in the same order. A code of modifiers alone presses and releases them.
void PressKeyCode(long Code);

void KeyDown(int VirtualKey);
void KeyUp(int VirtualKey);
// Presses (Release false) or releases (Release true) the modifier keys of a code.
void PressModifiers(long Code, bool Release);

// The keyboard keystrokes go to (script_keyboard of common/program_services.h); without one,
// the desktop's own (X11).
platform::KeyboardOutput& ScriptKeyboard();

}  // namespace vx
