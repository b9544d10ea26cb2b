// Choosing the program of a task or of a script step by file dialog.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Asks for the program of the task in the SCHEDULE buffer, starting in the task's folder: the
// file becomes SCH.Command and, when the task has no folder yet, its folder SCH.Path.
void SelectTaskProgram();
// The same for the script step in the SCRIPTING buffer (the template step in the
// SCRIPTTEMPLATEDETAILS buffer while the template list is open).
void SelectScriptProgram();

// The folder of a chosen file: everything before its last "/" or "\" (no trailing separator);
// empty when the name has none.
std::string FolderOf(std::string_view file);

}  // namespace vx
