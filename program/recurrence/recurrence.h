// The recurrence engine: whether a date fits a task's rule, the task's next run, and its
// exceptions. All three work on the task in the SCHEDULE record buffer (SCH).
#pragma once

#include <cstdint>

namespace vx {

// 1 when the date fits the recurrence of the task in SCH, else 0; date 0 stands for SCH.Date.
std::int32_t DateFitsSchedule(std::int32_t date);

// Moves SCH.Date/SCH.Time forward along the task's rule until the occurrence lies after the
// reference moment (more than one minute after it, except for minute and hour intervals), and
// sets SCH.Completed when the task has no further occurrence ("Once", past its end moment, or
// past the end of the calendar). Never writes the file. An "Every..." task with an unknown unit
// shows the "Invalid Units" message and moves to the day after the reference.
void ComputeNextRun(std::int32_t refDate, std::int32_t refTime);

// Checks the occurrence in SCH against the task's exceptions: moves it out of the excepted time
// window, marks an excepted day to be skipped, and for the "Next day"/"Previous day" shifts adds
// a linked "Once" copy on the nearest valid day. Returns 1 when it stored the task itself (the
// caller must not store it again), 0 when the caller is to store it.
std::int32_t ApplyTaskExceptions();

}  // namespace vx
