// The due-task road's SCHEDULE and MSGLINK operations on the data library's tables, through
// their file and relation managers on the calling thread.
#pragma once

#include "program/due_tasks/due_task.h"

namespace vx {

class DueTaskTableFiles final : public DueTaskTable {
 public:
  int StartDateEnabledWalk() override;
  int Next() override;
  int TryUpdate() override;
  int Update() override;
  // Through the task's relations, so that its script steps and per-user rows go with it.
  int DeleteTask() override;
};

}  // namespace vx
