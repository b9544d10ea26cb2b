#include "program/due_tasks/user_task_state.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "runtime/text_functions.h"

namespace vx {

bool PerUserTaskState() { return MULTIUSER != 0 && !TaskStateUser().empty(); }

std::string TaskStateUser() { return CLIP(GLO_USER.str()); }

void OverlayUserState(const VXUSD_RECORD& user, SCHEDULE_RECORD& task) {
  task.Date = user.DATE;
  task.Time = user.TIME;
  task.LastRunDate = user.LASTRUNDATE;
  task.LastRunTime = user.LASTRUNTIME;
  task.SkipNextTime = user.SKIPNEXTTIME;
  task.AdvanceWarnDate = user.ADVANCEWARNDATE;
  task.AdvanceWarnTime = user.ADVANCEWARNTIME;
  task.AdvanceWarned = user.ADVANCEWARNED;
  task.Disabled = user.DISABLED;
  task.Completed = user.COMPLETED;
  task.Skipped = user.SKIPPED;
}

void TakeUserState(const SCHEDULE_RECORD& task, VXUSD_RECORD& user) {
  user.DATE = task.Date;
  user.TIME = task.Time;
  user.LASTRUNDATE = task.LastRunDate;
  user.LASTRUNTIME = task.LastRunTime;
  user.SKIPNEXTTIME = task.SkipNextTime;
  user.ADVANCEWARNDATE = task.AdvanceWarnDate;
  user.ADVANCEWARNTIME = task.AdvanceWarnTime;
  user.ADVANCEWARNED = task.AdvanceWarned;
  user.DISABLED = task.Disabled;
  user.COMPLETED = task.Completed;
  user.SKIPPED = task.Skipped;
}

VXUSD_RECORD NewUserRow(const SCHEDULE_RECORD& task) {
  VXUSD_RECORD row;
  row.USER = TaskStateUser();
  row.ID = task.ID;
  TakeUserState(task, row);
  row.LASTRUNDATE = 0;
  row.LASTRUNTIME = 0;
  return row;
}

int AddUserRow(const SCHEDULE_RECORD& task) {
  if (const int code = ACCESS_VXUSD->Open(); code != 0) return code;
  const VXUSD_RECORD kept = US;
  US = NewUserRow(task);
  const int code = ACCESS_VXUSD->Insert();
  US = kept;
  ACCESS_VXUSD->Close();
  return code;
}

std::map<std::int32_t, VXUSD_RECORD> CurrentUserTaskRows() {
  std::map<std::int32_t, VXUSD_RECORD> rows;
  if (ACCESS_VXUSD->Open() != 0) return rows;
  const VXUSD_RECORD kept = US;
  US = VXUSD_RECORD{};
  US.USER = TaskStateUser();
  storage::File& file = ACCESS_VXUSD->file();
  if (file.SetEqual(US_KEYUSER, {VXUSD_TABLE().FieldIndex("USER")}) == 0) {
    while (file.Next() == 0) rows.emplace(US.ID, US);
  }
  US = kept;
  ACCESS_VXUSD->Close();
  return rows;
}

}  // namespace vx
