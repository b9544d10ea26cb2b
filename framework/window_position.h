// A window's position and size kept in an INI file (".\POSITION.INI") under the procedure's
// name, so that each window opens where the user left it.
#pragma once

#include <string_view>

#include "runtime/ini_file.h"

namespace vx {

class Window;

// Stores position and size under `name` unless the window is maximised, iconised or hidden
// (then nothing is written, so the next opening uses the last normal place).
void SaveWindowPlace(IniFile& ini, std::string_view name, const Window& window);
// Restores what SaveWindowPlace stored; answers false (window unchanged) when nothing is stored.
bool FetchWindowPlace(const IniFile& ini, std::string_view name, Window& window);

}  // namespace vx
