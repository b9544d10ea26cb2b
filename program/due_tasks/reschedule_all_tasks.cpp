#include "program/due_tasks/reschedule_all_tasks.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "program/due_tasks/due_task.h"
#include "program/recurrence/next_run_steps.h"
#include "program/recurrence/schedule_texts.h"
#include "program/recurrence/step_back.h"

namespace vx {

bool RedateTask(std::int32_t refDate, std::int32_t refTime) {
  if (SCH.Time == 0 || SCH.Date == 0 || SCH.Completed != 0 || SCH.TaskType == "Hot Key")
    return false;
  // A one-time task has no regular occurrence to move to; marking it completed would show a
  // task still to come as done.
  if (IsScheduleType(SCH, "Once")) return false;
  StepBackBeforeMoment(refDate, refTime);
  // The step back has already told the user about a task without a valid unit.
  ComputeNextRunOf(SCH, refDate, refTime, false);
  return true;
}

void RescheduleAllTasks() {
  if (ACCESS_SCHEDULE->Open() != 0) return;
  ProcessWindow progress("RescheduleAllTasks", "Re-Dating Tasks");
  progress.Open(static_cast<std::size_t>(ACCESS_SCHEDULE->file().Records()));
  if (ACCESS_SCHEDULE->Set(SCH_KEYID) == 0) {
    while (ACCESS_SCHEDULE->Next() == 0) {
      if (RedateTask(GLO_DATE, GLO_TIME) && ACCESS_SCHEDULE->Update() != 0) break;
      progress.Advance();
    }
  }
  progress.Close();
  ACCESS_SCHEDULE->Close();
  RefreshTaskLists();
}

}  // namespace vx
