#include "program/scripts/view_script_queue.h"

#include <vector>

#include "datadll/dictionary/globals.h"
#include "framework/window_manager.h"
#include "program/common/main_procedures.h"
#include "program/script_engine/describe_script_step.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/window/queue_list.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "ViewQueue:Script";
constexpr std::size_t kDetailsWidth = 80;

// The entry as it is held, field after field: its task and step numbers, then every text of the
// step as stored (blank-padded).
std::string RawEntryText(const ScriptQueueEntry& entry) {
  const SCRIPTING_RECORD& s = entry.SCR;
  return std::to_string(s.ID) + " " + std::to_string(s.Sequence) + " " +
         std::string(s.Action.view()) + std::string(s.Keystrokes.view()) +
         std::string(s.WaitForWindow.view()) + std::string(s.FocusOnWindow.view()) +
         std::string(s.WindowExistance.view()) + std::string(s.WindowTitleToCheckFor.view()) +
         std::string(s.IfTimeElapsed.view()) + std::string(s.Command.view()) +
         std::string(s.Path.view()) + std::string(s.DDEType.view()) +
         std::string(s.DDEApplicationName.view()) + std::string(s.DDEApplicationTopic.view()) +
         std::string(s.DDELinkItem.view()) + std::string(s.DDECommand.view());
}

}  // namespace

std::string ScriptQueueEntryDetails(const ScriptQueueEntry& entry) {
  const std::string details = FORMAT(entry.DueDate, "@d17") + "\r\n" +
                              FORMAT(entry.DueTime, "@t6") + "\r\n" +
                              std::string(entry.SCR.Action.clipped()) + "\r\n" +
                              DescribeScriptStep(entry.SCR) + "\r\n" + RawEntryText(entry);
  return std::string(CutUtf8(details, kDetailsWidth));
}

void ViewQueue_Script() {
  std::string details;
  std::int32_t now = CLOCK();
  // The entries as the list last showed them: Delete removes the one the user saw in the chosen
  // row, even when the executor has taken steps from the queue since.
  std::vector<ScriptQueueEntry> shown;

  QueueList<ScriptQueueEntry> rows(ScriptQueue, [](const ScriptQueueEntry& e) {
    return ListFields{std::to_string(e.SCR.ID), std::to_string(e.SCR.Sequence), e.SCR.Action.str()};
  });
  Window window("Current Script");
  window.Timer(100);
  Control& list =
      window.List("40R(2)|M~ID~@s10@40R(2)|M~Seq~@s10@120L(2)|M~Action~@s27@").From(&rows);
  list.Tip("Browse current script");
  window.Text(details).ReadOnly();
  const int show = window.Button("&Details");
  const int remove = window.Button("Delete");
  // The debug switch has no caption; its picture keeps it from looking like an unfinished
  // button.
  const int debug = window.Button("").Icon("~winpyr.ico").Tip("Debug report");
  window.Prompt("Current Time:");
  window.String(now, "@t6");
  const int close = window.Button("Close");
  window.SetCancelButton(close);

  const auto show_list = [&] {
    shown.assign(ScriptQueue.begin(), ScriptQueue.end());
    list.Display();
  };
  const auto show_details = [&] {
    const long row = list.Choice();
    details = row >= 1 && row <= static_cast<long>(shown.size())
                  ? ScriptQueueEntryDetails(shown[row - 1])
                  : "";
    window.Display();
  };

  WindowManager manager(window);
  const WindowProcedureScope scope(kProcedure, manager);
  scope.KeepPlaceWhenMoved();
  manager.CancelControl = close;
  manager.On(EVENT_OpenWindow, [&] {
    show_list();
    if (!shown.empty()) list.Choose(1);
    show_details();
  });
  manager.On(EVENT_NewSelection, list, show_details);
  manager.OnAccepted(list, show_details);
  manager.OnAccepted(show, show_details);
  manager.OnAccepted(remove, [&] {
    const long row = list.Choice();
    if (row >= 1 && row <= static_cast<long>(shown.size())) {
      const ScriptQueueEntry gone = shown[row - 1];
      if (ScriptQueue.GetWhere(
              [&](const ScriptQueueEntry& e) { return SameScriptEntry(e, gone); }) == 0) {
        ScriptQueue.Delete();
      }
    }
    show_list();
    show_details();
  });
  manager.OnAccepted(debug, [] {
    DEBUGMODE = 1;
    if (auto report = MainProcedure("BugReport")) report();
  });
  manager.On(EVENT_Timer, [&] {
    now = CLOCK();
    show_list();
    show_details();
  });
  manager.Run();
}

}  // namespace vx
