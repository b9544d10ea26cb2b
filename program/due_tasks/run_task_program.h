// Running a task's program: started as any program a task names (start_program.h), then the
// task's script queued behind it.
#pragma once

#include "program/common/start_program.h"

namespace vx {

// Starts the command as StartTaskProgram does and, once it has started (or was "N/A"), queues
// the script of request.task_id (none for 0) on the task road's script rows; true when the
// command started. A command that cannot be started, or a "VXCHAIN" command, queues no script.
bool RunTaskProgram(const TaskProgramRequest& request);

}  // namespace vx
