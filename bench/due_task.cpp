// Phase 3 of the tick on a task table of 100,000 tasks, none of them due: the walk of the
// (disabled, date, time) key to the next task, its status text and tray tip. Aim: well under a
// millisecond, since it runs on Main's thread every few seconds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/schedule/table_schedule_services.h"
#include "program/shell/due_task.h"
#include "program/shell/due_task_table.h"
#include "bench/task_folder.h"
#include "runtime/dates.h"
#include "runtime/storage/sqlite_session.h"

namespace {

using namespace vx;

constexpr int kTasks = 100000;
constexpr std::int32_t kToday = 80000;

class BenchServices final : public TableScheduleServices {
 public:
  void AddTaskCopy() override {}
  void ShowMessage(std::string_view, std::string_view) override {}
  std::string FormatDate(std::int32_t date) override { return std::to_string(date); }
};

class QuietFrame final : public DueTaskFrame {
 public:
  void SetStatusText(std::string_view text, bool) override { benchmark::DoNotOptimize(text.size()); }
  void SetTrayTip(std::string_view tip) override { benchmark::DoNotOptimize(tip.size()); }
  void RestoreFrame() override {}
  void StartTaskMessageThread() override {}
  void ShowModalMessage() override {}
  void PostEvent(int, std::int32_t) override {}
};


void BM_CheckNextTask100k(benchmark::State& state) {
  bench::TaskFolder folder(kTasks, kToday);
  FixedClock clock(kToday, 12 * 360000 + 1);
  ScopedClock scoped_clock(clock);
  BenchServices services;
  ScopedScheduleServices scoped_services(services);
  DueTaskTableFiles table;
  QuietFrame frame;
  DueTaskState due;
  for (auto _ : state) CheckNextTask(due, table, frame);
  state.counters["next_id"] = due.current.ID;
}
// A fixed count, so that the table is filled once.
BENCHMARK(BM_CheckNextTask100k)->Unit(benchmark::kMicrosecond)->Iterations(5000);

}  // namespace
