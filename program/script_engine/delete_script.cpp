#include "program/script_engine/delete_script.h"

#include "datadll/dictionary/schedule_table.h"
#include "framework/process_window.h"

namespace vx {

bool DeleteScript(ScriptSteps& steps) {
  // Rows with id 0 belong to no task; they are never swept up with "the current task's" steps.
  if (SCH.ID == 0) return true;
  ProcessWindow progress("DeleteScript", "Deleting Script");
  progress.Open(steps.CountSteps(SCH.ID));
  const bool deleted = steps.DeleteTaskSteps(SCH.ID, [&] { progress.Advance(); }).ok();
  progress.Close();
  return deleted;
}

}  // namespace vx
