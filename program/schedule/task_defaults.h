// The finishing touches of a task before it is saved, and the one-line description of its
// recurrence that the task lists show. Both work on the task in SCH.
#pragma once

#include <string>

namespace vx {

// Fills an empty command ("N/A" for script-only tasks), description and category ("General"),
// applies the task's exceptions (which may store the task itself), and stamps the user and the
// moment of the change.
void FillTaskDefaults();

// The task's recurrence in words, at most 80 characters: "Monthly", "Twice Monthly (-2)",
// "Days: 1st, Last: Mon", "Every 90 minute(s)", followed by " (exceptions exist)" when any
// exception is set.
std::string DescribeSchedule();

}  // namespace vx
