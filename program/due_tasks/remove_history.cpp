#include "program/due_tasks/remove_history.h"

#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/default_holidays.h"
#include "program/due_tasks/due_task_table.h"
#include "runtime/dates.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

constexpr int kMaxReads = 10000;

void ReportRemovalError() {
  MessageBoxRequest box;
  box.caption = "Cannot Remove History";
  box.text = ERROR() + " error while removing history";
  box.icon = MessageIcon::Exclamation;
  CurrentTaskRoadServices().messages->Show(box);
}

// Whether the disabled task in SCH has been kept long enough. A negative setting means "at
// once": every such task goes, whatever its date.
bool Expired(std::int32_t today) {
  return HISTORYEXPIRES < 0 || today >= static_cast<std::int64_t>(SCH.Date) + HISTORYEXPIRES;
}

}  // namespace

bool RemoveHistory() {
  const std::int32_t today = TODAY();
  if (HISTORYEXPIRES == 0 || CHECKEDHISTORY >= today) return false;
  CHECKEDHISTORY = today;

  if (ACCESS_SCHEDULE->Open() == 0) {
    // The disabled tasks, earliest date first.
    SCH = SCHEDULE_RECORD{};
    SCH.Disabled = 1;
    if (ACCESS_SCHEDULE->SetFromBuffer(SCH_KEYDATEENABLED) == 0) {
      DueTaskTableFiles tasks;
      for (int reads = 0; reads < kMaxReads; ++reads) {
        if (const int read = ACCESS_SCHEDULE->TryNext(); read != 0) {
          // A damaged task list is told once, by the due-task check, with its mend.
          const bool damage =
              read == storage::kDriverError && storage::MeansDamage(FILEERRORCODE());
          if (read != storage::kNoRecord && !damage) ReportRemovalError();
          break;
        }
        // Later tasks have later dates: none of them has expired either.
        if (!Expired(today)) break;
        if (SCH.Completed == 0 && REMOVEUNCOMPLETED == 0) continue;
        // The relations take the task's script steps and per-user rows with it, whether or
        // not scripts of completed tasks are kept, so that none is left without its task.
        if (tasks.DeleteTask() != 0) ReportRemovalError();
      }
    }
    ACCESS_SCHEDULE->Close();
  }
  TaskLog("Checked for tasks needing removal", "History");
  AddDefaultHolidaysOnce();
  return true;
}

}  // namespace vx
