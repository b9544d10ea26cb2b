// The window steps of a script: "Set Focus" and "Wait" (seconds, a window to open or close,
// or either of the two first).
#include <string>

#include "datadll/dictionary/globals.h"
#include "program/recurrence/moments.h"
#include "program/script_engine/script_step_run.h"
#include "program/script_engine/script_trace.h"
#include "program/script_engine/window_search.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// Handles up to 31 are not windows (the search's "not found" and error answers).
constexpr std::int32_t kLowestWindow = 32;

bool Focus(std::int32_t window) {
  return ScriptDesktop().Activate(static_cast<std::uint32_t>(window));
}

void WindowWaitDone(ScriptStepRun& run) {
  run.executor.WindowWaitActive = false;
  ScriptTrace("Completed wait at " + FORMAT(TODAY(), "@d17") + " " + FORMAT(CLOCK(), "@t7"),
              "Debug");
}

}  // namespace

void SetFocusStep(ScriptStepRun& run) {
  const SCRIPTING_RECORD& s = run.step.SCR;
  run.executor.FoundWindow =
      FindWindowByTitle(s.WaitForWindow.clipped(), s.FocusOnWindow.clipped());
  if (run.executor.FoundWindow >= kLowestWindow) {
    if (Focus(run.executor.FoundWindow))
      ScriptTrace(std::to_string(run.executor.FoundWindow), "Foreground Window");
  } else {
    ScriptTrace(std::string(s.FocusOnWindow.clipped()) + " Failed Set Focus", "Debug");
  }
}

void WaitStep(ScriptStepRun& run) {
  SCRIPTING_RECORD& s = run.step.SCR;
  const std::string mode = UPPER(s.DDEApplicationName.clipped());
  if (mode == "OR" || mode == "EITHER") {
    // Queued without a delay: the seconds count from the step's first run, less the step gap
    // that brought it here.
    if (s.TimeElapsed == 0) {
      std::int64_t date = TODAY();
      std::int64_t time = CLOCK() + static_cast<std::int64_t>(s.SecondsToWait) * 100 - GLOBALDELAY;
      NormalizeDateTime(date, time);
      s.NextTaskID = static_cast<std::int32_t>(date);
      s.TimeElapsed = static_cast<std::int32_t>(time);
      WriteBackStep(run);
    }
    if (CompareDateTime(TODAY(), CLOCK(), s.NextTaskID, s.TimeElapsed) > 0) {
      if (run.executor.WindowWaitActive) WindowWaitDone(run);
      return;
    }
  }
  const std::string_view title = s.WaitForWindow.clipped();
  if (title.empty()) return;

  run.executor.WindowWaitActive = true;
  run.executor.FoundWindow = FindWindowByTitle(s.FocusOnWindow.clipped(), title);
  if (title.starts_with('~')) {
    // Waiting for the window to close.
    if (run.executor.FoundWindow < kLowestWindow) {
      WindowWaitDone(run);
      return;
    }
  } else if (run.executor.FoundWindow >= kLowestWindow) {
    Focus(run.executor.FoundWindow);
    ScriptTrace("Switched to window:\r" + std::string(title), "Debug");
    WindowWaitDone(run);
    return;
  }
  run.executor.KeepStep = true;
}

}  // namespace vx
