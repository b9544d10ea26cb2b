// "Scheduled Tasks" opened over a large task table until its window stands with its first page
// of rows (the day's tasks, each with its icons and schedule description), on the headless
// test driver. Argument: tasks in the table (about 27 a day over ten years).
//
// BM_TaskBrowseFirstPage times the list as the program opens it: a thread that waits for
// events as Main does starts the list on a thread of its own, and the figure runs from that
// start until the list's thread first waits for events with its window shown (stamped on that
// thread by the driver's mirror, so that neither starting a run of the driver nor waking the
// benchmark's thread is counted: the program does neither). Beside it plain SQLite reads the
// same day's rows, every column decoded, and formats the texts the list shows for each (date,
// time, last run date and time), which the list's figure includes too.
// Aim: the first page under 50 ms at 100,000 tasks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/task_folder.h"
#include "bench/twin.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/schedule/task_windows.h"
#include "program/shell/frame_files.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/support/fixed_clock.h"

namespace {

using namespace vx;

constexpr std::int32_t kFilled = 80000;  // the folder's tasks start the day after
constexpr std::int32_t kToday = kFilled + 30;

// The longest time another runtime thread's timer (every hundredth of a second) went without
// a turn while the list opened, in seconds.
std::atomic<double> g_longest_stall{0};

void StallMeter() {
  Window w("Stall meter");
  w.Timer(1);
  auto last = std::chrono::steady_clock::now();
  while (w.Accept()) {
    if (EVENT() != EVENT_Timer) continue;
    const auto now = std::chrono::steady_clock::now();
    const double gap = std::chrono::duration<double>(now - last).count();
    if (gap > g_longest_stall) g_longest_stall = gap;
    last = now;
  }
}

// Seconds from starting the list until its window stands with its rows; `rows` gets their
// number. The window is closed again outside the figure. With `meter`, a second thread's timer
// measures g_longest_stall meanwhile.
double OpenBrowse(long& rows, bool meter = false) {
  TestDriver ui(std::chrono::minutes(5));
  const auto start = std::chrono::steady_clock::now();
  ui.Start([meter] {
    if (meter) {
      START(StallMeter);
      YIELD();
      g_longest_stall = 0;
    }
    BrowseSchedule();
  });
  DriverWindow w = ui.WaitWindow("Scheduled Tasks");
  rows = static_cast<long>(w.ControlNumber(6).Rows());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  w.Close();
  ui.Finish();
  return seconds;
}

// A run of the driver whose thread 1 holds the main frame's tables and waits for events, as
// Main does, and starts the list each time it is asked to. Each Open answers the seconds from
// starting the list's thread until the list has settled; the window is closed and its thread ended
// outside the figure.
class BrowseOpener {
 public:
  BrowseOpener() : ui_(std::chrono::minutes(5)) {
    ui_.Start([this] {
      OpenFrameFiles();
      Window w("Opener");
      while (w.Accept()) {
        if (EVENT() != kOpenList) continue;
        started_ = std::chrono::steady_clock::now();
        START(BrowseSchedule);
      }
      CloseFrameFiles();
    });
    opener_ = ui_.WaitWindow("Opener").Thread();
  }
  ~BrowseOpener() {
    ui_.WaitWindow("Opener").Close();
    ui_.Finish();
  }
  BrowseOpener(const BrowseOpener&) = delete;
  BrowseOpener& operator=(const BrowseOpener&) = delete;

  double Open(long& rows) {
    PostEvent(opener_, Event{kOpenList, 0, 0});
    DriverWindow w = ui_.WaitWindow("Scheduled Tasks");
    rows = static_cast<long>(w.ControlNumber(6).Rows());
    const double seconds = std::chrono::duration<double>(w.SettledAt() - started_).count();
    w.Close();
    ui_.WaitThreadEnded(w.Thread());
    return seconds;
  }

 private:
  static constexpr int kOpenList = EVENT_User + 1;
  TestDriver ui_;
  long opener_ = 0;
  std::chrono::steady_clock::time_point started_;  // by thread 1, read once the list settled
};

void BM_TaskBrowseFirstPage(benchmark::State& state) {
  const bench::TaskFolder& folder =
      bench::SharedTaskFolder(static_cast<int>(state.range(0)), kFilled, 0);
  test::FixedClock clock(kToday, 12 * 360000 + 1);
  test::ScopedClock scoped_clock(clock);
  FULLSCHEDULE = 0;
  bench::PlainFirstRow plain(
      folder.twin, bench::StoredFile(SCHEDULE_TABLE()).second, SCHEDULE_TABLE(),
      "WHERE \"Date\" = " + std::to_string(kToday) + " ORDER BY \"Date\", \"Time\", rowid");
  auto row = std::make_unique<SCHEDULE_RECORD>();
  std::vector<std::string> texts;
  long rows = 0, plain_rows = 0;
  BrowseOpener opener;
  bench::MeasureTwinsTimed(
      state, [&] { return opener.Open(rows); },
      [&] {
        return bench::Seconds([&] {
          sqlite3_stmt* stmt = plain.statement();
          plain_rows = 0;
          texts.clear();
          while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (std::size_t i = 0; i < SCHEDULE_TABLE().fields.size(); ++i) {
              storage::ReadField(stmt, static_cast<int>(i) + 1, SCHEDULE_TABLE().fields[i],
                                 reinterpret_cast<char*>(row.get()));
            }
            texts.push_back(FORMAT(row->Date, "@d3"));
            texts.push_back(FORMAT(row->Time, "@t3"));
            texts.push_back(FORMAT(row->LastRunDate, "@d17b"));
            texts.push_back(FORMAT(row->LastRunTime, "@t7b"));
            ++plain_rows;
          }
          sqlite3_reset(stmt);
        });
      },
      3);
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["plain_rows"] = static_cast<double>(plain_rows);
}
BENCHMARK(BM_TaskBrowseFirstPage)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

// The same window opened on "All by Date" (the start-up option to show the full schedule):
// every task is read and shown, so this grows with the table. longest_stall_ms: the longest
// another thread's timer waited for the runtime lock meanwhile.
void BM_TaskBrowseAllByDate(benchmark::State& state) {
  bench::SharedTaskFolder(static_cast<int>(state.range(0)), kFilled, 0);
  test::FixedClock clock(kToday, 12 * 360000 + 1);
  test::ScopedClock scoped_clock(clock);
  FULLSCHEDULE = 1;
  long rows = 0;
  double stall = 0;
  for (auto _ : state) {
    state.SetIterationTime(OpenBrowse(rows, true));
    stall = std::max(stall, g_longest_stall.load());
  }
  FULLSCHEDULE = 0;
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["longest_stall_ms"] = stall * 1000;
}
BENCHMARK(BM_TaskBrowseAllByDate)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
