#include "program/scripts/delete_script.h"

#include "datadll/dictionary/schedule_table.h"

namespace vx {

bool DeleteScript(ScriptSteps& steps) {
  // Rows with id 0 belong to no task; they are never swept up with "the current task's" steps.
  if (SCH.ID == 0) return true;
  return steps.DeleteTaskSteps(SCH.ID).ok();
}

}  // namespace vx
