// Registers the window procedures Main starts from its menus, toolbar and tray (by name, through
// RegisterMainProcedure). Called once at start-up, before Main opens.
#pragma once

#include <span>
#include <string_view>

namespace vx {

void RegisterProgramWindows();

// The procedures Main names that are not written yet: their items stay greyed. A name Main
// uses is either registered by RegisterProgramWindows or on this list (a test holds both ends),
// so a misspelt name cannot quietly grey an item. Writing a window moves its name from this
// list to a RegisterMainProcedure line.
std::span<const std::string_view> WindowsNotYetWritten();

}  // namespace vx
