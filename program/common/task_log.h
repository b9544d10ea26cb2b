// The event-log writer the task road and the script engine write their lines through ("Run
// Program", "Message", "Overdue task skipped", "Program Exit", the script trace, ...): text and
// label, as the event log stores them.
// The program installs the event log's writer at start; tests install a recorder. Until one is
// installed, lines are dropped.
#pragma once

#include <functional>
#include <string_view>

namespace vx {

using TaskLogWriter = std::function<void(std::string_view text, std::string_view label)>;

// Installs the writer (an empty function drops lines again).
void SetTaskLogWriter(TaskLogWriter writer);

// Writes one line through the installed writer.
void TaskLog(std::string_view text, std::string_view label);

}  // namespace vx
