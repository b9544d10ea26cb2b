// What the task lists offer for the task in the SCHEDULE buffer besides editing it: a one-time
// copy started after a delay, its message shown now, and the whole task performed now. They
// run on the calling list's thread and open no window of their own.
#pragma once

namespace vx {

// Asks for a delay (popup "5 minutes" .. "3 hours", "Cancel") and adds a one-time copy of the
// task due that long (and a second) from now, with the task's script steps. Afterwards the
// buffer holds the copy; when the copy cannot be stored it holds the task again, unchanged.
// In multi-user mode the copy is the current user's: they get their own row of it, due as the
// copy is, and the other users none. Answers true when a copy was added.
bool QuickStartTask();

// Shows the task's message as a due task's message is shown: the external program, a plain
// box while too many message threads run, else a message thread or the on-top window.
void ShowTaskMessage();

// Sounds the task's alarm, shows its message and starts its program with its script, whatever
// its flags say. Nothing is stored: no skip rule, last run, next run or history copy, neither
// in the team's task nor in any user's own row of it.
void PerformTaskNow();

}  // namespace vx
