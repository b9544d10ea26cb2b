// A task's message as one value: what a due task, "Show Message Now" and a script's "Display
// Message" step hand to the frame to be shown (show_task_message.h shows it).
#pragma once

#include <string>

namespace vx {

struct TaskMessage {
  std::string title;
  std::string text;
  std::string alarm_file;  // blank: no alarm
};

}  // namespace vx
