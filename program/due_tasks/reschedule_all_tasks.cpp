#include "program/due_tasks/reschedule_all_tasks.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/user_task_state.h"
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

namespace {

// In multi-user mode the user re-dates their own state of each task (their VXUSD rows, by task
// id): each row is laid over its task, re-dated by the task's rule and stored back into the
// row. The team's tasks and the other users' rows stay as they are.
void RescheduleUserTasks(ProcessWindow& progress) {
  const std::map<std::int32_t, VXUSD_RECORD> rows = CurrentUserTaskRows();
  progress.Open(rows.size());
  if (ACCESS_VXUSD->Open() != 0) return;
  for (const auto& [id, row] : rows) {
    // The row as stored now (the due-task check may have run the task since it was listed).
    US = row;
    SCH.ID = id;
    if (ACCESS_VXUSD->TryFetch(US_KEYID) == 0 && ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == 0) {
      OverlayUserState(US, SCH);
      if (RedateTask(GLO_DATE, GLO_TIME)) {
        TakeUserState(SCH, US);
        if (ACCESS_VXUSD->Update() != 0) break;
      }
    }
    progress.Advance();
  }
  ACCESS_VXUSD->Close();
}

}  // namespace

void RescheduleAllTasks() {
  if (ACCESS_SCHEDULE->Open() != 0) return;
  ProcessWindow progress("RescheduleAllTasks", "Re-Dating Tasks");
  if (PerUserTaskState()) {
    RescheduleUserTasks(progress);
    progress.Close();
    ACCESS_SCHEDULE->Close();
    RefreshTaskLists();
    return;
  }
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
