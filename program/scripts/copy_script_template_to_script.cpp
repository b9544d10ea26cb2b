#include <cstdint>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "program/script_engine/script_tables.h"
#include "program/scripts/template_windows.h"
#include "runtime/storage/file.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// The highest step number a copied step may take.
constexpr std::int32_t kLastSequence = 1000;

// Answers every token of the step's texts, in the order the fields are asked; false when a
// question was cancelled (the fields after it keep their tokens).
bool ExpandStep(SCRIPTING_RECORD& step, TemplateTokenAsker& ask) {
  return ExpandTemplateTokens(step.Keystrokes, ask) == 1 &&
         ExpandTemplateTokens(step.WaitForWindow, ask) == 1 &&
         ExpandTemplateTokens(step.FocusOnWindow, ask) == 1 &&
         ExpandTemplateTokens(step.WindowTitleToCheckFor, ask) == 1 &&
         ExpandTemplateTokens(step.Command, ask) == 1 &&
         ExpandTemplateTokens(step.Path, ask) == 1 &&
         ExpandTemplateTokens(step.DDEApplicationName, ask) == 1 &&
         ExpandTemplateTokens(step.DDEApplicationTopic, ask) == 1 &&
         ExpandTemplateTokens(step.DDELinkItem, ask) == 1 &&
         ExpandTemplateTokens(step.DDECommand, ask) == 1;
}

// A program started without a folder starts in its own: the command up to its last separator
// (Windows templates write "\", ours "/"); the whole command when it names no folder.
std::string FolderOf(std::string_view command) {
  const std::size_t last = command.find_last_of("\\/");
  return std::string(last == std::string_view::npos ? command : command.substr(0, last));
}

}  // namespace

std::vector<SCRIPTTEMPLATEDETAILS_RECORD> TemplateSteps(std::int32_t id) {
  std::vector<SCRIPTTEMPLATEDETAILS_RECORD> steps;
  if (ACCESS_SCRIPTTEMPLATEDETAILS->Open() != 0) return steps;
  storage::File& file = ACCESS_SCRIPTTEMPLATEDETAILS->file();
  VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
  VXD.WIZ_ID = id;
  VXD.Sequence = INT32_MIN;
  if (file.SetFromBuffer(VXD_K_WIZ_ID) == 0) {
    while (file.Next() == 0 && VXD.WIZ_ID == id) steps.push_back(VXD);
  }
  ACCESS_SCRIPTTEMPLATEDETAILS->Close();
  return steps;
}

int CopyScriptTemplateToScript(TemplateTokenAsker& ask) {
  const std::int32_t task = SCH.ID;
  const std::vector<SCRIPTTEMPLATEDETAILS_RECORD> details = TemplateSteps(VXT.WIZ_ID);
  ScriptingTableSteps steps;
  std::int32_t next = 1;
  steps.ForEachStep(task, [&](const SCRIPTING_RECORD& step) {
    next = step.Sequence + 1;
    return true;
  });

  ProcessWindow progress("CopyScriptTemplateToScript", "Importing Template");
  progress.Open(details.size());
  int added = 0;
  for (const SCRIPTTEMPLATEDETAILS_RECORD& detail : details) {
    progress.Advance();
    if (detail.Action.clipped().empty()) continue;
    SCRIPTING_RECORD step;
    CopyStepFields(detail, step);
    step.ID = task;
    const bool expanded = ExpandStep(step, ask);
    if (expanded && step.Path.clipped().empty() && step.Action.clipped() == "Start Program") {
      step.Path = FolderOf(step.Command.clipped());
    }
    while (next < kLastSequence && steps.StepExists(task, next)) ++next;
    step.Sequence = next;
    const FileResult result = steps.AddStep(step);
    ++next;
    if (result.ok()) {
      ++added;
    } else {
      MESSAGE("Error adding script item " + result.text, "Error!", MessageIcon::Exclamation);
    }
    if (!expanded) break;
  }
  progress.Close();
  SCR.ID = task;
  return added;
}

int CopyScriptTemplateToScript() {
  TemplateTokenWindows ask;
  return CopyScriptTemplateToScript(ask);
}

}  // namespace vx
