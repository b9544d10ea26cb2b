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

}  // namespace vx
