// The script wizard: the guided way to make a script task (a task whose work is a list of script
// steps) page by page, and, opened by the hot-key editor with a request, the task a hot key runs.
#pragma once

namespace vx {

// Main starts it without a request (a new script task); the hot-key editor hands it insert or
// change (hot-key mode: only the category page). After a completed insert the SCH buffer holds
// the new task.
void Wizard_Script();

}  // namespace vx
