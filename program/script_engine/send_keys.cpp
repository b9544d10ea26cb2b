#include "program/script_engine/send_keys.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

#include "platform/key_press.h"
#include "program/common/program_services.h"
#include "program/script_engine/desktop_seam.h"
#include "program/script_engine/script_variables.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

using platform::kKeyAlt;
using platform::kKeyCtrl;
using platform::kKeyShift;
using platform::kKeyWin;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The named keys besides letters, digits, PAD0-PAD9 and F1-F12.
struct NamedKey {
  std::string_view name;
  int virtual_key;
};
constexpr std::array kNamedKeys = {
    NamedKey{"AST", 106},        NamedKey{"PLUS", 107},     NamedKey{"MINUS", 109},
    NamedKey{"DECIMAL", 110},    NamedKey{"SLASH", 111},    NamedKey{"BS", 8},
    NamedKey{"TAB", 9},          NamedKey{"ENTER", 13},     NamedKey{"PAUSE", 19},
    NamedKey{"CAPSLOCK", 20},    NamedKey{"CAPS", 20},      NamedKey{"ESC", 27},
    NamedKey{"SPACE", 32},       NamedKey{"PGUP", 33},      NamedKey{"PGDN", 34},
    NamedKey{"END", 35},         NamedKey{"HOME", 36},      NamedKey{"LEFT", 37},
    NamedKey{"UP", 38},          NamedKey{"RIGHT", 39},     NamedKey{"DOWN", 40},
    NamedKey{"PRINT", 44},       NamedKey{"INSERT", 45},    NamedKey{"DELETE", 46},
    NamedKey{"MOUSE", 1},        NamedKey{"MOUSELEFT", 1},  NamedKey{"MOUSERIGHT", 2},
    NamedKey{"MOUSECENTER", 3},  NamedKey{"MOUSELEFT2", 5}, NamedKey{"MOUSERIGHT2", 6},
    NamedKey{"MOUSECENTER2", 7},
};

// The virtual key of a bare key name (compared whole, in upper case); 0 for none.
int LookUpKey(std::string_view raw) {
  const std::string name = Upper(ClipView(raw));
  if (name.size() == 1 &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
    return name[0];
  }
  if (name.size() == 4 && name.starts_with("PAD") && name[3] >= '0' && name[3] <= '9')
    return 96 + (name[3] - '0');
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int n = 0;
    for (std::size_t i = 1; i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9') return 0;
      n = n * 10 + (name[i] - '0');
    }
    return n >= 1 && n <= 12 && name[1] != '0' ? 111 + n : 0;
  }
  for (const NamedKey& key : kNamedKeys) {
    if (key.name == name) return key.virtual_key;
  }
  return 0;
}

DesktopSeam<platform::KeyboardOutput>& Keyboard() {
  static DesktopSeam<platform::KeyboardOutput> seam(
      [] { return platform::MakeX11KeyboardOutput(); });
  return seam;
}

constexpr int kCapsLock = 20;

}  // namespace

long KeyNameToCode(std::string_view Name) {
  long modifiers = 0;
  std::string_view rest = Name;
  // Each prefix adds its modifier and the rest is read again; a loop instead of recursion, so
  // a long run of prefixes cannot exhaust a small thread stack.
  for (;;) {
    if (rest.empty()) return modifiers;
    const char first = rest.front();
    if (first == '+' || first == '^' || first == '%') {
      modifiers |= first == '+' ? kKeyShift : first == '^' ? kKeyCtrl : kKeyAlt;
      rest.remove_prefix(1);
      continue;
    }
    if (first == '-') {
      rest.remove_prefix(1);
      continue;
    }
    const std::string word = Upper(rest.substr(0, 3));
    if (word == "CTR") {
      modifiers |= kKeyCtrl;
      rest.remove_prefix(std::min<std::size_t>(4, rest.size()));
      continue;
    }
    if (word == "ALT") {
      modifiers |= kKeyAlt;
      rest.remove_prefix(3);
      continue;
    }
    if (word == "SHI") {
      modifiers |= kKeyShift;
      rest.remove_prefix(std::min<std::size_t>(5, rest.size()));
      continue;
    }
    break;
  }
  std::string name(rest);
  if (const auto at = name.find("KEY"); at != std::string::npos) name.erase(at, 3);
  // Modifiers before a word that names no key still are a code: the modifiers alone.
  return modifiers | LookUpKey(name);
}

void SendKeyText(std::string_view Text) {
  if (const long code = KeyNameToCode(Text); code != 0) {
    PressKeyCode(code);
    return;
  }
  const std::string value(ClipView(TranslateVariable(Text)));
  TypeText(!value.empty() && value != Text ? std::string_view(value) : Text);
}

void TypeText(std::string_view Text) {
  if (Text.empty()) return;
  platform::KeyboardOutput& keyboard = ScriptKeyboard();
  const bool caps_lock = keyboard.CapsLockOn();
  if (caps_lock) PressKeyCode(kCapsLock);
  for (std::size_t at = 0; at < Text.size();) {
    const bool carriage_return = Text[at] == '\r';
    const char32_t c = platform::NextUtf8Character(Text, at);
    if (carriage_return && at < Text.size() && Text[at] == '\n') ++at;  // CR LF is one line end
    if (const long code = keyboard.CharacterKey(c); code > 0) PressKeyCode(code);
  }
  if (caps_lock) PressKeyCode(kCapsLock);
}

void PressKeyCode(long Code) { platform::PressKeyCode(ScriptKeyboard(), Code); }

void KeyDown(int VirtualKey) { ScriptKeyboard().Key(static_cast<unsigned>(VirtualKey), true); }
void KeyUp(int VirtualKey) { ScriptKeyboard().Key(static_cast<unsigned>(VirtualKey), false); }

void PressModifiers(long Code, bool Release) {
  platform::PressModifiers(ScriptKeyboard(), Code, Release);
}

platform::KeyboardOutput& ScriptKeyboard() {
  return Keyboard().Get(CurrentProgramServices().script_keyboard);
}

}  // namespace vx
