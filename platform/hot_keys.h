// System-wide hot keys: keys that reach the program whichever program has the focus.
#pragma once

#include <functional>
#include <memory>

namespace vx::platform {

// Registers hot keys by id and reports their presses. Modifiers are the kHotKey* flags of
// platform/virtual_keys.h; keys are virtual-key codes.
class HotKeyGrabber {
 public:
  // Called for each press of a registered key, with its id, modifiers and virtual key. It runs
  // on the grabber's own listener thread.
  using PressHandler = std::function<void(int id, unsigned modifiers, unsigned virtual_key)>;

  virtual ~HotKeyGrabber() = default;

  // Registers the key under the id, replacing what the id held before. False when the key
  // cannot be had: another program holds it, or the keyboard has no such key.
  virtual bool Grab(int id, unsigned modifiers, unsigned virtual_key) = 0;
  // Releases the key registered under the id. False when the id holds no key.
  virtual bool Ungrab(int id) = 0;
  virtual void SetPressHandler(PressHandler handler) = 0;
};

// The desktop's hot keys: X11 key grabs on the default display. Without a display (no X
// server, or a Wayland session, which has no global hot keys) every key is refused.
std::unique_ptr<HotKeyGrabber> OpenSystemHotKeyGrabber();

}  // namespace vx::platform
