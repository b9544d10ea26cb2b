// The passes behind the Housekeeping window's buttons, apart from the window.
#pragma once

#include <string>

namespace vx {

// What a removal pass did: records removed, records that could not be, and the first error.
struct HousekeepingResult {
  long removed = 0;
  long failed = 0;
  std::string error;
};

enum class TaskFlag { Disabled, Completed };

// Removes every task with the flag set. The tasks are collected first and then removed one by
// one through SCHEDULE's relations, each in one transaction with its script steps, contact
// links and per-user rows; a task that cannot be removed keeps all of them. In multi-user mode
// the flag is the current user's own (VXUSD): their rows with it go, the team's tasks stay.
HousekeepingResult RemoveFlaggedTasks(TaskFlag flag);

// Deletes every to-do item in one transaction: all or none.
HousekeepingResult ClearToDoList();

// Gives the current user (GLO_USER) a VXUSD row for every task with a date and a time, copied
// from the task; a row the user has already is left as it is. With a progress window.
void Process_AssignCurrentUserToAllTasks();

}  // namespace vx
