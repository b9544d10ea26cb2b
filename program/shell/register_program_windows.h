// Registers the window procedures Main starts from its menus, toolbar and tray (by name, through
// RegisterMainProcedure). Called once at start-up, before Main opens.
#pragma once

namespace vx {

void RegisterProgramWindows();

}  // namespace vx
