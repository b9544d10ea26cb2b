// Advance warnings: phase 1 of Main's tick tells the user ahead of a task's run, once, when the
// task's warning moment has come.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Walks SCHEDULE by its (warned, warning date, warning time) key and shows the warning of every
// task whose warning moment has passed, marking each as warned first. A task set to skip its
// next run is marked and logged, but not shown; a disabled task (a history copy, a task put
// aside) is marked only. Tasks without a warning date are passed over.
void CheckAdvanceWarnings();

// The warning of the task in SCH: its due date and time, then what it will do (the message, the
// command, or both).
std::string AdvanceWarningText();

// Shows one warning of the task in SCH, variables expanded: by the external message program
// when that is chosen and it starts, else in a message box on this thread.
void ShowAdvanceWarning(std::string_view text);

}  // namespace vx
