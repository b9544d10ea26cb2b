// Translation of the program's virtual-key codes (the key codes stored with hot keys and sent
// by scripts) into X11 key symbols.
#pragma once

namespace vx::platform {

// Modifier flags of a hot key, as a hot-key code carries them in its second byte.
inline constexpr unsigned kHotKeyAlt = 1;
inline constexpr unsigned kHotKeyCtrl = 2;
inline constexpr unsigned kHotKeyShift = 4;
inline constexpr unsigned kHotKeyWin = 8;

// The X11 key symbol of a virtual-key code; 0 (NoSymbol) for a code with no key on X11,
// such as the mouse buttons.
unsigned long VirtualKeyToKeysym(unsigned virtual_key);

// The virtual-key code whose key carries the X11 key symbol; 0 when no code does.
unsigned KeysymToVirtualKey(unsigned long keysym);

}  // namespace vx::platform
