// The database maintenance program's window. VX starts the program and ends itself: the window
// waits until no program holds the data folder (the current folder) open, then checks every
// data file, rebuilds its keys and compacts it, showing its progress, lists the tables with
// their record counts, says whether all is sound, and offers to start VX again.
#pragma once

#include <filesystem>

namespace vx {

namespace platform {
class ProcessLauncher;
}

// Runs the window on the calling runtime thread until it is closed; answers whether the
// maintenance ran and found every file sound. "Start VX" starts `vx_program` in the folder.
bool DatabaseMaintenance(platform::ProcessLauncher& launcher,
                         const std::filesystem::path& vx_program);

}  // namespace vx
