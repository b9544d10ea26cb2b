// The "Exceptions" window: edits the exception fields of the task in the SCHEDULE buffer (days
// the task must not fall on, what happens to an occurrence that does, a time window in which it
// must not run). Opened from the task editor and the script wizard; saves nothing itself, the
// caller saves the task.
#pragma once

namespace vx {

// Runs the window on the calling thread. "Cl&ose" writes the day checks to SCH.ExceptOther and
// answers RequestCompleted; closing any other way keeps SCH.ExceptOther and answers
// RequestCancelled (the other fields follow the controls as they are changed).
void UpdateSchedule_ExceptionsWindow();

}  // namespace vx
