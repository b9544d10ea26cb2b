// A task's run state for one user of a multi-user installation.
//
// In multi-user mode each person has their own copy of every task's run state in VXUSD (the
// next and last run, the skip of the next run, the advance warning, the disabled, completed and
// skipped switches), while the rest of the task (what it does, its rule) is the team's, in
// SCHEDULE. The due-task road works on SCH either way: the user's copy is laid over SCH when a
// task is read and taken back from SCH when it is written, so that each person's program runs
// each of that person's occurrences and none of anybody else's.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/user_tables.h"

namespace vx {

// Whether the program keeps per-user task state: multi-user mode with a current user.
bool PerUserTaskState();
// The current user as the tables key it (GLO:USER).
std::string TaskStateUser();

void OverlayUserState(const VXUSD_RECORD& user, SCHEDULE_RECORD& task);
void TakeUserState(const SCHEDULE_RECORD& task, VXUSD_RECORD& user);

// A new row of the current user for `task`, which takes the task's run state as it stands; it
// has no last run, since the user has not run the task yet.
VXUSD_RECORD NewUserRow(const SCHEDULE_RECORD& task);
// Stores NewUserRow(task) (VXUSD opened and closed here; the buffer US is left as it was) and
// answers the add's code; a failure is reported to the user.
int AddUserRow(const SCHEDULE_RECORD& task);

// The current user's rows of VXUSD by task id, read by one walk of the user's part of the user
// key (VXUSD opened and closed here; the buffer US is left as it was). Empty when the table
// cannot be opened.
std::map<std::int32_t, VXUSD_RECORD> CurrentUserTaskRows();

}  // namespace vx
