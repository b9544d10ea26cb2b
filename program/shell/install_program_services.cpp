#include "program/shell/install_program_services.h"

#include "program/common/write_log.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/organiser/send_email_message.h"
#include "program/windows/format_date.h"

namespace vx {

ProgramServices ProgramsOwnServices() {
  ProgramServices services;
  services.task_log = [](std::string_view text, std::string_view label) { WriteLog(text, label); };
  services.script_dates = [](std::int32_t date) { return FormatDate(date); };
  services.script_mail = SendEmailMessage;
  return services;
}

InstalledProgramServices::InstalledProgramServices() : services_(ProgramsOwnServices()) {
  InstallProgramScheduleServices();
}

}  // namespace vx
