// Main's timer tick on a task table of 1,000,000 tasks, alone and behind 10,000 enabled tasks
// with neither date nor time. Beside each figure: plain SQLite reading the row the check finds.
//
// BM_MainTickPhase3 times the tick as the program runs it: the timer event arises on Main's own
// thread and its window's event loop hands it to the tick there. Here Main posts each timer
// event to itself when the tick before has ended (the frame's own timer is off, so that the
// ticks follow one another without waiting a second); a tick that runs phase 3 (the due-task
// check) is timed from that post until it has ended, then its twin runs on Main's thread too.
// The post costs a lock of Main's own queue, which nobody else holds, where the program's timer
// reads the clock; the loop takes the event with the same steps. The counters add the tick's
// body alone (from its first step to its end) and the mean of the other three ticks of a turn.
// The other phases run as in the program, untimed.
//
// BM_MainTickPhase3Posted times the same tick with each timer event posted from another runtime
// thread, which then waits for the tick's end: the figure includes the hand-off of the event
// and of the runtime lock to Main and back, which the program's own timer does not make.
//
// Each repetition starts Main afresh and waits until it has come up.
// Aim: under 20 us at 1,000,000 tasks and under 50 us behind the undated tasks.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

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

// Main with the benchmark's steps, on a shared task folder, for one benchmark's run.
class TickBench {
 public:
  explicit TickBench(benchmark::State& state)
      : folder_(bench::SharedTaskFolder(static_cast<int>(state.range(0)), kToday,
                                        static_cast<int>(state.range(1)))),
        clock_(kToday, 12 * 360000 + 1),
        scoped_clock_(clock_),
        plain_(folder_.twin, bench::StoredFile(SCHEDULE_TABLE()).second, SCHEDULE_TABLE(),
               "WHERE (\"Disabled\", \"Date\", \"Time\") >= (0, 0, 1) "
               "ORDER BY \"Disabled\", \"Date\", \"Time\", rowid LIMIT 1"),
        row_(std::make_unique<SCHEDULE_RECORD>()) {
    ProgramRegistry().INIT(1);
    services_.manual_timer = true;
    // Which phase a tick ran: the other phases say so through their steps.
    services_.steps.capture_clipboard = [this] {
      body_start_ = Clock::now();
      CaptureClipboard();
    };
    services_.steps.advance_warnings = [this] {
      phase_ = 1;
      CheckAdvanceWarnings();
    };
    services_.steps.remove_history = [this] {
      phase_ = 2;
      return RemoveHistory();
    };
    services_.steps.check_clock = [this] {
      phase_ = 4;
      CheckClockAndExitCodes();
    };
    services_.steps.after_tick = [this] {
      body_end_ = Clock::now();
      if (after_tick_) after_tick_();
    };
  }
  ~TickBench() {
    ProgramRegistry().KILL();
    GLO_MAINTHREAD = 0;
  }
  TickBench(const TickBench&) = delete;
  TickBench& operator=(const TickBench&) = delete;

  // Runs `drive` on a runtime thread beside a freshly started Main (its thread number given),
  // with the benchmark's steps installed.
  template <class Drive>
  void Run(Drive drive) {
    const InstalledProgramServices installed;
    ProgramServices with_main = CurrentProgramServices();
    with_main.main = &services_;
    const ScopedProgramServices scoped_main(with_main);
    RunProgram([&] {
      // Left set by the repetition before: this run's Main has not come up until it sets it.
      GLO_MAINTHREAD = 0;
      const long main_thread = START(Main);
      while (GLO_MAINTHREAD == 0) YIELD();
      MONITORCLIPBOARD = 1;
      STARTUPACTIVE = 1;
      drive(main_thread);
      MINIMIZEONCLOSEREQUEST = 0;
    });
  }

  // Seconds plain SQLite takes to read the row the check finds.
  double Twin() {
    return bench::Seconds([&] { plain_.Read(reinterpret_cast<char*>(row_.get())); });
  }
  double Body() const { return std::chrono::duration<double>(body_end_ - body_start_).count(); }

  int phase_ = 0;
  Clock::time_point body_start_, body_end_;
  std::function<void()> after_tick_;  // on Main's thread, at the end of every tick

 private:
  const bench::TaskFolder& folder_;
  test::FixedClock clock_;
  test::ScopedClock scoped_clock_;
  bench::PlainFirstRow plain_;
  std::unique_ptr<SCHEDULE_RECORD> row_;
  MainServices services_;
};

constexpr int kWarmUp = 100;

void BM_MainTickPhase3(benchmark::State& state) {
  TickBench bench(state);
  const std::size_t wanted = static_cast<std::size_t>(kWarmUp + state.max_iterations);
  std::vector<double> ticks, twins;
  double on_main = 0, others = 0;
  int other_ticks = 0;
  std::atomic<bool> done{false};
  Clock::time_point posted;
  long main_thread = 0;
  bool started = false;

  // Every tick ends here on Main's thread and posts the next, until enough phase-3 ticks ran.
  // The first tick, posted from the benchmark's thread, is not counted.
  bench.after_tick_ = [&] {
    const double whole = std::chrono::duration<double>(bench.body_end_ - posted).count();
    if (started && bench.phase_ == 3) {
      ticks.push_back(whole);
      if (ticks.size() > static_cast<std::size_t>(kWarmUp)) on_main += bench.Body();
      twins.push_back(bench.Twin());
    } else if (started && ticks.size() >= static_cast<std::size_t>(kWarmUp)) {
      others += whole;
      ++other_ticks;
    }
    started = true;
    if (ticks.size() == wanted) {
      done = true;
      done.notify_one();
      return;
    }
    bench.phase_ = 3;
    posted = Clock::now();
    POST(EVENT_Timer, 0, main_thread);
  };
  bench.Run([&](long main) {
    main_thread = main;
    POST(EVENT_Timer, 0, main_thread);
    const RuntimeUnlocked unlocked;
    done.wait(false);
  });

  std::size_t next = kWarmUp;
  bench::MeasureTwinsTimed(
      state, [&] { return ticks[next]; }, [&] { return twins[next++]; }, 0);
  const double n = static_cast<double>(state.iterations());
  state.counters["on_main_us"] = on_main * 1e6 / n;
  state.counters["other_ticks_us"] = other_ticks > 0 ? others * 1e6 / other_ticks : 0;
}

void BM_MainTickPhase3Posted(benchmark::State& state) {
  TickBench bench(state);
  bool ticked = false;
  bench.after_tick_ = [&] { ticked = true; };
  double on_main = 0, others = 0;
  int other_ticks = 0;
  bench.Run([&](long main_thread) {
    const auto tick = [&] {
      bench.phase_ = 3;
      ticked = false;
      POST(EVENT_Timer, 0, main_thread);
      while (!ticked) YIELD();
    };
    bench::MeasureTwinsTimed(
        state,
        [&] {
          for (;;) {
            const double seconds = bench::Seconds(tick);
            if (bench.phase_ == 3) {
              on_main += bench.Body();
              return seconds;
            }
            others += seconds;
            ++other_ticks;
          }
        },
        [&] { return bench.Twin(); });
  });
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
BENCHMARK(BM_MainTickPhase3Posted)
    ->Args({1000000, 0})
    ->Args({1000000, 10000})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1000);

}  // namespace
