#include "program/schedule/program_pickers.h"

#include <filesystem>
#include <system_error>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "runtime/fixed_string.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// Programs on Linux carry no name ending of their own, so every file is listed first; scripts
// are the one kind a name ending tells.
constexpr std::string_view kFilter = "All Files|*|Scripts|*.sh;*.py;*.pl;*.rb";

// The dialog starts in `folder` (the program's own current folder is never changed: other
// threads rely on it); a chosen file goes to `command`, and its folder to a blank `path`.
void PickProgram(std::string_view title, String<255>& command, String<255>& path) {
  std::string file = path.blank() ? std::string() : path.str() + "/";
  if (!FILEDIALOG(title, file, kFilter)) return;
  command = file;
  if (path.blank()) path = FolderOf(file);
}

}  // namespace

std::string FolderOf(std::string_view file) {
  const std::size_t at = file.find_last_of("/\\");
  return at == std::string_view::npos ? std::string() : std::string(file.substr(0, at));
}

void SelectTaskProgram() {
  // The folder the program stood in is remembered, as the other pickers of the program do; the
  // dialog itself starts in the task's folder.
  std::error_code error;
  SAVEPATH = std::filesystem::current_path(error).string();
  PickProgram("Choose a Program to Start", SCH.Command, SCH.Path);
}

void SelectScriptProgram() {
  if (GLO_SCRIPTWIZARDMODE == 1) {
    PickProgram("Select a Program", VXD.Command, VXD.Path);
  } else {
    PickProgram("Select a Program", SCR.Command, SCR.Path);
  }
}

}  // namespace vx
