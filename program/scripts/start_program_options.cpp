#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/scripting_table.h"
#include "program/scripts/script_windows.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "UpdateScripting:StartProgram:Advanced";
constexpr std::string_view kNoWindowMode =
    "On Linux a started program cannot be told to start minimised or maximised: the mode is kept "
    "with the step and only logged.";
constexpr std::string_view kModes =
    "Start and give focus|Start minimized with focus|Start maximized with focus|Start minimized "
    "without "
    "focus|Start without focus";

char OptionAt(std::string_view options, std::size_t index) {
  return index < options.size() ? options[index] : ' ';
}

std::string ModeName(char code) {
  switch (code) {
    case '2':
      return "Start minimized with focus";
    case '3':
      return "Start maximized with focus";
    case '7':
      return "Start minimized without focus";
    case '8':
      return "Start without focus";
    default:
      return "Start and give focus";
  }
}

char ModeCode(std::string_view mode) {
  if (mode == "Start minimized with focus") return '2';
  if (mode == "Start maximized with focus") return '3';
  if (mode == "Start minimized without focus") return '7';
  if (mode == "Start without focus") return '8';
  return '1';
}

// The step the dialog edits: the task's step, or a template's while the template list is open
// (the two records have the same layout).
void TemplateIntoStep() { CopyStepContent(VXD, SCR); }

void StepIntoTemplate() { CopyStepContent(SCR, VXD); }

}  // namespace

void UpdateScripting_StartProgram_Advanced() {
  if (GLO_SCRIPTWIZARDMODE == 1) TemplateIntoStep();
  const std::string options(SCR.DDEApplicationName.view());
  std::int32_t wait = OptionAt(options, 0) == '1' ? 1 : 0;
  std::int32_t seconds = SCR.TimeElapsed;
  String<30> mode = ModeName(OptionAt(options, 2));
  const char priority_code = OptionAt(options, 1);
  String<10> priority = priority_code == '1' ? "Low" : priority_code == '3' ? "High" : "Normal";
  String<20> verb = SCR.DDEApplicationTopic.clipped().empty() ? std::string_view("Open")
                                                              : SCR.DDEApplicationTopic.clipped();
  std::int32_t translate = OptionAt(options, 3) == '1' ? 1 : 0;

  Window window("Advanced...");
  const int waits =
      window.Check("Only after program is finished (\"Wait for program end\").", wait);
  window.Prompt("Stop waiting after");
  Control& wait_row = window.Row();
  const int wait_seconds = wait_row.Entry(seconds, "@n_6");
  wait_row.String("seconds, even if program is running.");
  window.Prompt("&Window:");
  // Kept with the step for scripts shared with other installations, but an X11 program cannot
  // be told how to show its first window.
  window.DropList(mode, kModes).Disable().Tip(kNoWindowMode);
  window.Prompt("&Priority:");
  window.DropList(priority, "Low|Normal|High");
  window.Prompt("Start &type:");
  const int start_type = window.DropList(verb, "Open|View|Print|Edit|Play|Find|Explore");
  window.Check("Translate command", translate);
  Control& buttons = window.Row();
  const int ok = buttons.Button("&OK").Default();
  const int cancel = buttons.Button("Cancel");

  const auto follow_wait = [&] {
    window[wait_seconds].Enable(wait != 0);
    window[start_type].Enable(wait == 0);
  };
  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope(kProcedure, manager);
  manager.On(EVENT_OpenWindow, follow_wait);
  manager.OnAccepted(waits, follow_wait);
  manager.OnOk([&] {
    std::string packed(4, ' ');
    packed[0] = wait != 0 ? '1' : ' ';
    packed[1] = priority == "Low" ? '1' : priority == "High" ? '3' : '2';
    packed[2] = ModeCode(mode.clipped());
    packed[3] = translate != 0 ? '1' : ' ';
    // Characters past the fourth are not the dialog's: they stay as they were.
    SCR.DDEApplicationName = packed + (options.size() > 4 ? options.substr(4) : std::string());
    SCR.TimeElapsed = seconds;
    SCR.DDEApplicationTopic = verb.view();
    if (GLO_SCRIPTWIZARDMODE == 1) StepIntoTemplate();
    return true;
  });
  manager.Run();
}

}  // namespace vx
