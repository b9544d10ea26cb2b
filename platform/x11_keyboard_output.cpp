// The X11 keyboard for typed text: key events through XTest, characters found in the
// server's key map.

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/keyboard_output.h"
#include "platform/virtual_keys.h"
#include "platform/x11_display.h"

namespace vx::platform {
namespace {

// The X11 key symbol of a character: Latin-1 characters are their own symbols, every other
// character has the Unicode symbol range.
KeySym CharacterKeysym(char32_t c) {
  if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;
  if (c == 0x20AC) return XK_EuroSign;  // the map names the euro by its older symbol
  return 0x01000000 | c;
}

// Mouse codes and the X button each clicks.
unsigned MouseButton(unsigned virtual_key) {
  switch (virtual_key) {
    case 1:
    case 5:
      return 1;  // left
    case 2:
    case 6:
      return 3;  // right
    case 3:
    case 7:
      return 2;  // middle
    default:
      return 0;
  }
}

class X11KeyboardOutput final : public KeyboardOutput {
 public:
  explicit X11KeyboardOutput(std::string display_name) : display_name_(std::move(display_name)) {}
  ~X11KeyboardOutput() override {
    if (display_) XCloseDisplay(display_);
  }

  void Key(unsigned virtual_key, bool down) override {
    const std::lock_guard lock(mutex_);
    if (!Connected()) return;
    if (const unsigned button = MouseButton(virtual_key)) {
      XTestFakeButtonEvent(display_, button, down, CurrentTime);
    } else {
      const KeySym keysym = VirtualKeyToKeysym(virtual_key);
      const KeyCode code = keysym ? XKeysymToKeycode(display_, keysym) : 0;
      if (code == 0) return;
      XTestFakeKeyEvent(display_, code, down, CurrentTime);
    }
    XFlush(display_);
  }

  bool CapsLockOn() override {
    const std::lock_guard lock(mutex_);
    if (!Connected()) return false;
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) != Success) return false;
    return (state.locked_mods & LockMask) != 0;
  }

  bool ModifiersHeld() override {
    const std::lock_guard lock(mutex_);
    if (!Connected()) return false;
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) != Success) return false;
    return (state.base_mods & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask)) != 0;
  }

  long CharacterKey(char32_t c) override {
    // Control characters that have keys of their own; a line end is one Enter.
    switch (c) {
      case '\r':
      case '\n':
        return 13;
      case '\t':
        return 9;
      case '\b':
        return 8;
      case 0x1B:
        return 27;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7F) return -1;
    const std::lock_guard lock(mutex_);
    if (!Connected()) return -1;
    const KeySym wanted = CharacterKeysym(c);
    int min_code = 0, max_code = 0;
    XDisplayKeycodes(display_, &min_code, &max_code);
    // Unshifted keys first, so a character on a main key is not typed on the number pad.
    for (unsigned level = 0; level < 2; ++level) {
      for (int code = min_code; code <= max_code; ++code) {
        const auto keycode = static_cast<KeyCode>(code);
        if (XkbKeycodeToKeysym(display_, keycode, 0, static_cast<int>(level)) != wanted) continue;
        // The code is the key's unshifted symbol's virtual key; pressing it finds the key again.
        const unsigned vk = KeysymToVirtualKey(XkbKeycodeToKeysym(display_, keycode, 0, 0));
        if (vk == 0) continue;
        return static_cast<long>(vk) + (level == 1 ? kKeyShift : 0);
      }
    }
    return -1;
  }

 private:
  // Opens the connection when there is none, at most every ten seconds, so typing without a
  // display does not wait for the display once per key.
  bool Connected() {
    if (display_) return true;
    const auto now = std::chrono::steady_clock::now();
    if (tried_ && now - last_try_ < std::chrono::seconds(10)) return false;
    tried_ = true;
    last_try_ = now;
    display_ = OpenX11Display(display_name_);
    if (!display_) return false;
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    int opcode = 0, xkb_major = XkbMajorVersion, xkb_minor = XkbMinorVersion;
    if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor) ||
        !XkbQueryExtension(display_, &opcode, &event_base, &error_base, &xkb_major, &xkb_minor)) {
      XCloseDisplay(display_);
      display_ = nullptr;
      return false;
    }
    return true;
  }

  std::string display_name_;
  std::mutex mutex_;
  Display* display_ = nullptr;
  bool tried_ = false;
  std::chrono::steady_clock::time_point last_try_;
};

}  // namespace

std::unique_ptr<KeyboardOutput> MakeX11KeyboardOutput(std::string display_name) {
  return std::make_unique<X11KeyboardOutput>(std::move(display_name));
}

}  // namespace vx::platform
