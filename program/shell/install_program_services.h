// Connects the program's shared routines to the parts that reach them through a seam: the
// schedule services, the script engine's trace lines (to the event log) and its date format.
#pragma once

namespace vx {

// Called once at start-up, before the first task or script runs.
void InstallProgramServices();

}  // namespace vx
