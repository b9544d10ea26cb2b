#include "program/shell/frame_task_road.h"

#include "program/due_tasks/show_task_message.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {

void FrameTaskRoad::SetStatusText(std::string_view text, bool in_status_bar) {
  status_ = text;
  if (in_status_bar) frame_.Status(2, text);
}

void FrameTaskRoad::SetTrayTip(std::string_view tip) { tray_.CHANGETIP(tip); }

void FrameTaskRoad::RestoreFrame() {
  tray_.RESTORE();
  frame_.Set(Prop::Iconize, false);
}

// A due task's message runs on a thread of its own with its own copy of title, text and alarm,
// so the tick goes on while it shows.
void FrameTaskRoad::StartTaskMessageThread(const TaskMessage& message) {
  vx::StartTaskMessageThread(message);
}

void FrameTaskRoad::ShowModalMessage() { vx::ShowModalMessage(); }

void FrameTaskRoad::PostEvent(int event, std::int32_t thread) { POST(event, 0, thread); }

void FrameTaskRoad::ShowNotice(const MessageBoxRequest& box) { ShowMessageAside(box); }

void FrameTaskRoad::StartMaintenance() {
  if (start_maintenance_) start_maintenance_();
}

}  // namespace vx
