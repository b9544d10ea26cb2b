#include "program/due_tasks/check_clock_and_exit_codes.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "program/common/command_line.h"
#include "program/common/exit_code_queue.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"

namespace vx {
namespace {

// A forward jump of more than this many days is taken for a wrong system date.
constexpr std::int32_t kClockJumpDays = 3;

void StartBackup(TaskRoadServices& services) {
  platform::ProcessRequest backup;
  backup.argv = CommandArgv({"KVBBACK.EXE", "VX97.TPS"}, services.helper_folder);
  const platform::StartResult started = services.processes->Start(backup);
  if (started) services.processes->Release(started.handle);
}

void WarnOfClockJump(TaskRoadServices& services, std::int32_t today, std::int32_t now) {
  MessageBoxRequest box;
  box.caption = "Warning";
  box.icon = MessageIcon::Exclamation;
  box.text =
      "Warning!\r\rYou have set the system date forward more than 3 days.\r\r"
      "Tasks scheduled prior to " +
      FORMAT(today, "@D17") + " " + FORMAT(now, "@T7") +
      " will be executed immediately.  We recommend that you make a backup or change the "
      "date back to " +
      FORMAT(GLO_LASTCHECKDATE, "@D17") + " before pressing OK (on this warning message).";
  services.messages->Show(box);
}

void LogEndedPrograms(TaskRoadServices& services) {
  for (long i = ExitCodeQueue.Records(); i >= 1; --i) {
    ExitCodeQueue.Get(i);
    const platform::ProcessHandle handle = ExitCodeQueue.buffer.ProcessHandle;
    const long code = services.processes->ExitCode(handle).value_or(-1);
    if (code == platform::STILL_ACTIVE) continue;
    TaskLog("Code " + std::to_string(code) + " for " + ExitCodeQueue.buffer.ProgramName.str(),
            "Program Exit");
    services.processes->Release(handle);
    ExitCodeQueue.Delete();
  }
}

}  // namespace

void CheckClockDate() {
  TaskRoadServices& services = CurrentTaskRoadServices();
  const std::int32_t today = TODAY();
  if (today != GLO_LASTCHECKDATE) {
    // A last date of 0 was never set: nothing to compare with.
    if (GLO_LASTCHECKDATE != 0 && today - GLO_LASTCHECKDATE > kClockJumpDays) {
      StartBackup(services);
      WarnOfClockJump(services, today, CLOCK());
    }
    GLO_LASTCHECKDATE = today;
  }
}

void CheckClockAndExitCodes() {
  CheckClockDate();
  if (GLO_USELOG != 0 && GLO_LOGEXITCODES != 0) LogEndedPrograms(CurrentTaskRoadServices());
}

}  // namespace vx
