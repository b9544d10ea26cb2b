#include "program/scripts/edit_script_as_text.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "framework/window_manager.h"
#include "program/script_engine/parse_script_text.h"
#include "program/script_engine/script_tables.h"
#include "program/script_engine/write_script_text.h"
#include "program/scripts/script_text_reference.h"
#include "program/scripts/script_text_search_replace.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "Script:EditAsText";

// OK stores the text as the task's script. The window closes whatever the parser reported: the
// lines it could read are stored, and the messages have told the user about the others.
class TextSaver final : public RecordSaver {
 public:
  TextSaver(const std::string& text, ScriptSteps& steps, MessageReporter& messages)
      : text_(text), steps_(steps), messages_(messages) {}
  Level Save(long) override {
    ParseScriptText(text_, steps_, messages_);
    return Level_Benign;
  }

 private:
  const std::string& text_;
  ScriptSteps& steps_;
  MessageReporter& messages_;
};

}  // namespace

void Script_EditAsText(ScriptSteps& steps, MessageReporter& messages) {
  std::string text = WriteScriptText(steps, messages);

  Window window("Scripting:  Edit As Text");
  Control& edit = window.Text(text);
  const int copy = window.Button("Copy to Clipboard");
  const int paste = window.Button("Replace with Clipboard");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  const int search = window.Button("Search/&Replace");
  const int reference = window.Button("Reference/Commands");
  window.SetCancelButton(cancel);

  TextSaver saver(text, steps, messages);
  WindowManager manager(window);
  const WindowProcedureScope scope(kProcedure, manager);
  scope.KeepPlaceWhenMoved();
  manager.OkControl = ok;
  manager.CancelControl = cancel;
  manager.Primary = &saver;
  manager.OnAccepted(copy, [&] { SETCLIPBOARD(CLIP(text)); });
  manager.OnAccepted(paste, [&] {
    text = CLIPBOARD();
    window.Display();
    window.Select(edit);
  });
  manager.OnAccepted(search, [&] {
    SetCurrentRequest(SelectRecord);
    Script_Text_SearchAndReplace();
    window.Display();
  });
  manager.OnAccepted(reference, [&] {
    Script_Text_Reference();
    window.Display();
  });
  manager.Run();
}

void Script_EditAsText() {
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  Script_EditAsText(steps, messages);
}

}  // namespace vx
