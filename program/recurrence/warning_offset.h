// The advance warning travels with a task's due moment: whoever moves SCH.Date/SCH.Time on makes
// the warning an offset from the moment first and a moment again after, so that a warning given
// a day and an hour ahead stays a day and an hour ahead of the new run.
#pragma once

namespace vx {

// Turns SCH.AdvanceWarnDate/Time into offsets from SCH.Date/Time; answers whether there is a
// warning (either part set).
bool MakeWarningRelative();
// Turns the offsets back into a moment, from the task's new date and time.
void MakeWarningAbsolute();

}  // namespace vx
