// Re-dating every recurring task to its first regular occurrence after a moment the user
// chooses (GLO_DATE, GLO_TIME): the window that asks for the moment and the pass over SCHEDULE.
#pragma once

#include <cstdint>

namespace vx {

// The window "Re-Date Tasks": asks for a date and time at least a minute ahead, then runs
// RescheduleAllTasks on this thread and closes.
void RescheduleAllTasks_GetDate();

// Re-dates every task of SCHEDULE, in id order, for the moment in GLO_DATE/GLO_TIME, with a
// progress window; the open task lists are told to refresh. A failed store is reported and
// ends the pass. In multi-user mode the current user's own state of each task (VXUSD) is
// re-dated instead, and the team's tasks are left as they are.
void RescheduleAllTasks();

// Re-dates the task in the SCHEDULE buffer: steps it back before the moment, then on to its
// first occurrence after it. Undated and untimed tasks, completed ones, hot-key tasks and
// one-time tasks are left as they are (answers false); true when the buffer is to be stored.
bool RedateTask(std::int32_t refDate, std::int32_t refTime);

}  // namespace vx
