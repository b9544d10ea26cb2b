// Main's timer tick on a task table of 1,000,000 tasks, alone and behind 10,000 enabled tasks
// with neither date nor time. Timed: the tick that runs phase 3 (the due-task check), from
// posting the timer event to Main's thread until the tick has ended; the counters add its run
// on Main's thread alone (from its first step to its end), the mean of the other three ticks of
// a turn, and plain SQLite reading the row the check finds. The other phases run as in the
// program, untimed. Each repetition starts Main afresh and waits until it has come up.
// Aim: under 20 us at 1,000,000 tasks and under 50 us behind the undated tasks.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "bench/task_folder.h"
#include "bench/twin.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/common/program_registry.h"
#include "program/due_tasks/advance_warnings.h"
#include "program/due_tasks/check_clock_and_exit_codes.h"
#include "program/due_tasks/remove_history.h"
#include "program/organiser/capture_clipboard.h"
#include "program/shell/install_program_services.h"
#include "program/shell/main_frame.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "tests/support/fixed_clock.h"

namespace {

using namespace vx;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kToday = 80000;

void BM_MainTickPhase3(benchmark::State& state) {
  const bench::TaskFolder& folder = bench::SharedTaskFolder(
      static_cast<int>(state.range(0)), kToday, static_cast<int>(state.range(1)));
  test::FixedClock clock(kToday, 12 * 360000 + 1);
  test::ScopedClock scoped_clock(clock);
  ProgramRegistry().INIT(1);
  const InstalledProgramServices installed;

  // Which phase a tick ran: the other phases say so through their steps.
  int phase = 0;
  bool ticked = false;
  Clock::time_point body_start, body_end;
  MainServices services;
  services.manual_timer = true;
  services.steps.capture_clipboard = [&] {
    body_start = Clock::now();
    CaptureClipboard();
  };
  services.steps.advance_warnings = [&] {
    phase = 1;
    CheckAdvanceWarnings();
  };
  services.steps.remove_history = [&] {
    phase = 2;
    return RemoveHistory();
  };
  services.steps.check_clock = [&] {
    phase = 4;
    CheckClockAndExitCodes();
  };
  services.steps.after_tick = [&] {
    body_end = Clock::now();
    ticked = true;
  };
  ProgramServices with_main = CurrentProgramServices();
  with_main.main = &services;
  const ScopedProgramServices scoped_main(with_main);

  bench::PlainFirstRow plain(folder.twin, bench::StoredFile(SCHEDULE_TABLE()).second,
                             SCHEDULE_TABLE(),
                             "WHERE (\"Disabled\", \"Date\", \"Time\") >= (0, 0, 1) "
                             "ORDER BY \"Disabled\", \"Date\", \"Time\", rowid LIMIT 1");
  auto row = std::make_unique<SCHEDULE_RECORD>();
  double on_main = 0, others = 0;
  int other_ticks = 0;

  RunProgram([&] {
    // Left set by the repetition before: this run's Main has not come up until it sets it.
    GLO_MAINTHREAD = 0;
    const long main_thread = START(Main);
    while (GLO_MAINTHREAD == 0) YIELD();
    MONITORCLIPBOARD = 1;
    STARTUPACTIVE = 1;
    const auto tick = [&] {
      phase = 3;
      ticked = false;
      POST(EVENT_Timer, 0, main_thread);
      while (!ticked) YIELD();
    };
    bench::MeasureTwinsTimed(
        state,
        [&] {
          for (;;) {
            const double seconds = bench::Seconds(tick);
            if (phase == 3) {
              on_main += std::chrono::duration<double>(body_end - body_start).count();
              return seconds;
            }
            others += seconds;
            ++other_ticks;
          }
        },
        [&] { return bench::Seconds([&] { plain.Read(reinterpret_cast<char*>(row.get())); }); });
    MINIMIZEONCLOSEREQUEST = 0;
  });
  ProgramRegistry().KILL();
  GLO_MAINTHREAD = 0;

  const double n = static_cast<double>(state.iterations());
  state.counters["on_main_us"] = on_main * 1e6 / n;
  state.counters["other_ticks_us"] = other_ticks > 0 ? others * 1e6 / other_ticks : 0;
}
// A fixed count, so that no run is repeated to estimate one; every iteration is one turn of
// four ticks.
BENCHMARK(BM_MainTickPhase3)
    ->Args({1000000, 0})
    ->Args({1000000, 10000})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1000);

}  // namespace
