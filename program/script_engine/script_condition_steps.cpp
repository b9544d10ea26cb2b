// The conditions of a script: "If Value...", "If Window..." and "If Time Elapsed...". A
// condition that holds is removed alone; one that fails removes its whole block.
#include <string>

#include "datadll/dictionary/globals.h"
#include "program/common/task_log.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/script_step_run.h"
#include "program/script_engine/script_step_wording.h"
#include "program/script_engine/script_trace.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/window_search.h"
#include "runtime/dates.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

std::string LowerAction(const ScriptQueueEntry& entry) {
  std::string action(entry.SCR.Action.clipped());
  for (char& c : action) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return action;
}

// Deletes the head and what follows up to the entry that closes the block; false when the
// queue ran empty first. A nested condition's block is skipped whole on the way.
bool SkipToBlockEnd() {
  for (;;) {
    ScriptQueue.Get(1);
    ScriptQueue.Delete();
    if (ScriptQueue.Records() == 0) return false;
    const std::string action = LowerAction(ScriptQueue[1]);
    if (action.starts_with("end") || action == "...end if") return true;
    if (action.starts_with("if ")) {
      if (!SkipToBlockEnd()) return false;
    }
  }
}

void LogSkipped(const SCRIPTING_RECORD& s, std::string_view mark) {
  TaskLog(std::string(s.Action.clipped()) + std::string(mark) + DescribeScriptStep(s), "Script");
}

}  // namespace

void SkipScriptBlock(ScriptStepRun& run) {
  ScriptTrace("Removing task items.", "Test failed");
  run.queue_moved = true;
  // The head must be the condition itself: a box shown meanwhile may have let the viewer take it.
  if (ScriptQueue.Records() == 0 || !SameScriptEntry(ScriptQueue[1], run.original)) {
    run.executor.KeepStep = true;
    return;
  }
  if (!SkipToBlockEnd()) run.executor.KeepStep = true;
}

void IfValueStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  if (CompareScriptValue(s.WaitForWindow.clipped(), s.WindowTitleToCheckFor.clipped(),
                         s.Command.clipped())) {
    LogSkipped(s, " *TRUE* ");
  } else {
    LogSkipped(s, " *FALSE* ");
    SkipScriptBlock(run);
  }
}

void IfWindowStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  run.executor.FoundWindow =
      FindWindowByTitle(s.FocusOnWindow.clipped(), s.WindowTitleToCheckFor.clipped());
  const bool found = run.executor.FoundWindow > 0;
  // "Exists" and "Window Exists" ask for the window; "Does not exist" and "Window Doesn't
  // Exist" for its absence.
  const bool exists = ContainsNoCase(s.WindowExistance.clipped(), "exists");
  if (found == exists) {
    ScriptTrace("Next item will be processed.  " + DescribeScriptStep(s), "Test Passed");
  } else {
    LogSkipped(s, " ");
    SkipScriptBlock(run);
  }
}

void IfTimeElapsedStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  // The deadline was stored at load time: its date in SecondsToWait, its time in TimeElapsed.
  const std::int32_t today = TODAY();
  const bool passed =
      today > s.SecondsToWait || (today == s.SecondsToWait && CLOCK() >= s.TimeElapsed);
  const bool greater = ContainsNoCase(s.IfTimeElapsed.clipped(), "greater");
  if (passed == greater) {
    LogSkipped(s, " ");
    SkipScriptBlock(run);
  } else {
    ScriptTrace("Next item will be processed.", "Test Passed");
  }
}

}  // namespace vx
