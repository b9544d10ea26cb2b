#include "program/script_engine/script_executor.h"

#include <array>
#include <memory>

#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "program/recurrence/moments.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/file_actions.h"
#include "program/script_engine/script_mail.h"
#include "program/script_engine/script_messages.h"
#include "program/script_engine/script_step_run.h"
#include "program/script_engine/script_tables.h"
#include "program/script_engine/script_trace.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/start_script.h"
#include "runtime/dates.h"

namespace vx {
namespace {

MessageReporter& Messages() { return *CurrentTaskRoadServices().messages; }

// Deletes from the head up to the "**End**" that closes the running script, which then stays
// at the head to be logged and removed.
void ExitScriptStep(ScriptStepRun& run) {
  run.queue_moved = true;
  while (ScriptQueue.Records() > 0 && ScriptQueue[1].SCR.Action != kScriptEndAction) {
    ScriptQueue.Get(1);
    ScriptQueue.Delete();
  }
  if (ScriptQueue.Records() == 0) run.executor.KeepStep = true;
}

// DDE has no counterpart on this desktop: the channel never opens, as when no server answers,
// and the command is not sent.
void DdeStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  ScriptTrace("No DDE server answers " + std::string(s.DDEApplicationName.clipped()) + "|" +
                  std::string(s.DDEApplicationTopic.clipped()),
              "Debug");
}

void FileActionsStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  FileAction(s.DDEApplicationTopic.clipped(), s.DDEApplicationName.clipped(), s.Path.clipped(),
             s.Command.clipped(), s.DDEType.clipped());
}

void SendEmailStep(ScriptStepRun& run) {
  const long result = SendScriptEmail(run.step.SCR.EmailID, Messages());
  SetScriptVariable(std::to_string(result), "EmailExitCode");
}

void SetValueStep(ScriptStepRun& run) {
  SetScriptVariable(run.step.SCR.Command.clipped(), run.step.SCR.Path.clipped());
}

// The loaded script replaces the queue without the running step in every mode, so the step
// is logged here and the new head is left for its own tick.
void StartScriptStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD s = run.step.SCR;
  TaskLog(ScriptStepLogText(s), "Script");
  std::unique_ptr<ExportTableFile> own;
  ScriptFile* file = run.executor.File();
  if (file == nullptr) {
    own = std::make_unique<ExportTableFile>();
    file = own.get();
  }
  StartScript(s.Path.clipped(), s.Command.clipped(), *file, Messages());
  run.executor.KeepStep = true;
}

void NothingStep(ScriptStepRun&) {}

struct StepAction {
  std::string_view name;
  void (*run)(ScriptStepRun&);
};

// In the order the names are compared.
constexpr std::array kActions = {
    StepAction{"Display Message", DisplayMessageStep},
    StepAction{"Exit Script", ExitScriptStep},
    StepAction{"Close Program", CloseProgramStep},
    StepAction{"Start Program", StartProgramStep},
    StepAction{"Send Keystrokes", SendKeysStep},
    StepAction{"Send Keys", SendKeysStep},
    StepAction{"DDE (Dynamic Data Exchange)", DdeStep},
    StepAction{"DDE", DdeStep},
    StepAction{"Set Focus", SetFocusStep},
    StepAction{"File Actions", FileActionsStep},
    StepAction{"Send Email", SendEmailStep},
    StepAction{"Set Value", SetValueStep},
    StepAction{"If Value...", IfValueStep},
    StepAction{"Start Script", StartScriptStep},
    StepAction{"Wait", WaitStep},
    StepAction{"Wait for Program End", WaitForProgramEndStep},
    StepAction{"If Window...", IfWindowStep},
    StepAction{"If Time Elapsed...", IfTimeElapsedStep},
    StepAction{"...End If", NothingStep},
    StepAction{kScriptEndAction, NothingStep},
    // A remark in a script: nothing to do and nothing wrong.
    StepAction{"Comment", NothingStep},
};

}  // namespace

std::string ScriptStepLogText(const SCRIPTING_RECORD& step) {
  return std::string(step.Action.clipped()) + "  " + DescribeScriptStep(step);
}

void WriteBackStep(ScriptStepRun& run) {
  if (ScriptQueue.Records() == 0 || !SameScriptEntry(ScriptQueue[1], run.original)) return;
  ScriptQueue.Get(1);
  ScriptQueue.buffer = run.step;
  ScriptQueue.Put();
  run.original = run.step;
}

void ScriptExecutor::RunDueScriptStep() {
  if (ScriptQueue.Get(1) != 0) return;  // nothing queued: an in-memory queue has no other failure
  const ScriptQueueEntry& head = ScriptQueue[1];
  if (CompareDateTime(TODAY(), CLOCK(), head.DueDate, head.DueTime) > 0) ProcessScriptStep();
}

void ScriptExecutor::ProcessScriptStep() {
  KeepStep = false;
  if (ScriptQueue.Records() == 0) return;
  ScriptStepRun run{*this, ScriptQueue[1], ScriptQueue[1]};
  const std::string_view action = run.step.SCR.Action.clipped();
  bool known = false;
  for (const StepAction& entry : kActions) {
    if (entry.name == action) {
      entry.run(run);
      known = true;
      break;
    }
  }
  if (!known) {
    ShowScriptMessage(Messages(), "Script Error", "Invalid script option:  " + std::string(action));
  }
  if (KeepStep) {
    KeepStep = false;
    return;
  }
  if (ScriptQueue.Records() == 0) return;
  // The step that finishes is the head: the step itself, or what a skipped block left there.
  // A head that is no longer the step was removed by someone else (the running-script viewer)
  // while a box or a pause let other threads run; it is not removed a second time.
  if (!run.queue_moved && !SameScriptEntry(ScriptQueue[1], run.original)) return;
  TaskLog(ScriptStepLogText(ScriptQueue[1].SCR), "Script");
  ScriptQueue.Get(1);
  ScriptQueue.Delete();
}

}  // namespace vx
