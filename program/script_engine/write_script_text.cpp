#include "program/script_engine/write_script_text.h"

#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "program/script_engine/script_messages.h"

namespace vx {

std::string WriteScriptText(ScriptSteps& steps, MessageReporter& messages) {
  const std::int32_t id = SCH.ID;
  if (id == 0) ShowScriptMessage(messages, "Error", "No task ID");
  std::vector<SCRIPTING_RECORD> rows;
  const FileResult read = steps.ForEachStep(id, [&](const SCRIPTING_RECORD& step) {
    rows.push_back(step);
    return true;
  });
  if (!read.ok()) ShowScriptMessage(messages, "Error", "Next script:  " + read.text);
  return ScriptStepsText(rows);
}

}  // namespace vx
