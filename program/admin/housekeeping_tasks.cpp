#include "program/admin/housekeeping_tasks.h"

#include <cstdint>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "framework/relation_manager.h"
#include "program/due_tasks/user_task_state.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/text_functions.h"

namespace vx {

namespace {

// In multi-user mode a task is disabled or completed for one user, by their own row: that row
// goes, and the team's task stays for the others (as a run that finishes it for the user does).
HousekeepingResult RemoveFlaggedUserRows(TaskFlag flag) {
  HousekeepingResult result;
  if (ACCESS_VXUSD->Open() != 0) {
    result.failed = 1;
    result.error = ERROR();
    return result;
  }
  const std::string user = UPPER(TaskStateUser());
  std::vector<std::int32_t> ids;
  US = VXUSD_RECORD{};
  US.USER = TaskStateUser();
  ACCESS_VXUSD->SetFromBuffer(US_KEYUSER);
  while (ACCESS_VXUSD->TryNext() == 0 && UPPER(CLIP(US.USER.str())) == user) {
    if ((flag == TaskFlag::Disabled ? US.DISABLED : US.COMPLETED) != 0) ids.push_back(US.ID);
  }
  for (const std::int32_t id : ids) {
    US = VXUSD_RECORD{};
    US.ID = id;
    US.USER = TaskStateUser();
    if (ACCESS_VXUSD->TryFetch(US_KEYID) != 0) continue;  // gone meanwhile
    if (const int code = ACCESS_VXUSD->Delete(); code == 0) {
      ++result.removed;
    } else if (result.failed++ == 0) {
      result.error = ERROR();
    }
  }
  ACCESS_VXUSD->Close();
  return result;
}

}  // namespace

HousekeepingResult RemoveFlaggedTasks(TaskFlag flag) {
  if (PerUserTaskState()) return RemoveFlaggedUserRows(flag);
  HousekeepingResult result;
  if (RELATE_SCHEDULE->Open() != 0) {
    result.failed = 1;
    result.error = ERROR();
    return result;
  }
  // Collected first: deleting while walking a key would skip or revisit records.
  std::vector<std::int32_t> ids;
  ACCESS_SCHEDULE->Set(SCH_KEYDATEENABLED);
  while (ACCESS_SCHEDULE->TryNext() == 0) {
    if ((flag == TaskFlag::Disabled ? SCH.Disabled : SCH.Completed) != 0) ids.push_back(SCH.ID);
  }
  for (const std::int32_t id : ids) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    if (ACCESS_SCHEDULE->TryFetch(SCH_KEYID) != 0) continue;  // gone meanwhile
    if (const int code = RELATE_SCHEDULE->Delete(false); code == 0) {
      ++result.removed;
    } else {
      if (result.failed++ == 0)
        result.error = code == RelationManager::kRestricted ? "restricted" : ERROR();
    }
  }
  RELATE_SCHEDULE->Close();
  return result;
}

HousekeepingResult ClearToDoList() {
  HousekeepingResult result;
  if (RELATE_TODO->Open() != 0) {
    result.failed = 1;
    result.error = ERROR();
    return result;
  }
  storage::File& file = ACCESS_TODO->file();
  std::vector<std::int64_t> positions;
  ACCESS_TODO->Set();
  while (ACCESS_TODO->TryNext() == 0) positions.push_back(file.Position());
  storage::LOGOUT(5);
  for (const std::int64_t position : positions) {
    int code = file.GetPosition(position);
    if (code == storage::kNoError) code = file.Delete();
    if (code != storage::kNoError && code != storage::kRecordNotFound) {
      result.failed = static_cast<long>(positions.size());
      result.error = ERROR();
      break;
    }
    ++result.removed;
  }
  if (result.failed != 0) {
    storage::ROLLBACK();
    result.removed = 0;
  } else if (storage::COMMIT() != 0) {
    result.failed = static_cast<long>(positions.size());
    result.removed = 0;
    result.error = ERROR();
  }
  RELATE_TODO->Close();
  return result;
}

void Process_AssignCurrentUserToAllTasks() {
  if (ACCESS_SCHEDULE->Open() != 0) return;
  if (ACCESS_VXUSD->Open() != 0) {
    ACCESS_SCHEDULE->Close();
    return;
  }
  ProcessWindow progress("Process:AssignCurrentUserToAllTasks", "Processing Records");
  progress.Open(static_cast<std::size_t>(ACCESS_SCHEDULE->file().Records()));
  // The rows are made from the tasks first, then added: no add runs inside the walk.
  std::vector<VXUSD_RECORD> rows;
  ACCESS_SCHEDULE->Set(SCH_KEYDATE);
  while (ACCESS_SCHEDULE->TryNext() == 0) {
    progress.Advance();
    if (SCH.Date == 0 || SCH.Time == 0) continue;
    rows.push_back(NewUserRow(SCH));
  }
  // A user's existing row for a task refuses the add on its unique key and stays as it is.
  for (const VXUSD_RECORD& row : rows) {
    US = row;
    ACCESS_VXUSD->TryInsert();
  }
  progress.Close();
  ACCESS_VXUSD->Close();
  ACCESS_SCHEDULE->Close();
}

}  // namespace vx
