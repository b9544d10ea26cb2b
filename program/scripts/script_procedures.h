// The script routines as the program's windows call them: on the data library's tables, with
// the window runtime's message boxes, file dialogs and progress windows.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vx {

// Each works on the current task (the SCH buffer of the calling thread).
bool DeleteScript();
void ParseScriptText(std::string_view text);
std::string WriteScriptText();
void ExportScript();
void ImportScript();
void ClearAllScriptItems(const std::function<void()>& clear_template);

}  // namespace vx
