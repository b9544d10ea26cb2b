// One run of the head of the active script queue, shared by the executor's action routines.
#pragma once

#include <string>

#include "program/script_engine/script_executor.h"
#include "program/script_engine/script_queue.h"

namespace vx {

struct ScriptStepRun {
  ScriptExecutor& executor;
  ScriptQueueEntry step;      // the head, as this run changes it
  ScriptQueueEntry original;  // the head as it stands in the queue
  // The step removed entries itself (a skipped block, "Exit Script"): whatever head is left
  // is the step that is logged and removed.
  bool queue_moved = false;
};

// Writes run.step over the head when the head is still the step being run (a message box or a
// pause lets other threads change the queue meanwhile).
void WriteBackStep(ScriptStepRun& run);

// Removes a failed condition's block: the head and every entry up to the "...End If" that
// closes it, nested conditions with their own blocks; the "...End If" stays at the head. An
// emptied queue keeps the step (there is nothing left to log).
void SkipScriptBlock(ScriptStepRun& run);

// The step's log line: the action, two blanks and the step's summary.
std::string ScriptStepLogText(const SCRIPTING_RECORD& step);

// The actions.
void DisplayMessageStep(ScriptStepRun& run);
void CloseProgramStep(ScriptStepRun& run);
void StartProgramStep(ScriptStepRun& run);
void WaitForProgramEndStep(ScriptStepRun& run);
void SendKeysStep(ScriptStepRun& run);
void SetFocusStep(ScriptStepRun& run);
void WaitStep(ScriptStepRun& run);
void IfValueStep(ScriptStepRun& run);
void IfWindowStep(ScriptStepRun& run);
void IfTimeElapsedStep(ScriptStepRun& run);

}  // namespace vx
