#include "program/common/task_log.h"

#include "program/common/program_services.h"

namespace vx {

void TaskLog(std::string_view text, std::string_view label) {
  const TaskLogWriter& writer = CurrentProgramServices().task_log;
  if (writer) writer(text, label);
}

}  // namespace vx
