// "Display Message": a message box (with buttons of the step's own wording, whose number the
// script reads back as RESPONSE), or a message shown the way a due task's message is.
#include <string>

#include "program/common/task_road_services.h"
#include "program/script_engine/script_step_run.h"
#include "program/script_engine/script_variables.h"

namespace vx {

void DisplayMessageStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  const std::string text = ExpandVariables(s.DDEApplicationName.clipped());
  const std::string title = ExpandVariables(s.DDEApplicationTopic.clipped());
  if (s.SecondsToWait == 0) {
    // The message gets its own copy of the texts; the task record being looked at by the
    // scheduler is not touched.
    run.executor.Frame().ShowTaskMessage(TaskMessage{title, text, ""});
    return;
  }
  MessageBoxRequest box;
  box.caption = title;
  box.text = text;
  const std::string_view buttons = s.FocusOnWindow.clipped();
  if (buttons.empty()) {
    CurrentTaskRoadServices().messages->Show(box);
    return;
  }
  box.icon = MessageIcon::Exclamation;
  box.button_texts = std::string(buttons);
  box.default_button = 1;
  const unsigned pressed = CurrentTaskRoadServices().messages->Show(box);
  SetScriptVariable(std::to_string(pressed), "RESPONSE");
}

}  // namespace vx
