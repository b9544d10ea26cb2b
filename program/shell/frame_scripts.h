// Main's side of the running script: the stop-scripts button and the "*" indicator, the step
// shown in the status bar (with the mail progress before it), the working picture's animation,
// the tray's key-burst pictures, and the executor that runs one due step per tick.
#pragma once

#include <string>
#include <string_view>

#include "datadll/utility/sys_tray_class.h"
#include "program/script_engine/script_executor.h"
#include "program/shell/frame_task_road.h"
#include "runtime/window/window.h"

namespace vx {

class FrameScripts final : public ScriptFrame {
 public:
  FrameScripts(Window& frame, SYSTRAYCLASS& tray, FrameTaskRoad& road)
      : frame_(frame), tray_(tray), road_(road), executor_(*this) {}

  // The toolbar's stop button, script indicator and working picture.
  void SetControls(int stop_button, int indicator, int picture) {
    stop_button_ = stop_button;
    indicator_ = indicator;
    picture_ = picture;
  }

  // Whether scripts run on this tick: the scheduler is active or a one-off run was asked for,
  // and steps are queued. The first tick of a change enables or disables the stop button and
  // sets or clears the indicator; an idle tick ends a one-off run.
  bool UpdateScriptControls();
  // The status bar's second zone and the working picture (animation_step 1 to 7: its frame while
  // scripts run).
  void UpdateFrameStatus(int animation_step);
  void RunDueScriptStep() { executor_.RunDueScriptStep(); }
  bool ScriptsActive() const { return scripts_active_; }

  void ShowTrayIcon(std::string_view icon) override { tray_.CHANGEICON(icon); }
  void ShowTaskMessage(const TaskMessage& message) override;

 private:
  Window& frame_;
  SYSTRAYCLASS& tray_;
  FrameTaskRoad& road_;
  ScriptExecutor executor_;
  int stop_button_ = 0, indicator_ = 0, picture_ = 0;
  bool scripts_active_ = false;
  bool scripts_were_active_ = false;
  std::string mail_progress_;  // "Sending Email..." while this tick shows it
};

}  // namespace vx
