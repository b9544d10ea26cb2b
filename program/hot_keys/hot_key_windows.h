// The hot-key windows: the list of stored system hot keys (BrowseHotKeys) and the form that
// defines one (UpdateHotKeys), with the key text they store: the modifier words that are set,
// each followed by a dash, in the order "Win-", "Ctrl-", "Alt-", "Shift-", then the key name
// ("Ctrl-Alt-F5", "F12").
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vx {

void BrowseHotKeys();
void UpdateHotKeys();

struct HotKeyParts {
  bool win = false;
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  std::string key;  // the key name; empty when none is chosen
};

// Splits a stored key text into its modifiers and key name. The modifier words lead the text,
// each with or without its dash ("Ctrl-Alt-F5", "CtrlShiftA", the new record's "CtrlShift");
// a text without them ("F12", "PGDN") is a key name alone.
HotKeyParts SplitHotKeyText(std::string_view text);
// The key text of the parts: "Win-Ctrl-Alt-Shift-" as set, then the key name.
std::string ComposeHotKeyText(const HotKeyParts& parts);

// The key names the editor offers, in the order it lists them.
const std::array<std::string_view, 56>& HotKeyNames();

// After a hot key was deleted with the record of SYSHOTKEYS still in the buffer: deletes its
// task (with the task's steps) when the key ran one that was made only for it: the action is
// "Task", the task exists, has neither date nor time, and its category is "Hot Key". Answers
// whether a task was deleted.
bool DeleteHotKeyTask();

}  // namespace vx
