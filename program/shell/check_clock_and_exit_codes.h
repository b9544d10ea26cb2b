// The fourth phase of Main's tick: a warning when the system date has jumped forward, and the
// event-log lines of programs that have ended.
#pragma once

namespace vx {

// When today lies more than three days after the last date seen (GLO_LASTCHECKDATE), starts
// the backup helper on the data file and warns that earlier tasks will run at once; any other
// change of date is taken silently. Then, while exit codes are logged, writes "Code <n> for
// <program>" (label "Program Exit") for each program of ExitCodeQueue that has ended, last
// first, and lets it go.
void CheckClockAndExitCodes();

// The date part of it alone: the warning and backup of a forward jump, and GLO_LASTCHECKDATE
// moved to today. The due-task check makes it before it looks for a due task, so that the
// warning comes before any task the jump made overdue runs.
void CheckClockDate();

}  // namespace vx
