// Where the running program is installed.
#pragma once

#include <filesystem>

namespace vx::platform {

// The folder of the running executable (from /proc/self/exe); the helper programs are installed
// beside it. Empty when the link cannot be read.
std::filesystem::path RunningProgramFolder();

}  // namespace vx::platform
