// Main's side of the due-task road on the window runtime: the frame's status bar and tray
// icon, the message thread and window, and events posted to the task lists' threads.
#pragma once

#include <functional>
#include <string>

#include "datadll/utility/sys_tray_class.h"
#include "program/due_tasks/due_task.h"
#include "runtime/window/window.h"

namespace vx {

class FrameTaskRoad final : public DueTaskFrame {
 public:
  FrameTaskRoad(Window& frame, SYSTRAYCLASS& tray) : frame_(frame), tray_(tray) {}

  // The status text Main shows (zone 2 of its status bar when asked, else when it chooses).
  const std::string& StatusText() const { return status_; }

  void SetStatusText(std::string_view text, bool in_status_bar) override;
  void SetTrayTip(std::string_view tip) override;
  // Shows the frame again when it is iconised or hidden in the tray.
  void RestoreFrame() override;
  void StartTaskMessageThread(const TaskMessage& message) override;
  void ShowModalMessage() override;
  void PostEvent(int event, std::int32_t thread) override;
  // On a thread of its own, so that the tick goes on.
  void ShowNotice(const MessageBoxRequest& box) override;
  // Main's own command does it: it knows how the frame makes way.
  void StartMaintenance() override;
  void OnStartMaintenance(std::function<void()> start) { start_maintenance_ = std::move(start); }

 private:
  Window& frame_;
  SYSTRAYCLASS& tray_;
  std::string status_;
  std::function<void()> start_maintenance_;
};

}  // namespace vx
