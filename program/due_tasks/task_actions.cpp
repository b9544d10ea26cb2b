#include "program/due_tasks/task_actions.h"

#include <array>
#include <cstdint>

#include "datadll/dictionary/schedule_table.h"
#include "program/common/play_alarm.h"
#include "program/due_tasks/add_schedule_history.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/run_task_program.h"
#include "program/due_tasks/show_task_message.h"
#include "program/due_tasks/user_task_state.h"
#include "program/recurrence/moments.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::string_view kDelayMenu =
    "5 minutes|10 minutes|30 minutes|1 hour|2 hours|3 hours|-|Cancel";
// The delays of the menu's items in hundredths of a second; the item after them is "Cancel".
constexpr std::array<std::int32_t, 6> kDelays = {30000, 60000, 180000, 360000, 720000, 1080000};

// A list's thread has no frame of its own: the message goes to a message thread or to the
// on-top window on this thread, exactly as for a due task.
class ListTaskFrame final : public DueTaskFrame {
 public:
  void SetStatusText(std::string_view, bool) override {}
  void SetTrayTip(std::string_view) override {}
  void RestoreFrame() override {}
  void StartTaskMessageThread(const TaskMessage& message) override {
    vx::StartTaskMessageThread(message);
  }
  void ShowModalMessage() override { vx::ShowModalMessage(); }
  void PostEvent(int event, std::int32_t thread) override { POST(event, 0, thread); }
  void ShowNotice(const MessageBoxRequest& box) override { ShowMessageAside(box); }
};

}  // namespace

bool QuickStartTask() {
  const int choice = POPUP(kDelayMenu);
  // A right click that closed the menu must not reach the list as a click of its own.
  if (KEYCODE() == MouseRight) SETKEYCODE(0);
  if (choice < 1 || choice > static_cast<int>(kDelays.size())) return false;
  const std::int32_t delay = kDelays[static_cast<std::size_t>(choice - 1)];

  const std::int32_t original = SCH.ID;
  SCHEDULE_RECORD copy = SCH;
  copy.Date = TODAY();
  copy.Time = CLOCK() + delay + TIME_SECOND;
  NormalizeDateTime(copy.Date, copy.Time);
  copy.ScheduleType = "Once";
  copy.AdvanceWarnDate = 0;
  copy.AdvanceWarnTime = 0;
  copy.Disabled = 0;
  copy.Completed = 0;
  copy.Skipped = 0;
  // A copy marked to be skipped would be passed over at its only run and never perform.
  copy.SkipNextTime = 0;
  // The add fills the buffer with the copy; when it cannot be stored the buffer goes back to
  // the task it was made from, so the list keeps that one highlighted rather than a task that
  // does not exist.
  const SCHEDULE_RECORD made_from = SCH;
  if (AddScheduleHistory(copy, copy.Message.view()) != 0) {
    SCH = made_from;
    return false;
  }
  CopyTaskScripts(original);
  // In multi-user mode a task runs for each user by their own row of it: the copy is the asking
  // user's, so they are given its row (due as the copy is) and nobody else is.
  if (PerUserTaskState()) AddUserRow(SCH);
  RefreshTaskLists(THREAD());  // the calling list refreshes itself
  return true;
}

void ShowTaskMessage() {
  ListTaskFrame frame;
  LaunchTaskMessage(frame);
}

void PerformTaskNow() {
  if (SCH.Alarm != 0) PlayAlarm(SCH.AlarmFile.clipped());
  if (IsMessageTask()) ShowTaskMessage();
  if (IsProgramTask()) {
    TaskProgramRequest request = DueTaskProgram(SCH.ID, SCH.Command.str(), SCH.Path.str());
    request.show_mode = 1;
    request.verb = "open";
    RunTaskProgram(request);
  }
}

}  // namespace vx
