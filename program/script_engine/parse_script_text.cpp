#include "program/script_engine/parse_script_text.h"

#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "program/script_engine/delete_script.h"
#include "program/script_engine/read_script_line.h"
#include "program/script_engine/script_messages.h"
#include "runtime/fixed_string.h"

namespace vx {

void ParseScriptText(std::string_view text, ScriptSteps& steps, MessageReporter& messages) {
  if (ClipView(text).empty()) {
    ShowScriptMessage(messages, "Error", "Nothing to save.");
    return;
  }
  if (!DeleteScript(steps)) return;
  // The batch holds the table's writes; it is closed while a box waits for the user, so other
  // threads are not kept from the table meanwhile.
  auto show_error = [&](const std::string& error) {
    steps.EndBatch();
    ShowScriptMessage(messages, "Error", error);
    steps.BeginBatch();
  };
  steps.BeginBatch();
  std::int32_t line_number = 0;
  for (const std::string_view line : SplitScriptLines(text)) {
    ++line_number;
    ScriptTextLine read = ReadScriptLine(line);
    if (read.blank) continue;
    if (read.unknown) {
      show_error("Unknown script action:\r\n" + read.keyword + "\r\n" + read.arguments);
    }
    read.step.ID = SCH.ID;
    read.step.Sequence = line_number;
    if (const FileResult added = steps.AddStep(read.step); !added.ok()) {
      show_error("Error adding scripting:\r\n" + added.text);
    }
  }
  steps.EndBatch();
}

}  // namespace vx
