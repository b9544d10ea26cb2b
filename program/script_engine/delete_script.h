// Removing every script step of the current task (the task in the SCH buffer).
#pragma once

#include "program/script_engine/script_steps.h"

namespace vx {

// Deletes the steps of task SCH.ID in the progress window "Deleting Script" (its place kept
// under "DeleteScript"); a task id of 0 deletes nothing and shows nothing. Returns false when a
// delete failed (already reported by the table's error handling), so that callers do not go on to
// write a script over the remains of the old one.
bool DeleteScript(ScriptSteps& steps);

}  // namespace vx
