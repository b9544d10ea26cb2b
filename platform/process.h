// Starting other programs as child processes, waiting for them, reading their exit codes and
// ending them.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx::platform {

// The exit code a child reports while it is still running (the value callers compare with).
inline constexpr long STILL_ACTIVE = 259;

// Names one started child for as long as the caller holds it. Handles count up from 1 and are
// never given out twice in a process, so a handle kept after its child ended can never name
// another program. 0 is no handle.
using ProcessHandle = std::int32_t;

// The window mode a caller asks for: 0 hidden, 1 normal, 2 minimised, 3 maximised,
// 7 minimised without activation, 8 shown without activation. Linux has no way to hand a
// window mode to an arbitrary X program at start, so the mode is kept for the caller's log
// and otherwise not applied.
enum class ShowMode : int {
  Hidden = 0,
  Normal = 1,
  Minimised = 2,
  Maximised = 3,
  MinimisedNoActivate = 7,
  NoActivate = 8,
};

// Scheduling priority of the child, applied as its nice value: Idle is nice 19, High asks for
// nice -5, which an unprivileged user is refused; the child then runs at normal priority.
enum class ProcessPriority { Normal, Idle, High };

// What to start. The program is argv[0]: a name without "/" is looked up on PATH. No shell is
// involved; each argument reaches the child exactly as given.
struct ProcessRequest {
  std::vector<std::string> argv;
  std::filesystem::path folder;  // start folder of the child; empty keeps the caller's
  ShowMode show = ShowMode::Normal;
  ProcessPriority priority = ProcessPriority::Normal;
  // "NAME=value" variables the child gets besides this program's environment (a secret such as
  // a password, which the process list would show on a command line).
  std::vector<std::string> environment;
};

// Outcome of a start: a handle, or the errno that stopped it.
struct StartResult {
  ProcessHandle handle = 0;
  int error = 0;              // 0 on success
  bool folder_error = false;  // the start folder does not exist (error is ENOENT or ENOTDIR)
  explicit operator bool() const { return handle != 0; }
};

// Starts programs and tracks them. Implemented for real by SystemProcessLauncher; tests use a
// fake.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;

  virtual StartResult Start(const ProcessRequest& request) = 0;

  // STILL_ACTIVE while the child runs; then its exit status (0..255), or 128 + the signal number
  // when a signal ended it. Empty for a handle that was never given out or was released.
  virtual std::optional<long> ExitCode(ProcessHandle handle) = 0;

  // Waits at most timeout for the child to end (a negative timeout waits for ever). True when
  // it has ended; false on timeout or for an unknown handle.
  virtual bool Wait(ProcessHandle handle, std::chrono::milliseconds timeout) = 0;

  // Asks the child to end (SIGTERM) and returns at once. False for an unknown handle.
  virtual bool Terminate(ProcessHandle handle) = 0;

  // Ends the child: SIGTERM, then SIGKILL when it is still running after grace (a negative
  // grace waits for ever). True once it has ended.
  virtual bool Kill(ProcessHandle handle, std::chrono::milliseconds grace) = 0;

  // The caller no longer needs the handle. The child keeps running and is still reaped when it
  // ends; the handle is not given out again.
  virtual void Release(ProcessHandle handle) = 0;

  // A second, new handle naming the same child, for a holder that lets go of it on its own
  // schedule: each handle is released independently, and the child is forgotten only once every
  // handle naming it has been released and it has been reaped. 0 for an unknown or released
  // handle.
  virtual ProcessHandle Share(ProcessHandle handle) = 0;

  // The child's process id (for matching windows to programs); 0 for an unknown handle.
  virtual pid_t ProcessId(ProcessHandle handle) = 0;
};

// The real launcher: posix_spawnp with the argv as given, the start folder set in the child
// only, standard input from /dev/null, no descriptors but 0-2 inherited, a session of its own
// (the child outlives this program and its terminal, as a started program should). A thread of
// the launcher reaps its own children, and only those (waitpid on their pids), as soon as they
// end, so no child stays a zombie and no other code's child is taken.
//
// Destroying a launcher leaves children that are still running unreaped; use the process-wide
// one (SystemProcesses) outside tests.
class SystemProcessLauncher final : public ProcessLauncher {
 public:
  SystemProcessLauncher();
  ~SystemProcessLauncher() override;
  SystemProcessLauncher(const SystemProcessLauncher&) = delete;
  SystemProcessLauncher& operator=(const SystemProcessLauncher&) = delete;

  StartResult Start(const ProcessRequest& request) override;
  std::optional<long> ExitCode(ProcessHandle handle) override;
  bool Wait(ProcessHandle handle, std::chrono::milliseconds timeout) override;
  bool Terminate(ProcessHandle handle) override;
  bool Kill(ProcessHandle handle, std::chrono::milliseconds grace) override;
  void Release(ProcessHandle handle) override;
  ProcessHandle Share(ProcessHandle handle) override;
  pid_t ProcessId(ProcessHandle handle) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The process-wide real launcher.
ProcessLauncher& SystemProcesses();

// Result of ending a program by its process id.
enum class EndResult { Ended, NotFound, NotPermitted, StillRunning };

// Ends any program by process id (the script's close-program action): SIGTERM, then SIGKILL
// when it is still running after grace. The process is held through a pid file descriptor from
// the first signal on, so a pid that is reused meanwhile is never signalled.
EndResult EndProgram(pid_t pid, std::chrono::milliseconds grace);

}  // namespace vx::platform
