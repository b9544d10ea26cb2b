// The schedule services as the program runs them: the table services, with task copies added
// by AddScheduleHistory, dates in the user's format and messages shown by the error object.
#pragma once

#include "program/due_tasks/table_schedule_services.h"

namespace vx {

class ProgramScheduleServices : public TableScheduleServices {
 public:
  void AddTaskCopy() override;
  void ShowMessage(std::string_view text, std::string_view title) override;
  std::string FormatDate(std::int32_t date) override;
};

// Installs the program's one instance as the current schedule services.
void InstallProgramScheduleServices();

}  // namespace vx
