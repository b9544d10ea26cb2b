// The script list's file commands: export to and import from a file the user names, and
// "Clear All".
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// What the file dialogs of export and import offer.
inline constexpr std::string_view kScriptFileFilter = "Export File|*.vxs|Text|*.txt|All|*.*";

// Asks the user for a file: the dialog's title, the name (the starting name, replaced by the
// choice), the filter, and whether the file is to be saved. False when cancelled.
using AskFileName = std::function<bool(std::string_view title, std::string& file,
                                       std::string_view filter, bool save)>;

// The window runtime's file dialog (FILEDIALOG), as export and import ask for their file.
bool AskFileByDialog(std::string_view title, std::string& file, std::string_view filter, bool save);

// Asks "Export to File" for a file (starting from GLO_EXPORTNAME) and writes the current task's
// steps to it. The current directory is the same afterwards.
void ExportScript(ScriptSteps& steps, ScriptFile& file, MessageReporter& messages,
                  const AskFileName& ask);

// Asks "Choose File to Import" for a file and adds its steps to the current task.
void ImportScript(ScriptSteps& steps, ScriptFile& file, MessageReporter& messages,
                  const AskFileName& ask);

// Asks first, then deletes the current task's steps, or, while a script template is being
// edited (GLO_SCRIPTWIZARDMODE), calls clear_template instead.
void ClearAllScriptItems(ScriptSteps& steps, MessageReporter& messages,
                         const std::function<void()>& clear_template);

}  // namespace vx
