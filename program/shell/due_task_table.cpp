#include "program/shell/due_task_table.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"

namespace vx {

int DueTaskTableFiles::StartDateEnabledWalk() {
  // From the key's next value after (enabled, no date, no time): enabled, no date, time 1.
  // The buffer keeps the record it holds.
  const std::uint8_t disabled = SCH.Disabled;
  const std::int32_t date = SCH.Date;
  const std::int32_t time = SCH.Time;
  SCH.Disabled = 0;
  SCH.Date = 0;
  SCH.Time = 1;
  const int code = ACCESS_SCHEDULE->SetFromBuffer(SCH_KEYDATEENABLED);
  SCH.Disabled = disabled;
  SCH.Date = date;
  SCH.Time = time;
  return code;
}

// Quiet: a read that fails is told once by the check, not in a box at every tick.
int DueTaskTableFiles::Next() { return ACCESS_SCHEDULE->TryNext(); }

int DueTaskTableFiles::TryUpdate() { return ACCESS_SCHEDULE->TryUpdate(); }

int DueTaskTableFiles::Update() { return ACCESS_SCHEDULE->Update(); }

int DueTaskTableFiles::DeleteTask() {
  RELATE_SCHEDULE->Open();
  const int deleted = RELATE_SCHEDULE->Delete(false);
  RELATE_SCHEDULE->Close();
  return deleted;
}

}  // namespace vx
