#include "program/scripts/script_file_commands.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "datadll/dictionary/globals.h"
#include "program/script_engine/delete_script.h"
#include "program/script_engine/script_files.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// The file the user chose, with the current directory as it was before the dialog (a dialog
// may move it, and the data files are found through it); none when cancelled.
std::optional<std::string> AskForScriptFile(const AskFileName& ask, std::string_view title,
                                            bool save) {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  std::string name = GLO_EXPORTNAME;
  const bool chosen = ask && ask(title, name, kScriptFileFilter, save);
  if (!ec) std::filesystem::current_path(folder, ec);
  if (!chosen || name.empty()) return std::nullopt;
  return name;
}

}  // namespace

bool AskFileByDialog(std::string_view title, std::string& file, std::string_view filter,
                     bool save) {
  return FILEDIALOG(title, file, filter, save ? FILE_Save : 0);
}

void ExportScript(ScriptSteps& steps, ScriptFile& file, MessageReporter& messages,
                  const AskFileName& ask) {
  if (const std::optional<std::string> name = AskForScriptFile(ask, "Export to File", true)) {
    ExportScriptSteps(*name, steps, file, messages);
  }
}

void ImportScript(ScriptSteps& steps, ScriptFile& file, MessageReporter& messages,
                  const AskFileName& ask) {
  if (const std::optional<std::string> name =
          AskForScriptFile(ask, "Choose File to Import", false)) {
    ImportScriptSteps(*name, steps, file, messages);
  }
}

void ClearAllScriptItems(ScriptSteps& steps, MessageReporter& messages,
                         const std::function<void()>& clear_template) {
  MessageBoxRequest box;
  box.caption = "Clear All";
  box.text = "Delete all script items for the current task?";
  box.icon = MessageIcon::Question;
  box.buttons = BUTTON_YES | BUTTON_NO;
  box.default_button = BUTTON_YES;
  if (ValidAnswer(box, messages.Show(box)) != BUTTON_YES) return;
  if (GLO_SCRIPTWIZARDMODE != 0) {
    if (clear_template) clear_template();
  } else {
    DeleteScript(steps);
  }
}

}  // namespace vx
