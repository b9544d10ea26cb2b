#include "program/due_tasks/program_schedule_services.h"

#include "program/due_tasks/add_schedule_history.h"
#include "program/windows/format_date.h"
#include "program/windows/program_errors.h"

namespace vx {

void ProgramScheduleServices::AddTaskCopy() { AddScheduleHistory(SCH, SCH.Message.view()); }

void ProgramScheduleServices::ShowMessage(std::string_view text, std::string_view title) {
  ProgramErrors().Show(
      {std::string(title), std::string(text), MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK});
}

std::string ProgramScheduleServices::FormatDate(std::int32_t date) { return vx::FormatDate(date); }

void InstallProgramScheduleServices() {
  static ProgramScheduleServices services;
  SetScheduleServices(&services);
}

}  // namespace vx
