// What the built-in script names read beyond the clock: the program's date format and the
// focused window. Both are installable, so that tests fix them and the date-format setting can
// be wired in once the settings code provides it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/active_window.h"

namespace vx {

// A date as text in the program's date format (the user's chosen picture).
using ScriptDateFormatter = std::function<std::string(std::int32_t date)>;

// Installs the date formatter; an empty function restores the built-in one, which shows date 0
// as empty text and any other date in picture "@D3" ("DEC 10,2026").
void SetScriptDateFormatter(ScriptDateFormatter formatter);
std::string ScriptFormatDate(std::int32_t date);

// Installs the source of the focused window's title; nullptr restores the desktop's own (X11).
// The caller keeps the object alive while it is installed.
void SetScriptActiveWindow(platform::ActiveWindow* window);
platform::ActiveWindow& ScriptActiveWindow();

}  // namespace vx
