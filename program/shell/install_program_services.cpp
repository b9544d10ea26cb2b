#include "program/shell/install_program_services.h"

#include "program/common/task_log.h"
#include "program/common/write_log.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/organiser/send_email_message.h"
#include "program/script_engine/builtin_sources.h"
#include "program/script_engine/script_mail.h"
#include "program/windows/format_date.h"

namespace vx {

void InstallProgramServices() {
  InstallProgramScheduleServices();
  SetTaskLogWriter([](std::string_view text, std::string_view label) { WriteLog(text, label); });
  SetScriptDateFormatter([](std::int32_t date) { return FormatDate(date); });
  SetScriptMailSender(SendEmailMessage);
}

}  // namespace vx
