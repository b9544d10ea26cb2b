// The event-log writer the task road and the script engine write their lines through ("Run
// Program", "Message", "Overdue task skipped", "Program Exit", the script trace, ...): text and
// label, as the event log stores them.
// The program installs the event log's writer at start; tests install a recorder (the task_log
// member of common/program_services.h). Until one is installed, lines are dropped.
#pragma once

#include <string_view>

namespace vx {

// Writes one line through the installed writer.
void TaskLog(std::string_view text, std::string_view label);

}  // namespace vx
