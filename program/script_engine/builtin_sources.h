// What the built-in script names read beyond the clock: the program's date format and the
// focused window, both installed in the program services (common/program_services.h), so that
// tests fix them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/active_window.h"

namespace vx {

// A date through the installed formatter (script_dates); without one, date 0 as empty text and
// any other date in picture "@D3" ("DEC 10,2026").
std::string ScriptFormatDate(std::int32_t date);

// The source of the focused window's title (script_front); without one, the desktop's own (X11).
platform::ActiveWindow& ScriptActiveWindow();

}  // namespace vx
