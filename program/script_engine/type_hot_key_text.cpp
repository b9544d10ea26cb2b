#include "program/script_engine/type_hot_key_text.h"

#include <chrono>

#include "program/script_engine/send_keys.h"
#include "runtime/threads.h"

namespace vx {

void TypeHotKeyText(std::string_view text, bool paste) {
  for (int key = 16; key <= 19; ++key) KeyUp(key);  // Shift, Ctrl, Alt, Pause
  SleepFor(std::chrono::milliseconds(200));
  // A modifier of the hot key still held would turn the typed letters into shortcuts in the
  // window in front (Ctrl+W closing it, say): give the user a moment more to let go.
  for (int wait = 0; wait < 36 && ScriptKeyboard().ModifiersHeld(); ++wait) {
    SleepFor(std::chrono::milliseconds(50));
  }
  if (paste) {
    PressKeyCode(KeyNameToCode("CtrlV"));
  } else {
    TypeText(text);
  }
}

}  // namespace vx
