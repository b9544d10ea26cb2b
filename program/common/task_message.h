// A task's message as one value: what a due task, a task performed from the task lists and a
// script's "Display Message" step hand on to be shown (due_tasks/show_task_message.h shows it).
#pragma once

#include <string>

namespace vx {

struct TaskMessage {
  std::string title;
  std::string text;
  std::string alarm_file;  // blank: no alarm
};

}  // namespace vx
