// A database that cannot be written (marked read-only, or on a read-only disk) is read as it
// stands; the scheduler stays inactive on it, since a task run from it could not store its next
// run and would run again for the same due moment after a restart.
#pragma once

namespace vx {

// True when the schedule's data file cannot be written. The first time it is found so, the
// user is told once for the process.
bool ScheduleCannotBeStored();

}  // namespace vx
