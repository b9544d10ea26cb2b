#include "program/scripts/script_files.h"

#include <algorithm>
#include <array>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "framework/process_window.h"
#include "program/scripts/script_messages.h"
#include "program/scripts/script_step_fields.h"
#include "program/scripts/script_step_wording.h"
#include "program/scripts/script_text_tokens.h"

namespace vx {
namespace {

struct ActionFields {
  std::string_view action;
  std::string_view type;          // what the file's type field holds
  std::vector<StepField> fields;  // FIELD1, FIELD2, ... in order
};

using S = SCRIPTING_RECORD;

// Every action a script holds. The DDE action's long name does not fit the 20-character type
// field, so it is written by its short name; comments and the start verb of a program are
// written too, so that a script reads back whole.
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
        NumberField<&S::TimeElapsed>(), TextField<&S::DDEApplicationTopic>()}},
      {"Send Keystrokes", "Send Keystrokes", {TextField<&S::Keystrokes>()}},
      {"Send Keys", "Send Keys", {TextField<&S::Keystrokes>()}},
      {"DDE (Dynamic Data Exchange)",
       "DDE",
       {TextField<&S::DDEType>(), TextField<&S::DDEApplicationName>(),
        TextField<&S::DDEApplicationTopic>(), TextField<&S::DDELinkItem>(),
        TextField<&S::DDECommand>()}},
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
      {"Comment", "Comment", {TextField<&S::Command>()}},
  };
  return actions;
}

std::array<String<255>*, 6> FileFields(EXPORT_RECORD& line) {
  return {&line.FIELD1, &line.FIELD2, &line.FIELD3, &line.FIELD4, &line.FIELD5, &line.FIELD6};
}

// Adds the step of one file line to task SCH.ID at the lowest free sequence from 0.
void ImportScriptLine(const EXPORT_RECORD& line, ScriptSteps& steps, MessageReporter& messages) {
  constexpr std::int32_t kLastSequence = 1000;
  SCRIPTING_RECORD step;
  switch (ReadScriptFileLine(line, step)) {
    case ScriptFileLineKind::Skip:
      return;
    case ScriptFileLineKind::Unknown:
      ShowScriptMessage(messages, "Import Error",
                        "Unrecognized script action: " + std::string(line.TYPE.clipped()));
      return;
    case ScriptFileLineKind::Step:
      break;
  }
  step.ID = SCH.ID;
  step.Sequence = 0;
  while (step.Sequence < kLastSequence && steps.StepExists(step.ID, step.Sequence)) ++step.Sequence;
  if (const FileResult added = steps.AddStep(step); !added.ok()) {
    ShowScriptMessage(messages, "Error!", "Error adding script item " + added.text);
  }
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
  file.ForEachLine([&](const EXPORT_RECORD& line) {
    ImportScriptLine(line, steps, messages);
    progress.Advance();
    return true;
  });
  file.Close();
  progress.Close();
}

}  // namespace vx
