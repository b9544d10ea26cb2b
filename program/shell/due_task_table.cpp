#include "program/shell/due_task_table.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"

namespace vx {

int DueTaskTableFiles::StartDateEnabledWalk() { return ACCESS_SCHEDULE->Set(SCH_KEYDATEENABLED); }

int DueTaskTableFiles::Next() { return ACCESS_SCHEDULE->Next(); }

int DueTaskTableFiles::TryUpdate() { return ACCESS_SCHEDULE->TryUpdate(); }

int DueTaskTableFiles::Update() { return ACCESS_SCHEDULE->Update(); }

int DueTaskTableFiles::DeleteTask() {
  RELATE_SCHEDULE->Open();
  const int deleted = RELATE_SCHEDULE->Delete(false);
  RELATE_SCHEDULE->Close();
  return deleted;
}

}  // namespace vx
