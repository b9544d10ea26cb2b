// The step executor: runs the head of the active script queue from Main's one-second tick, at
// most one step per tick and only once its due moment has passed. A finished step is written
// to the event log and removed; a step that waits (for a window, for a program's end) stays at
// the head and is looked at again on the next tick.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "program/common/task_message.h"
#include "program/script_engine/script_steps.h"

namespace vx {

// What the executor needs of Main's frame.
class ScriptFrame {
 public:
  virtual ~ScriptFrame() = default;
  // The tray picture of one burst of keystrokes.
  virtual void ShowTrayIcon(std::string_view icon) = 0;
  // Shows a message the way a due task's message is shown (thread, window or external program).
  virtual void ShowTaskMessage(const TaskMessage& message) = 0;
};

class ScriptExecutor {
 public:
  // file: the script files "Start Script" loads; nullptr reads them through the EXPORT table.
  explicit ScriptExecutor(ScriptFrame& frame, ScriptFile* file = nullptr)
      : frame_(frame), file_(file) {}

  // Runs the head of the queue when it is due: now (today, CLOCK()) later than its moment.
  void RunDueScriptStep();
  // Runs the head of the queue now, then logs and removes it unless it keeps itself.
  void ProcessScriptStep();

  // Main's state of the running script (cleared when Main starts).
  bool KeepStep = false;          // the head has not finished: neither logged nor removed
  bool WindowWaitActive = false;  // a "Wait" step waits for a window
  std::int32_t FoundWindow = 0;   // the last window search's answer
  std::int32_t ProgramWaitSeconds = 0;
  std::int32_t StartWait = 0, StartPriority = 0, StartShowMode = 0;
  std::string KeyBuffer;  // keystrokes still to be sent
  int SendRound = 0;      // 1 to 8, the tray picture of the last burst

  ScriptFrame& Frame() { return frame_; }
  ScriptFile* File() { return file_; }

 private:
  ScriptFrame& frame_;
  ScriptFile* file_;
};

}  // namespace vx
