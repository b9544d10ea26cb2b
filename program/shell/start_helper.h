// Starting one of our helper programs (the backup and maintenance programs) from the program's
// own commands, as opposed to a task's.
#pragma once

#include <filesystem>

#include "program/common/command_line.h"

namespace vx {

// Starts the helper without waiting for it and without a line in the event log (it is no task);
// says so in a box when it cannot be started. Answers whether it started.
bool StartHelperProgram(const CommandSplit& command);

// Where the helper a command calls by its short name ("VX_DBASE.EXE") is installed, for the user.
std::filesystem::path HelperProgramPath(const CommandSplit& command);

}  // namespace vx
