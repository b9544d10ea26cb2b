// The program steps of a script: "Start Program" (which becomes "Wait for Program End" when it
// waits), "Wait for Program End" and "Close Program".
#include <unistd.h>

#include <string>

#include "datadll/dictionary/globals.h"
#include "program/common/command_line.h"
#include "program/common/start_program.h"
#include "program/common/task_road_services.h"
#include "program/recurrence/moments.h"
#include "program/script_engine/script_step_run.h"
#include "program/script_engine/script_trace.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/window_search.h"
#include "runtime/dates.h"

namespace vx {
namespace {

constexpr std::int64_t kHundredthsPerSecond = 100;

char Option(const SCRIPTING_RECORD& s, std::size_t n) {
  const std::string_view options = s.DDEApplicationName.view();
  return n < options.size() ? options[n] : ' ';
}

// The moment seconds from now, normalised.
void DeadlineIn(std::int64_t seconds, std::int32_t& date, std::int32_t& time) {
  std::int64_t d = TODAY();
  std::int64_t t = CLOCK() + seconds * kHundredthsPerSecond;
  NormalizeDateTime(d, t);
  date = static_cast<std::int32_t>(d);
  time = static_cast<std::int32_t>(t);
}

bool PastDeadline(std::int32_t date, std::int32_t time) {
  return CompareDateTime(TODAY(), CLOCK(), date, time) > 0;
}

void ReleaseProgram(ScriptQueueEntry& entry) {
  if (entry.TaskHandle != 0) CurrentTaskRoadServices().processes->Release(entry.TaskHandle);
  entry.TaskHandle = 0;
}

// A top-level window of another program: listed by the desktop as an application window and
// not owned by this process (Main's frame, a message window).
bool IsOtherProgramsWindow(unsigned long window) {
  if (window == 0) return false;
  platform::DesktopWindows& desktop = ScriptDesktop();
  if (desktop.ProcessOf(window) == static_cast<long>(getpid())) return false;
  for (const platform::DesktopWindow& w : desktop.TopWindows()) {
    if (w.handle == window) return true;
  }
  return false;
}

// The first top-level window of the program that handle names; 0 when it has none (or the
// handle no longer names a program).
unsigned long WindowOfProgram(std::int32_t handle) {
  if (handle <= 0) return 0;
  const pid_t pid = CurrentTaskRoadServices().processes->ProcessId(handle);
  if (pid <= 0) return 0;
  platform::DesktopWindows& desktop = ScriptDesktop();
  for (const platform::DesktopWindow& w : desktop.TopWindows()) {
    if (desktop.ProcessOf(w.handle) == static_cast<long>(pid)) return w.handle;
  }
  return 0;
}

}  // namespace

void StartProgramStep(ScriptStepRun& run) {
  ScriptExecutor& ex = run.executor;
  SCRIPTING_RECORD& s = run.step.SCR;
  const bool wait = Option(s, 0) == '1';
  const char priority = Option(s, 1);
  const char show = Option(s, 2);
  ex.StartWait = wait ? 1 : 0;
  ex.StartPriority = priority == '1' ? 1 : priority == '3' ? 3 : 2;
  ex.StartShowMode = show == '2' || show == '7' || show == '8' ? show - '0' : 1;
  ex.ProgramWaitSeconds = s.TimeElapsed;

  std::string command(s.Command.clipped());
  std::string folder(s.Path.clipped());
  if (Option(s, 3) == '1') {
    command = ExpandVariables(command);
    folder = ExpandVariables(folder);
    ScriptTrace(command, "Translated");
  }
  if (TRANSLATEFILENAMES != 0) {
    command = ExpandVariables(command);
    folder = ExpandVariables(folder);
  }

  const std::string operation(s.DDEApplicationTopic.clipped());
  TaskProgramRequest request = DueTaskProgram(0, command, folder);
  std::string kind = "Debug - Simple Run";
  if (wait || ex.StartPriority != 2 || ex.StartShowMode != 1 || !operation.empty()) {
    request.force_normal = false;
    request.show_mode = ex.StartShowMode;
    request.default_priority = false;
    request.priority = ex.StartPriority;
    if (operation.empty() || wait) {
      kind = "Debug - No Operation Sent";
    } else {
      request.ignore_verb = false;
      request.verb = operation;
      kind = "Debug - Full Command Sent";
    }
  }
  ScriptTrace(command + " | " + folder + " | wait " + std::to_string(ex.StartWait) + " priority " +
                  std::to_string(ex.StartPriority) + " mode " + std::to_string(ex.StartShowMode) +
                  " | " + operation,
              kind);
  // A transfer step's password travels in the environment, never on the command line.
  if (const std::string_view password = s.DDECommand.clipped(); !password.empty()) {
    request.environment.push_back(std::string(kTransferPasswordVariable) + "=" +
                                  std::string(password));
  }

  platform::ProcessHandle handle = 0;
  if (wait) request.handle_out = &handle;
  StartTaskProgram(request);
  if (!wait) return;

  // The step waits for the program it started itself, not for whatever the launcher started
  // last, and with a limit its deadline is kept in the step.
  run.step.TaskHandle = handle;
  s.NextTaskID = 0;
  s.TimeElapsed = 0;
  if (ex.ProgramWaitSeconds != 0) DeadlineIn(ex.ProgramWaitSeconds, s.NextTaskID, s.TimeElapsed);
  s.Action = "Wait for Program End";
  WriteBackStep(run);
  ex.KeepStep = true;
}

void WaitForProgramEndStep(ScriptStepRun& run) {
  SCRIPTING_RECORD& s = run.step.SCR;
  const std::optional<long> code =
      run.step.TaskHandle != 0 ? CurrentTaskRoadServices().processes->ExitCode(run.step.TaskHandle)
                               : std::nullopt;
  if (!code) {
    SetScriptVariable("-1", "ExitCode");
    ReleaseProgram(run.step);
    return;
  }
  SetScriptVariable(std::to_string(*code), "ExitCode");
  if (*code != platform::STILL_ACTIVE) {
    ReleaseProgram(run.step);
    return;
  }
  // Still running: the wait ends at its deadline, when it has one.
  if (s.NextTaskID != 0 && PastDeadline(s.NextTaskID, s.TimeElapsed)) {
    ReleaseProgram(run.step);
    return;
  }
  run.executor.KeepStep = true;
}

void CloseProgramStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  TaskRoadServices& services = CurrentTaskRoadServices();
  if (const std::string_view name = s.Command.clipped(); !name.empty()) {
    // The closing helper gets the name as one argument: nothing in it is read as a command.
    platform::ProcessRequest start;
    start.argv = {HelperProgramPath("KillProc", services.helper_folder).string(),
                  std::string(name)};
    const platform::StartResult started = services.processes->Start(start);
    if (started) services.processes->Release(started.handle);
    return;
  }
  // The window in front, unless that is one of this program's own: then the window of the
  // program the script was started with.
  unsigned long window = ScriptDesktop().ActiveWindow();
  if (!IsOtherProgramsWindow(window)) window = WindowOfProgram(run.step.WindowHandle);
  if (IsOtherProgramsWindow(window)) {
    ScriptDesktop().Close(window);
  } else {
    ScriptTrace("No window to close", "Debug");
  }
}

}  // namespace vx
