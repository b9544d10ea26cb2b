#include "program/shell/frame_scripts.h"

#include <array>
#include <string>
#include <string_view>

#include "datadll/dictionary/globals.h"
#include "program/due_tasks/due_task.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/script_queue.h"
#include "runtime/pictures.h"

namespace vx {

bool FrameScripts::UpdateScriptControls() {
  mail_progress_.clear();  // a new tick: the mail's progress was shown for the last one
  scripts_were_active_ = scripts_active_;
  scripts_active_ = (STARTUPACTIVE != 0 || TEMPSCRIPTINGACTIVE != 0) && ScriptQueue.Records() > 0;
  if (scripts_active_ && !scripts_were_active_) {
    if (stop_button_ != 0) frame_[stop_button_].Enable(true);
    if (indicator_ != 0) frame_[indicator_].SetText("*");
  } else if (!scripts_active_ && scripts_were_active_) {
    if (stop_button_ != 0) frame_[stop_button_].Disable();
    if (indicator_ != 0) frame_[indicator_].SetText("");
  }
  if (!scripts_active_) TEMPSCRIPTINGACTIVE = 0;
  return scripts_active_;
}

void FrameScripts::UpdateFrameStatus(int animation_step) {
  std::string status;
  if (ScriptQueue.Records() == 0) {
    ScriptQueue.buffer = ScriptQueueEntry{};
    status = STARTUPACTIVE != 0 ? road_.StatusText() : "Inactive";
  } else {
    const ScriptQueueEntry& head = ScriptQueue[1];
    const std::string description = DescribeScriptStep(head.SCR);
    const std::string due = FORMAT(head.DueTime, "@t7");
    status = description.empty()
                 ? head.SCR.Action.str() + " " + due
                 : std::string(head.SCR.Action.clipped()) + " " + description + " " + due;
  }
  // The mail's progress is taken once and shown for the whole tick, also when the status is
  // shown again after the step.
  if (!MAILPROGRESSTEXT.clipped().empty()) {
    mail_progress_ = std::string(MAILPROGRESSTEXT.clipped()) + "...";
    MAILPROGRESSTEXT = "";
  }
  status = mail_progress_ + status;
  if (frame_.Status(2).TextValue() != status) frame_.Status(2, status);

  if (picture_ == 0) return;
  // The working picture turns through its seven frames while scripts run. While the scheduler
  // only waits it stands still on its first frame: a picture that changed every tick would
  // have the toolbar laid out and drawn again each second with nothing happening.
  static constexpr std::array<std::string_view, 7> kScripting = {
      "~wrkas.ico", "~wrkbs.ico", "~wrkcs.ico", "~wrkds.ico",
      "~wrkes.ico", "~wrkfs.ico", "~wrkgs.ico"};
  const std::size_t frame =
      animation_step >= 1 && animation_step <= 7 ? static_cast<std::size_t>(animation_step - 1) : 0;
  std::string_view picture = "~blank.ico";
  if (scripts_active_) {
    picture = kScripting[frame];
  } else if (STARTUPACTIVE != 0) {
    picture = "~wrka.ico";
  }
  if (frame_[picture_].TextValue() != picture) frame_[picture_].SetText(picture);
}

void FrameScripts::ShowTaskMessage(const TaskMessage& message) {
  LaunchTaskMessage(road_, message);
}

}  // namespace vx
