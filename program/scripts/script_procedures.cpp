#include "program/scripts/script_procedures.h"

#include "program/script_engine/delete_script.h"
#include "program/script_engine/parse_script_text.h"
#include "program/script_engine/script_tables.h"
#include "program/script_engine/write_script_text.h"
#include "program/scripts/script_file_commands.h"
#include "runtime/window/dialogs.h"

namespace vx {

bool DeleteScript() {
  ScriptingTableSteps steps;
  return DeleteScript(steps);
}

void ParseScriptText(std::string_view text) {
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  ParseScriptText(text, steps, messages);
}

std::string WriteScriptText() {
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  return WriteScriptText(steps, messages);
}

void ExportScript() {
  ScriptingTableSteps steps;
  ExportTableFile file;
  WindowMessageReporter messages;
  ExportScript(steps, file, messages, AskFileByDialog);
}

void ImportScript() {
  ScriptingTableSteps steps;
  ExportTableFile file;
  WindowMessageReporter messages;
  ImportScript(steps, file, messages, AskFileByDialog);
}

void ClearAllScriptItems(const std::function<void()>& clear_template) {
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  ClearAllScriptItems(steps, messages, clear_template);
}

}  // namespace vx
