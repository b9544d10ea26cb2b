// A keyboard that types nothing: it records each key event, and knows the characters of a
// US layout's main keys.
#pragma once

#include <string>
#include <vector>

#include "platform/keyboard_output.h"

namespace vx::test {

class FakeKeyboard final : public platform::KeyboardOutput {
 public:
  void Key(unsigned virtual_key, bool down) override {
    events.push_back((down ? "v" : "^") + std::to_string(virtual_key));
  }
  bool CapsLockOn() override { return caps_lock; }
  bool ModifiersHeld() override {
    ++modifier_checks;
    if (modifiers_held == 0) return false;
    --modifiers_held;
    return true;
  }
  long CharacterKey(char32_t c) override {
    characters.push_back(c);
    if (c >= 'a' && c <= 'z') return static_cast<long>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return platform::kKeyShift + static_cast<long>(c);
    if (c >= '0' && c <= '9') return static_cast<long>(c);
    switch (c) {
      case ' ':
        return 32;
      case '\r':
      case '\n':
        return 13;
      case '\t':
        return 9;
      case '!':
        return platform::kKeyShift + '1';
      case ',':
        return 188;
      case '.':
        return 190;
      default:
        return -1;  // no key for it
    }
  }

  // The events so far, "v65" for key 65 down and "^65" for it up, separated by blanks.
  std::string Events() const {
    std::string out;
    for (const std::string& e : events) out += (out.empty() ? "" : " ") + e;
    return out;
  }

  bool caps_lock = false;
  int modifiers_held = 0;  // how many more checks answer that a modifier is held
  int modifier_checks = 0;
  std::vector<std::string> events;
  std::u32string characters;  // every character a key was asked for, in order
};

}  // namespace vx::test
