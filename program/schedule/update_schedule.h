// The task form: a task is created, changed, viewed, copied or deleted by a person.
#pragma once

namespace vx {

// Edits the task in the SCHEDULE buffer by the thread's request (0 from Main's menu, or 1
// insert, the task as the caller primed it, 2 change, 3 delete, 4 view). GLO_PRIMETASKTYPE
// "Reschedule" makes a special event (a "Once" copy of the task); another task type makes a
// new task of that type paged as a wizard. An insert over a record that already has a schedule
// type is a copy: the script of task GLO_SCH_ID is copied onto it. Answers in GLOBALRESPONSE.
void UpdateSchedule();

}  // namespace vx
