#include "program/shell/hot_key_actions.h"

#include <chrono>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/sys_hot_key_class.h"
#include "framework/file_manager.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/run_task_program.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

void HotKeyTypeText(const HotKeyFrame& frame) {
  const std::string type = UPPER(HOT.TextType.clipped());
  const std::string text = HOT.Text.str();
  // The hot-key editor stores "Copy" for this action: both names put the text on the clipboard.
  if (type == "COPYPASTE" || type == "COPY") {
    SETCLIPBOARD(text);
  } else if (type == "TYPE" || type == "PASTE") {
    const bool paste = type == "PASTE";
    if (paste) SETCLIPBOARD(text);
    frame.type_text(paste ? text : ReplaceAll(text, text.size(), "\r\n", "\r", false), paste);
  } else {
    MESSAGE("Unknown Text Automation:  " + HOT.TextType.str(),
            "Hot-Key " + HOT.HotKey.str() + " Error", MessageIcon::Exclamation);
  }
}

void HotKeyRunTask() {
  SleepFor(std::chrono::milliseconds(200));
  SCH = SCHEDULE_RECORD{};
  SCH.ID = HOT.ID;
  if (ACCESS_SCHEDULE->TryFetch(SCH_KEYID) != 0) {
    MESSAGE("Unable to retrieve associated task.", "Hot-Key " + HOT.HotKey.str() + " Error",
            MessageIcon::Exclamation);
    return;
  }
  RunTaskProgram(DueTaskProgram(HOT.ID, "N/A", ""));
}

// The action of the hot key in the SYSHOTKEYS buffer.
void HotKeyAction(const HotKeyFrame& frame) {
  if (HOT.Active == 0) return;
  const std::string action(HOT.Action.clipped());
  if (action == "Text") {
    HotKeyTypeText(frame);
  } else if (action == "Task") {
    HotKeyRunTask();
  } else {
    MESSAGE("Unknown Action:  " + action, "Hot-Key " + HOT.HotKey.str() + " Error",
            MessageIcon::Exclamation);
  }
}

}  // namespace

void LoadHotKeys(SYSHOTKEYCLASS& keys) {
  while (keys.RegisteredKeys.Records() > 0 && keys.RegisteredKeys.Get(1) == 0) {
    const std::string text(keys.RegisteredKeys.buffer.text.clipped());
    const long before = keys.RegisteredKeys.Records();
    keys.REMOVEKEY(text);
    if (keys.RegisteredKeys.Records() == before) break;
  }
  keys.ADDKEY("WinW");
  if (ACCESS_SYSHOTKEYS->Set() != 0) return;
  while (ACCESS_SYSHOTKEYS->TryNext() == 0) {
    if (HOT.Active != 0) keys.ADDKEY(HOT.HotKey.clipped());
  }
}

std::vector<std::string> RefusedHotKeys(const SYSHOTKEYCLASS& keys) {
  std::vector<std::string> names;
  for (long i = 1; i <= keys.FailedKeys.Records(); ++i)
    names.emplace_back(keys.FailedKeys[i].text.clipped());
  return names;
}

std::string RefusedHotKeysMessage(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += "\r";
    text += "The hot key " + name +
            " cannot be used: another program holds it, or the keyboard has no such key.";
  }
  return text;
}

void TakeHotKeyPress(SYSHOTKEYCLASS& keys, const HotKeyFrame& frame) {
  if (keys.PressedKeys.Get(1) != 0) return;
  const HotKeyEntry pressed = keys.PressedKeys.buffer;
  keys.PressedKeys.Delete();
  std::string name(pressed.text.clipped());
  if (pressed.code <= 0) name = "Unknown: " + name;
  if (pressed.code > 0 && pressed.code == keys.TRNKEYNAME("WinW")) {
    frame.restore_frame();
    return;
  }
  HOT = SYSHOTKEYS_RECORD{};
  HOT.HotKey = name;
  if (ACCESS_SYSHOTKEYS->TryFetch(HOT_K_HOTKEY) != 0) {
    MESSAGE("Error retrieving hot key.", name, MessageIcon::Exclamation);
    frame.reload_keys();
    return;
  }
  HotKeyAction(frame);
}

std::string ReplaceAll(std::string_view text, std::size_t size, std::string_view find,
                       std::string_view replacement, bool ignore_case) {
  std::string out(text);
  if (find.empty()) return std::string(CutUtf8(out, size));
  const std::string wanted = ignore_case ? UPPER(find) : std::string(find);
  for (std::size_t at = out.size(); at-- > 0;) {
    if (at + find.size() > out.size()) continue;
    const std::string_view here = std::string_view(out).substr(at, find.size());
    if ((ignore_case ? UPPER(here) : std::string(here)) == wanted) {
      out = out.substr(0, at) + std::string(replacement) + out.substr(at + find.size());
    }
  }
  return std::string(CutUtf8(out, size));
}

}  // namespace vx
