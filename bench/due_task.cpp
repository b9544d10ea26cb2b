// Phase 3 of the tick (the due-task check) called directly, none of the tasks due: the walk of
// the (disabled, date, time) key to the next task, its status text and tray tip. Beside it
// plain SQLite reads the row the check finds, every column decoded: the first enabled record
// past those with neither date nor time. Arguments: dated tasks, undated tasks in front.
// Aim: under 10 us at 1,000,000 tasks, since it runs on Main's thread every few seconds.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/task_folder.h"
#include "bench/twin.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/due_task_table.h"
#include "program/due_tasks/table_schedule_services.h"
#include "runtime/dates.h"
#include "tests/support/fixed_clock.h"

namespace {

using namespace vx;

constexpr std::int32_t kToday = 80000;

class BenchServices final : public TableScheduleServices {
 public:
  void AddTaskCopy() override {}
  void ShowMessage(std::string_view, std::string_view) override {}
  std::string FormatDate(std::int32_t date) override { return std::to_string(date); }
};

class QuietFrame final : public DueTaskFrame {
 public:
  void SetStatusText(std::string_view text, bool) override {
    benchmark::DoNotOptimize(text.size());
  }
  void SetTrayTip(std::string_view tip) override { benchmark::DoNotOptimize(tip.size()); }
  void RestoreFrame() override {}
  void StartTaskMessageThread(const TaskMessage&) override {}
  void ShowModalMessage() override {}
  void PostEvent(int, std::int32_t) override {}
  void ShowNotice(const MessageBoxRequest&) override {}
};

void BM_CheckNextTask(benchmark::State& state) {
  const bench::TaskFolder& folder = bench::SharedTaskFolder(
      static_cast<int>(state.range(0)), kToday, static_cast<int>(state.range(1)));
  test::FixedClock clock(kToday, 12 * 360000 + 1);
  test::ScopedClock scoped_clock(clock);
  BenchServices services;
  ScopedScheduleServices scoped_services(services);
  DueTaskTableFiles table;
  QuietFrame frame;
  DueTaskState due;
  bench::PlainFirstRow plain(folder.twin, bench::StoredFile(SCHEDULE_TABLE()).second,
                             SCHEDULE_TABLE(),
                             "WHERE (\"Disabled\", \"Date\", \"Time\") >= (0, 0, 1) "
                             "ORDER BY \"Disabled\", \"Date\", \"Time\", rowid LIMIT 1");
  auto row = std::make_unique<SCHEDULE_RECORD>();
  bench::MeasureTwins(
      state, [&] { CheckNextTask(due, table, frame); },
      [&] { plain.Read(reinterpret_cast<char*>(row.get())); });
  // The same task both ways.
  state.counters["next_id"] = due.current.ID;
  state.counters["plain_id"] = row->ID;
}
// A fixed count, so that no run is repeated to estimate one.
BENCHMARK(BM_CheckNextTask)
    ->Args({1000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 10000})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(5000);

}  // namespace
