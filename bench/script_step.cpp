// Cost of one tick of the step executor that runs a step other than typing or waiting: the
// head of a queue of a few hundred entries is due, run, logged and removed. A tick is one
// second; a step has to stay far below a millisecond so the timer never falls behind.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "program/common/program_services.h"
#include "program/common/task_road_services.h"
#include "program/script_engine/script_executor.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/window_search.h"
#include "runtime/dates.h"
#include "tests/fakes/fake_desktop_windows.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/support/fixed_clock.h"

namespace {

class QuietFrame : public vx::ScriptFrame {
 public:
  void ShowTrayIcon(std::string_view) override {}
  void ShowTaskMessage(const vx::TaskMessage&) override {}
};

constexpr std::int32_t kDay = 80000;
constexpr long kQueued = 300;

void BM_Tick(benchmark::State& state, const std::function<void(vx::SCRIPTING_RECORD&)>& fill) {
  vx::test::FixedClock clock(kDay, 12 * 360000);
  vx::test::ScopedClock scoped(clock);
  vx::test::FakeProcessLauncher processes;
  vx::ConsoleMessageReporter messages;
  vx::TaskRoadServices services;
  services.processes = &processes;
  services.messages = &messages;
  vx::ScopedTaskRoadServices scoped_services(services);
  vx::test::FakeDesktopWindows desktop;
  for (unsigned long w = 1; w <= 40; ++w)
    desktop.Add(100 + w, "Window number " + std::to_string(w));
  vx::ProgramServices with_desktop = vx::CurrentProgramServices();
  with_desktop.script_desktop = &desktop;
  const vx::ScopedProgramServices scoped_desktop(with_desktop);
  vx::VARQ.Free();
  for (int i = 0; i < 50; ++i) vx::SetScriptVariable(std::to_string(i), "VAR" + std::to_string(i));

  vx::ScriptQueueEntry entry;
  fill(entry.SCR);
  entry.DueDate = kDay;
  entry.DueTime = 1;  // long due
  vx::ScriptQueue.Free();
  for (long i = 0; i < kQueued; ++i) {
    vx::ScriptQueue.buffer = entry;
    vx::ScriptQueue.Add();
  }
  QuietFrame frame;
  vx::ScriptExecutor executor(frame);
  for (auto _ : state) {
    executor.RunDueScriptStep();
    vx::ScriptQueue.buffer = entry;  // keep the queue's length
    vx::ScriptQueue.Add();
  }
  vx::ScriptQueue.Free();
}

BENCHMARK_CAPTURE(BM_Tick, set_value, [](vx::SCRIPTING_RECORD& s) {
  s.Action = "Set Value";
  s.Path = "TOTAL";
  s.Command = "=[VAR10]+[VAR20]";
});
BENCHMARK_CAPTURE(BM_Tick, if_value, [](vx::SCRIPTING_RECORD& s) {
  s.Action = "If Value...";
  s.Command = "VAR7";
  s.WindowTitleToCheckFor = "<";
  s.WaitForWindow = "100";
});
BENCHMARK_CAPTURE(BM_Tick, if_window, [](vx::SCRIPTING_RECORD& s) {
  s.Action = "If Window...";
  s.WindowExistance = "Exists";
  s.WindowTitleToCheckFor = "*number 40";
});
BENCHMARK_CAPTURE(BM_Tick, file_exists, [](vx::SCRIPTING_RECORD& s) {
  s.Action = "File Actions";
  s.DDEType = "File Exists";
  s.Command = "/tmp";
});
BENCHMARK_CAPTURE(BM_Tick, start_program, [](vx::SCRIPTING_RECORD& s) {
  s.Action = "Start Program";
  s.Command = "true";
  s.DDEApplicationName = "0211";
});

}  // namespace
