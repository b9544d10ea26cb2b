#include "program/script_engine/start_script.h"

#include <string>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "framework/process_window.h"
#include "program/common/task_log.h"
#include "program/script_engine/script_files.h"
#include "program/script_engine/script_messages.h"
#include "program/script_engine/script_queue.h"

namespace vx {

int LoadTaskScript(std::int32_t task_id, ScriptSteps& steps, MessageReporter& messages) {
  // An "If Time Elapsed..." step of a task's script counts from the start of the whole script.
  const ScriptMoment start = ScriptStartMoment(ScriptQueue);
  ScriptMoment running = start;
  int queued = 0;
  const FileResult walk = steps.ForEachStep(task_id, [&](const SCRIPTING_RECORD& row) {
    SCRIPTING_RECORD step = row;
    AdvanceByStepDelay(step, running);
    ScriptQueue.buffer = MakeScriptEntry(step, running, start);
    ScriptQueue.Add();
    ++queued;
    return true;
  });
  if (!walk.ok()) {
    if (walk.positioning) {
      TaskLog("Set Error: " + walk.text, "Script");
    } else {
      ShowScriptMessage(messages, "Error", "Error executing script: " + walk.text);
    }
  }
  if (queued > 0) {
    ScriptQueue.buffer = ScriptEndEntry(running);
    ScriptQueue.Add();
  }
  return queued;
}

namespace {

// Entries 2 to the last of the queue: the running script without its head, the step being run.
void AppendRest(const Queue<ScriptQueueEntry>& queue, std::vector<ScriptQueueEntry>& into) {
  for (long i = 2; i <= queue.Records(); ++i) into.push_back(queue[i]);
}

}  // namespace

void StartScript(std::string_view mode, std::string_view file_name, ScriptFile& file,
                 MessageReporter& messages) {
  const char letter = mode.empty() ? ' ' : mode.front();
  ScriptMoment running = ScriptStartMoment(ScriptQueue);

  std::vector<ScriptQueueEntry> loaded;
  if (letter == 'A') AppendRest(ScriptQueue, loaded);

  if (file.Open(std::string(file_name)).ok()) {
    ProcessWindow progress("StartScript", "Importing Script Items");
    progress.Open(file.CountLines());
    file.ForEachLine([&](const EXPORT_RECORD& line) {
      SCRIPTING_RECORD step;
      if (ReadScriptFileLine(line, step) == ScriptFileLineKind::Unknown) {
        const std::string_view action = line.TYPE.clipped();
        step.Action = action;
        if (action != "Comment") {
          ShowScriptMessage(messages, "Import Error",
                            "Unrecognized script action: " + std::string(action));
        }
      }
      step.ID = SCH.ID;
      const ScriptMoment base = running;
      AdvanceByStepDelay(step, running);
      loaded.push_back(MakeScriptEntry(step, running, base));
      progress.Advance();
      return true;
    });
    file.Close();
    progress.Close();
  }

  if (letter == 'I') AppendRest(ScriptQueue, loaded);
  if (letter == 'A') loaded.push_back(ScriptEndEntry(running));

  ScriptQueue.Free();
  ScriptQueue.Reserve(loaded.size());
  for (const ScriptQueueEntry& entry : loaded) {
    ScriptQueue.buffer = entry;
    ScriptQueue.Add();
  }
}

}  // namespace vx
