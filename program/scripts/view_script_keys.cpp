#include "program/scripts/view_script_keys.h"

#include "platform/program_folder.h"
#include "program/common/view_text_file.h"

namespace vx {

void ViewAscii_ScriptKeys(const std::filesystem::path& folder) {
  TextFileView view;
  view.procedure = "ViewAscii:ScriptKeys";
  view.title = "List of Key Abbreviations";
  view.heading = "Key Abbreviations";
  view.file = (folder.empty() ? platform::RunningProgramFolder() : folder) / "KEYCODES.TXT";
  ViewTextFile(view);
}

}  // namespace vx
