// Pressing a key chord in a program's window on a real X display until it has its effect: other
// tests' key presses on the same display can swallow one, so a press is tried again.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/x11_fake_keys.h"
#include "tests/desktop/x_windows.h"

namespace vx::test {

// Presses the chord in the window titled `title` (brought to the front first) until `done`
// holds, at most five times; false when it never did.
inline bool PressUntil(Display* display, const std::string& title, unsigned modifiers, unsigned key,
                       const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!FocusWindowTitled(display, title)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      continue;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    platform::FakeKeyChord(modifiers, key);
    if (done()) return true;
  }
  return false;
}

}  // namespace vx::test
