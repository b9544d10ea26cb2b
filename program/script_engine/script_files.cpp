#include "program/script_engine/script_files.h"

#include <algorithm>
#include <array>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "framework/process_window.h"
#include "program/script_engine/script_messages.h"
#include "program/script_engine/script_step_fields.h"
#include "program/script_engine/script_step_wording.h"
#include "program/script_engine/script_text_tokens.h"

namespace vx {
namespace {

struct ActionFields {
  std::string_view action;
  std::string_view type;          // what the file's type field holds
  std::vector<StepField> fields;  // FIELD1, FIELD2, ... in order, written and read
  std::optional<StepField> read_only = std::nullopt;  // the field after them: read, never written
};

using S = SCRIPTING_RECORD;

// Every action a script file holds, by the name stored in the file's 20-character type field.
// The long name of the DDE action does not fit it, so such steps are not written (the short
// "DDE" steps are); comments are not written, and the start verb of a program is read from a
// fifth field but not written.
const std::vector<ActionFields>& Actions() {
  static const std::vector<ActionFields> actions{
      {"Close Program", "Close Program", {TextField<&S::Command>()}},
      {"Display Message",
       "Display Message",
       {TextField<&S::DDEApplicationName>(), TextField<&S::DDEApplicationTopic>(),
        NumberField<&S::SecondsToWait>(), TextField<&S::FocusOnWindow>()}},
      {"Start Program",
       "Start Program",
       {TextField<&S::Command>(), TextField<&S::Path>(), TextField<&S::DDEApplicationName>(),
        NumberField<&S::TimeElapsed>()},
       TextField<&S::DDEApplicationTopic>()},
      {"Send Keystrokes", "Send Keystrokes", {TextField<&S::Keystrokes>()}},
      {"Send Keys", "Send Keys", {TextField<&S::Keystrokes>()}},
      {"DDE",
       "DDE",
       {TextField<&S::DDEType>(), TextField<&S::DDEApplicationName>(),
        TextField<&S::DDEApplicationTopic>(), TextField<&S::DDELinkItem>(),
        TextField<&S::DDECommand>()}},
      {"Set Focus", "Set Focus", {TextField<&S::FocusOnWindow>(), TextField<&S::WaitForWindow>()}},
      {"Wait",
       "Wait",
       {NumberField<&S::SecondsToWait>(), TextField<&S::WaitForWindow>(),
        TextField<&S::DDEApplicationName>(), TextField<&S::FocusOnWindow>()}},
      {"If Window...",
       "If Window...",
       {TextField<&S::WindowExistance>(), TextField<&S::WindowTitleToCheckFor>(),
        TextField<&S::FocusOnWindow>()}},
      {"If Time Elapsed...",
       "If Time Elapsed...",
       {TextField<&S::IfTimeElapsed>(), NumberField<&S::TimeElapsed>()}},
      {"...End If", "...End If", {}},
      {"Exit Script", "Exit Script", {}},
      {"File Actions",
       "File Actions",
       {TextField<&S::DDEType>(), TextField<&S::Command>(), TextField<&S::Path>(),
        TextField<&S::DDEApplicationName>(), TextField<&S::DDEApplicationTopic>()}},
      {"Send Email", "Send Email", {NumberField<&S::EmailID>()}},
      {"Set Value", "Set Value", {TextField<&S::Path>(), TextField<&S::Command>()}},
      {"If Value...",
       "If Value...",
       {TextField<&S::Command>(), TextField<&S::WindowTitleToCheckFor>(),
        TextField<&S::WaitForWindow>()}},
      {"Start Script", "Start Script", {TextField<&S::Command>(), TextField<&S::Path>()}},
  };
  return actions;
}

std::array<String<255>*, 6> FileFields(EXPORT_RECORD& line) {
  return {&line.FIELD1, &line.FIELD2, &line.FIELD3, &line.FIELD4, &line.FIELD5, &line.FIELD6};
}

// Adds the step of one file line to task SCH.ID as number `next`, which then moves on past it.
void ImportScriptLine(const EXPORT_RECORD& line, std::int32_t& next, ScriptSteps& steps,
                      MessageReporter& messages) {
  SCRIPTING_RECORD step;
  switch (ReadScriptFileLine(line, step)) {
    case ScriptFileLineKind::Skip:
      return;
    case ScriptFileLineKind::Unknown:
      if (line.TYPE == "Comment") return;  // comments are not steps of a task
      ShowScriptMessage(messages, "Import Error",
                        "Unrecognized script action: " + std::string(line.TYPE.clipped()));
      return;
    case ScriptFileLineKind::Step:
      break;
  }
  step.ID = SCH.ID;
  while (steps.StepExists(step.ID, next)) ++next;
  step.Sequence = next++;
  if (const FileResult added = steps.AddStep(step); !added.ok()) {
    ShowScriptMessage(messages, "Error!", "Error adding script item " + added.text);
  }
}

// The number after the task's highest step (0 for a task without steps): imported steps follow
// the task's own, in file order, never in the gaps that moved or deleted steps left.
std::int32_t AfterLastStep(std::int32_t id, ScriptSteps& steps) {
  std::int32_t next = 0;
  steps.ForEachStep(id, [&](const SCRIPTING_RECORD& step) {
    next = std::max(next, step.Sequence + 1);
    return true;
  });
  return next;
}

}  // namespace

std::optional<EXPORT_RECORD> ScriptFileLine(const SCRIPTING_RECORD& step) {
  const std::string_view action = step.Action.clipped();
  const auto& actions = Actions();
  const auto found = std::find_if(actions.begin(), actions.end(),
                                  [&](const ActionFields& a) { return a.action == action; });
  if (found == actions.end()) return std::nullopt;
  EXPORT_RECORD line;
  line.TYPE = found->type;
  const auto fields = FileFields(line);
  for (std::size_t i = 0; i < found->fields.size(); ++i) *fields[i] = found->fields[i].get(step);
  return line;
}

ScriptFileLineKind ReadScriptFileLine(const EXPORT_RECORD& line, SCRIPTING_RECORD& step) {
  const std::string_view type = line.TYPE.clipped();
  if (type.empty()) return ScriptFileLineKind::Skip;
  const auto& actions = Actions();
  const auto found = std::find_if(actions.begin(), actions.end(),
                                  [&](const ActionFields& a) { return a.type == type; });
  if (found == actions.end()) return ScriptFileLineKind::Unknown;
  step.Action = type;
  EXPORT_RECORD copy = line;
  const auto fields = FileFields(copy);
  for (std::size_t i = 0; i < found->fields.size(); ++i)
    found->fields[i].set(step, fields[i]->clipped());
  if (found->read_only) found->read_only->set(step, fields[found->fields.size()]->clipped());
  NormaliseScriptStep(step);
  return ScriptFileLineKind::Step;
}

void ExportScriptSteps(const std::string& file_name, ScriptSteps& steps, ScriptFile& file,
                       MessageReporter& messages) {
  if (!file.Create(file_name).ok()) return;
  ProcessWindow progress("ExportScript", "Exporting Script Items");
  progress.Open(steps.CountSteps(SCH.ID));
  steps.ForEachStep(SCH.ID, [&](const SCRIPTING_RECORD& step) {
    if (const std::optional<EXPORT_RECORD> line = ScriptFileLine(step)) {
      if (const FileResult added = file.AddLine(*line); !added.ok()) {
        ShowScriptMessage(messages, "Error!", "Error exporting script item " + added.text);
      }
    }
    progress.Advance();
    return true;
  });
  file.Close();
  progress.Close();
}

void ImportScriptSteps(const std::string& file_name, ScriptSteps& steps, ScriptFile& file,
                       MessageReporter& messages) {
  if (!file.Open(file_name).ok()) return;
  ProcessWindow progress("ImportScript", "Importing Script Items");
  progress.Open(file.CountLines());
  std::int32_t next = AfterLastStep(SCH.ID, steps);
  file.ForEachLine([&](const EXPORT_RECORD& line) {
    ImportScriptLine(line, next, steps, messages);
    progress.Advance();
    return true;
  });
  file.Close();
  progress.Close();
}

}  // namespace vx
