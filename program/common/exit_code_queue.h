// Programs started for a task whose exit code is still to be written to the event log.
#pragma once

#include "platform/process.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

struct ExitCodeQueue_RECORD {
  platform::ProcessHandle ProcessHandle = 0;  // held until the exit code has been logged
  String<80> ProgramName;
};

// Filled by the task launcher while exit codes are logged, emptied by the clock check.
extern Queue<ExitCodeQueue_RECORD> ExitCodeQueue;

}  // namespace vx
