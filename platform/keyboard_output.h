// Key presses put into the desktop's input as if typed on the keyboard: what scripts and hot
// keys type with.
#pragma once

#include <memory>
#include <string>

namespace vx::platform {

// Modifier bits of a key code: the low byte is the virtual key, these say which modifiers go
// with it.
inline constexpr long kKeyShift = 256;
inline constexpr long kKeyCtrl = 512;
inline constexpr long kKeyAlt = 1024;
inline constexpr long kKeyWin = 2048;

// The desktop's keyboard, one key event at a time.
class KeyboardOutput {
 public:
  virtual ~KeyboardOutput() = default;
  // One key going down or up. The mouse codes (1 left, 2 right, 3 middle; 5, 6 and 7 the same
  // three buttons) press and release a mouse button; a code the keyboard has no key for is
  // dropped.
  virtual void Key(unsigned virtual_key, bool down) = 0;
  // Whether Caps Lock is on.
  virtual bool CapsLockOn() = 0;
  // Whether Shift, Ctrl, Alt or the Windows key is held down on the keyboard.
  virtual bool ModifiersHeld() = 0;
  // The key code that types `character` on the keyboard's current layout (virtual key and
  // modifier bits), or -1 when no key types it.
  virtual long CharacterKey(char32_t character) = 0;
};

// The X11 keyboard through the XTest extension, on one connection kept open for the object's
// life (empty name: $DISPLAY). Without a display every event is dropped, Caps Lock reads as
// off and no character has a key; opening is tried again at most every ten seconds.
std::unique_ptr<KeyboardOutput> MakeX11KeyboardOutput(std::string display_name = {});

}  // namespace vx::platform
