#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "program/hot_keys/hot_key_windows.h"

namespace vx {

bool DeleteHotKeyTask() {
  // A "Text" hot key runs no task, whatever its ID holds.
  if (HOT.ID == 0 || HOT.Action.clipped() != "Task") return false;
  if (RELATE_SCHEDULE->Open() != 0) return false;
  SCH = SCHEDULE_RECORD{};
  SCH.ID = HOT.ID;
  bool deleted = false;
  // Only a task the hot key's wizard made (no date, no time, category "Hot Key") goes with it.
  if (ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == 0 && SCH.Date == 0 && SCH.Time == 0 &&
      SCH.Category.clipped() == "Hot Key") {
    deleted = RELATE_SCHEDULE->Delete(false) == 0;
  }
  RELATE_SCHEDULE->Close();
  return deleted;
}

}  // namespace vx
