#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "program/hot_keys/hot_key_windows.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// Takes `word` off the front of `rest` (letter case ignored) with the dash after it, if any.
bool TakeWord(std::string_view& rest, std::string_view word) {
  if (rest.size() < word.size() || UPPER(rest.substr(0, word.size())) != UPPER(word)) return false;
  rest.remove_prefix(word.size());
  if (!rest.empty() && rest.front() == '-') rest.remove_prefix(1);
  return true;
}

}  // namespace

HotKeyParts SplitHotKeyText(std::string_view text) {
  HotKeyParts parts;
  std::string_view rest = ClipView(text);
  // The words lead the text in any order; a key name never begins with one of them.
  for (bool found = true; found && !rest.empty();) {
    found = false;
    for (auto [word, flag] : {std::pair<std::string_view, bool*>{"Win", &parts.win},
                              {"Ctrl", &parts.ctrl},
                              {"Alt", &parts.alt},
                              {"Shift", &parts.shift}}) {
      if (!*flag && TakeWord(rest, word)) {
        *flag = true;
        found = true;
      }
    }
  }
  parts.key = std::string(rest);
  return parts;
}

std::string ComposeHotKeyText(const HotKeyParts& parts) {
  std::string text;
  if (parts.win) text += "Win-";
  if (parts.ctrl) text += "Ctrl-";
  if (parts.alt) text += "Alt-";
  if (parts.shift) text += "Shift-";
  return text + std::string(ClipView(parts.key));
}

const std::array<std::string_view, 56>& HotKeyNames() {
  static constexpr std::array<std::string_view, 56> kNames = {
      "A",     "B",     "C",     "D",     "E",    "F",      "G",    "H",      "I",    "J",
      "K",     "L",     "M",     "N",     "O",    "P",      "Q",    "R",      "S",    "T",
      "U",     "V",     "W",     "X",     "Y",    "Z",      "BS",   "DELETE", "DOWN", "END",
      "ENTER", "ESC",   "F1",    "F2",    "F3",   "F4",     "F5",   "F6",     "F7",   "F8",
      "F9",    "F10",   "F11",   "F12",   "HOME", "INSERT", "LEFT", "PGDN",   "PGUP", "PLUS",
      "PRINT", "RIGHT", "SLASH", "SPACE", "TAB",  "UP"};
  return kNames;
}

}  // namespace vx
