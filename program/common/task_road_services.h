// The platform services the task road uses (programs, the desktop's opener, sound, message
// boxes, the script rows), gathered so that tests can put fakes in their place.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/process.h"
#include "platform/shell_open.h"
#include "platform/sound.h"
#include "runtime/message_box.h"

namespace vx {

class ScriptSteps;  // the script engine's SCRIPTING rows (script_engine/script_steps.h)

struct TaskRoadServices {
  platform::ProcessLauncher* processes = nullptr;
  platform::ShellOpener* shell = nullptr;
  platform::SoundPlayer* sound = nullptr;
  MessageReporter* messages = nullptr;
  ScriptSteps* steps = nullptr;         // the SCRIPTING rows; empty: the SCRIPTING table
  std::filesystem::path helper_folder;  // where our helper programs are installed
  // Adds a MSGLINK record for the external message program: 0 and its id, or the error.
  std::function<int(std::string_view title, std::string_view message, std::string_view alarm_file,
                    std::int32_t& id)>
      add_message_link;
  // Asks the program to close down (a chained program takes over); nothing when empty.
  std::function<void()> close_program;
};

// Installs the services (nullptr restores the real ones). The caller keeps them alive.
void SetTaskRoadServices(TaskRoadServices* services);
// The installed services, or the process-wide real ones.
TaskRoadServices& CurrentTaskRoadServices();

// Installs services for the life of a scope.
class ScopedTaskRoadServices {
 public:
  explicit ScopedTaskRoadServices(TaskRoadServices& services);
  ~ScopedTaskRoadServices();
  ScopedTaskRoadServices(const ScopedTaskRoadServices&) = delete;
  ScopedTaskRoadServices& operator=(const ScopedTaskRoadServices&) = delete;

 private:
  TaskRoadServices* previous_;
};

}  // namespace vx
