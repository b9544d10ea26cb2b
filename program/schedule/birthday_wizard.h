// The birthday and anniversary wizard: a person's birthday, an anniversary or another yearly
// event becomes a new reminder task in three pages (who and when, the texts, the alarm): a
// yearly message at 06:00 on the day, in "Reminders", whose message can show the age worked
// out on the day it is shown, with an optional advance warning and sound. Main starts it on a
// thread of its own; each open wizard keeps its own page.
#pragma once

namespace vx {

// Always makes a new task (the task form changes it later); leaves RequestCompleted or
// RequestCancelled in GLOBALRESPONSE. Asks for the system password first when one is set.
void Wizard_NewBirthdays();

}  // namespace vx
