#include "program/common/task_log.h"

#include <utility>

namespace vx {
namespace {

TaskLogWriter& Writer() {
  static TaskLogWriter writer;
  return writer;
}

}  // namespace

void SetTaskLogWriter(TaskLogWriter writer) { Writer() = std::move(writer); }

void TaskLog(std::string_view text, std::string_view label) {
  if (Writer()) Writer()(text, label);
}

}  // namespace vx
