#include "program/common/start_program.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "platform/shell_open.h"
#include "program/common/command_line.h"
#include "program/common/exit_code_queue.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "runtime/fixed_string.h"
#include "runtime/threads.h"

namespace vx {

Queue<ExitCodeQueue_RECORD> ExitCodeQueue;

namespace {

// How long a start waits for another thread to finish starting a program or loading a script.
constexpr auto kScriptLockPatience = std::chrono::seconds(3);

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string LowerVerb(std::string_view verb) {
  std::string out(ClipView(verb));
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out.substr(0, 4);
}

// Holds the script-loading flag for one call. The wait for another holder is measured on the
// monotonic clock, so a change of the system time can neither stretch nor cut it.
class ScriptLoadingLock {
 public:
  ScriptLoadingLock() {
    const auto deadline = std::chrono::steady_clock::now() + kScriptLockPatience;
    while (ADDINGSCRIPTING != 0) {
      if (std::chrono::steady_clock::now() >= deadline) {
        TaskLog("Lock Error", "Scripting");
        break;
      }
      SleepFor(std::chrono::milliseconds(5));  // without the runtime lock: the holder can finish
    }
    ADDINGSCRIPTING = 1;
  }
  ~ScriptLoadingLock() { ADDINGSCRIPTING = 0; }
  ScriptLoadingLock(const ScriptLoadingLock&) = delete;
  ScriptLoadingLock& operator=(const ScriptLoadingLock&) = delete;
};

// The opener's error number for a failed start.
int StartErrorCode(const platform::StartResult& start) {
  if (start.folder_error) return platform::SHELL_PATH_NOT_FOUND;
  switch (start.error) {
    case ENOENT:
    case ENOTDIR:
      return platform::SHELL_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
      return platform::SHELL_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN:
      return platform::SHELL_OUT_OF_MEMORY;
    default:
      return platform::SHELL_NO_ASSOCIATION;
  }
}

struct Started {
  platform::ProcessHandle handle = 0;  // a started program; 0 for an opened document or link
  int code = 0;                        // 32 or more: started
  std::string reason;                  // why the last reading tried could not start
};

// Why a program could not be started, as a sentence for the user.
std::string StartFailure(const platform::StartResult& start) {
  if (start.folder_error) {
    return start.error == ENOTDIR ? "The start folder is a file, not a folder."
                                  : "The start folder does not exist.";
  }
  switch (start.error) {
    case ENOENT:
      return "No program of that name was found.";
    case EACCES:
    case EPERM:
      return "The program may not be run (permission denied).";
    default:
      return "The system said: " + std::string(std::strerror(start.error)) + ".";
  }
}

platform::ProcessPriority Priority(const TaskProgramRequest& request) {
  if (request.default_priority) return platform::ProcessPriority::Normal;
  switch (request.priority) {
    case 1:
      return platform::ProcessPriority::Idle;
    case 3:
      return platform::ProcessPriority::High;
    default:
      return platform::ProcessPriority::Normal;
  }
}

// Tries the readings of the command in turn: each as a program, and a reading without
// parameters (a document, a folder, a link) through the opener as well.
Started StartCommand(const TaskProgramRequest& request, std::string_view command,
                     std::int32_t show_mode, TaskRoadServices& services) {
  Started result{0, platform::SHELL_FILE_NOT_FOUND, "No program was named."};
  const std::string verb = request.ignore_verb ? std::string("open") : LowerVerb(request.verb);
  for (const CommandSplit& split : CommandSplits(command)) {
    if (!platform::IsLink(split.file)) {
      platform::ProcessRequest start;
      start.argv = CommandArgv(split, services.helper_folder);
      start.folder = std::string(ClipView(request.folder));
      start.show = static_cast<platform::ShowMode>(show_mode);
      start.priority = Priority(request);
      start.environment = request.environment;
      const platform::StartResult spawned = services.processes->Start(start);
      if (spawned) return {spawned.handle, platform::SHELL_OPENED, {}};
      result.code = StartErrorCode(spawned);
      result.reason = StartFailure(spawned);
      if (spawned.folder_error) return result;  // no reading starts in a missing folder
    }
    if (split.parameters.empty()) {
      platform::ShellOpenRequest open;
      open.target = split.file;
      open.verb = verb;
      open.folder = std::string(ClipView(request.folder));
      {
        // The opener may wait for the desktop's helper to settle; other threads run meanwhile.
        RuntimeUnlocked unlocked;
        result.code = services.shell->Open(open);
      }
      if (result.code >= 32) return result;
      result.reason = platform::ShellOpenFailure(result.code);
    }
  }
  return result;
}

// Keeps a started program for the caller and for the exit-code log, or lets it go. When both
// keep it, the log holds a handle of its own, so the caller may wait on, end or release its
// handle without taking the program from the log, and the other way round.
void KeepProgram(const TaskProgramRequest& request, std::string_view command,
                 platform::ProcessHandle handle, TaskRoadServices& services) {
  platform::ProcessHandle logged = 0;
  if (GLO_USELOG != 0 && GLO_LOGEXITCODES != 0) {
    logged = request.handle_out != nullptr ? services.processes->Share(handle) : handle;
    if (logged != 0) {
      ExitCodeQueue.buffer.ProcessHandle = logged;
      ExitCodeQueue.buffer.ProgramName = command;
      ExitCodeQueue.Add();
    }
  }
  if (request.handle_out != nullptr) {
    *request.handle_out = handle;
  } else if (logged == 0) {
    services.processes->Release(handle);
  }
}

}  // namespace

TaskProgramRequest DueTaskProgram(std::int32_t task_id, std::string command, std::string folder) {
  TaskProgramRequest request;
  request.task_id = task_id;
  request.command = std::move(command);
  request.folder = std::move(folder);
  return request;
}

bool StartTaskProgram(const TaskProgramRequest& request, const std::function<void()>& after_start) {
  TaskRoadServices& services = CurrentTaskRoadServices();
  ScriptLoadingLock lock;
  const std::string command(ClipView(request.command));

  if (Upper(command).starts_with("VXCHAIN")) {
    const Started chained = StartCommand(request, command, 1, services);
    if (chained.handle != 0) services.processes->Release(chained.handle);
    if (services.close_program) services.close_program();
    return chained.code >= 32;
  }

  const std::int32_t show_mode = request.force_normal ? 1 : request.show_mode;
  TaskLog(request.command, "Run Program");

  if (Upper(command) != "N/A") {
    ACTIVEQUEUE.buffer.PRGNAME = command;
    const Started started = StartCommand(request, command, show_mode, services);
    // The last program started, for the script steps queued after it: its handle, or the
    // opener's result for a document or link.
    ACTIVEQUEUE.buffer.PRGHANDLE =
        static_cast<std::uint32_t>(started.handle != 0 ? started.handle : started.code);
    if (started.code < 32) {
      // The folder is named as well as the reason: a wrong start folder is as common a cause
      // as a wrong program, and the error number alone tells neither.
      std::string folder(ClipView(request.folder));
      if (folder.empty()) {
        std::error_code ec;
        folder = std::filesystem::current_path(ec).string();
      }
      MessageBoxRequest box;
      box.caption = "Error Code " + std::to_string(started.code);
      box.text =
          "Could not start " + command + ".\n\nStart folder: " + folder + "\n" + started.reason;
      box.icon = MessageIcon::Exclamation;
      services.messages->Show(box);
      return false;
    }
    if (started.handle != 0) KeepProgram(request, command, started.handle, services);
  }

  if (after_start) after_start();
  return true;
}

}  // namespace vx
