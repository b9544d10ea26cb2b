// "Schedule in Brief" over 100,000 tasks in date order, run as the program runs it: the preview
// question answered Yes, the progress window printing its batches tick by tick, the previewer
// opening on the first page, Print. Timed: from the start of the run until the previewer shows
// (the time to the first previewed page; the pages are all made by then). Counters: the pages,
// pages per second, and the longest gap between two ticks of another runtime thread's timer
// while the report runs (the stall Main's one-second tick would see; its timer asks for a tick
// every hundredth). The twin reads the same rows in the same order with plain SQLite and lays
// them out with the same page engine and layout, without the run's window.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>

#include "bench/task_folder.h"
#include "bench/twin.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "framework/table_view.h"
#include "program/reports/report_run.h"
#include "program/reports/schedule_report_layouts.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/storage/record_codec.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/support/test_driver.h"

namespace {

using namespace vx;
using Clock = std::chrono::steady_clock;
using vx::bench::Quoted;

constexpr int kTasks = 100000;

bench::TaskFolder& Folder() {
  // Never destroyed (see SharedTaskFolder): at exit the threads' open tables are gone first.
  static bench::TaskFolder* folder = new bench::TaskFolder(kTasks, DATE(6, 12, 2026));
  return *folder;
}

// The twin: the rows in date order by plain SQLite, laid out by the same engine.
std::size_t PlainPages(const std::string& file) {
  const storage::TableDef& tasks = SCHEDULE_TABLE();
  sqlite3* db = bench::OpenPlain(file);
  std::string columns;
  for (const storage::FieldDef& f : tasks.fields)
    columns += (columns.empty() ? "" : ", ") + Quoted(f.name);
  sqlite3_stmt* select = bench::PreparePlain(db, "SELECT " + columns + " FROM " +
                                                     Quoted(bench::StoredFile(tasks).second) +
                                                     " ORDER BY \"Date\", \"Time\", rowid");
  SCHEDULE_RECORD task;
  std::string status;
  report::ReportLayout layout = BriefLayout("Schedule in Brief", task, status);
  layout.closing = report::Band(10);  // the run's closing blank
  layout.closing.Text(" ", 0, 0);
  report::ReportWriter writer(layout);
  while (sqlite3_step(select) == SQLITE_ROW) {
    char* record = reinterpret_cast<char*>(&task);
    for (std::size_t i = 0; i < tasks.fields.size(); ++i)
      storage::ReadField(select, static_cast<int>(i), tasks.fields[i], record);
    status = TaskStatusText(task);
    writer.PrintDetail();
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  return writer.End().size();
}

void BM_ScheduleReport(benchmark::State& state) {
  bench::TaskFolder& folder = Folder();
  std::size_t pages = 0, plain_pages = 0;
  double made = 0, worst_gap = 0;
  bench::MeasureTwinsTimed(
      state,
      [&] {
        TestDriver ui(std::chrono::minutes(10));
        ui.AnswerMessage(BUTTON_YES);
        std::atomic<bool> report_done{false};
        double gap = 0;
        const Clock::time_point start = Clock::now();
        ui.Start([&] {
          START([&] {
            Window ticker("Ticker");
            ticker.Timer(1);
            ticker.Open();
            Clock::time_point last = Clock::now();
            while (ticker.Accept()) {
              if (EVENT() != EVENT_Timer) continue;
              const Clock::time_point now = Clock::now();
              if (!report_done)
                gap = std::max(gap, std::chrono::duration<double>(now - last).count());
              last = now;
            }
          });
          std::string status;
          report::ReportLayout layout = BriefLayout("Schedule in Brief", SCH, status);
          ReportRun run("PrintScheduleBrief", layout);
          ACCESS_SCHEDULE->Open();
          TableView view(ACCESS_SCHEDULE->file(), {&SCH_KEYDATE});
          run.Run(view, 1, static_cast<std::size_t>(ACCESS_SCHEDULE->file().Records()), {},
                  [&] { status = TaskStatusText(SCH); });
          ACCESS_SCHEDULE->Close();
        });
        DriverWindow preview = ui.WaitWindow("Print Preview");
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        report_done = true;
        preview.Control("&Print").Press();
        ui.Finish();
        pages = ui.Prints().empty() ? 0 : ui.Prints()[0].pages->size();
        made += seconds;
        worst_gap = std::max(worst_gap, gap);
        return seconds;
      },
      [&] { return bench::Seconds([&] { plain_pages = PlainPages(folder.twin); }); }, 0);
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["pages_per_s"] =
      made > 0 ? pages * static_cast<double>(state.iterations()) / made : 0;
  state.counters["longest_tick_gap_ms"] = worst_gap * 1e3;
  if (pages != plain_pages) state.SkipWithError("the twin made another number of pages");
}
BENCHMARK(BM_ScheduleReport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
