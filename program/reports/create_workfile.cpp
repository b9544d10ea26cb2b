#include "program/reports/create_workfile.h"

#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/process_window.h"
#include "framework/request_globals.h"
#include "program/due_tasks/user_task_state.h"
#include "program/reports/task_runs.h"
#include "program/schedule/user_task_sequence.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

thread_local std::size_t capped_tasks = 0;

class WindowProgress final : public WorkfileProgress {
 public:
  WindowProgress() : window_("CreateWorkfile", "Processing Records") {
    window_.Caption("Creating future occurance information");
    window_.Cancellable();
  }
  void Open(std::size_t tasks) override { window_.Open(tasks); }
  bool Advance() override { return window_.Advance(); }
  void Close() override { window_.Close(); }

 private:
  ProcessWindow window_;
};

// Writes one run as the next row; false when the file manager refused it (and said so).
bool AddRow(const SCHEDULE_RECORD& run, std::int32_t& rows) {
  SCW = run;
  SCW.Message = "";
  SCW.ID = ++rows;
  return ACCESS_SCHEDULEWORKFILE->Insert() == 0;
}

enum class Filled { Completed, Cancelled, Failed };

// Walks the tasks that have a next run on or before the end of the range, in date order. In
// multi-user mode each task is the current user's own state of it, so its runs start from the
// user's next run and its rows carry the user's switches.
Filled FillRows(WorkfileProgress& progress, std::int32_t from, std::int32_t to) {
  std::int32_t rows = static_cast<std::int32_t>(ACCESS_SCHEDULEWORKFILE->file().Records());
  progress.Open(static_cast<std::size_t>(ACCESS_SCHEDULE->file().Records()));
  bool written = true;
  bool cancelled = false;
  // Fills the rows of the task in SCH; false when the pass stops.
  auto fill = [&] {
    const bool capped = ForEachRunInRange(
        SCH, from, to, [&](const SCHEDULE_RECORD& run) { return written = AddRow(run, rows); });
    if (capped) ++capped_tasks;
    cancelled = !progress.Advance();
    return written && !cancelled;
  };
  if (PerUserTaskState()) {
    UserTaskSequence tasks;
    tasks.Begin();
    if (ACCESS_SCHEDULE->file().Set(SCH_KEYDATE) == 0) tasks.AddWalk();
    tasks.SortByRun();
    while (tasks.Next() && SCH.Date <= to) {
      if (SCH.Date > 0 && !fill()) break;  // a task without a date has no run
    }
  } else {
    SCH = SCHEDULE_RECORD{};
    SCH.Date = 1;  // past the tasks without a date
    if (ACCESS_SCHEDULE->SetFromBuffer(SCH_KEYDATE) == 0) {
      while (ACCESS_SCHEDULE->Next() == 0 && SCH.Date <= to && fill()) {
      }
    }
  }
  progress.Close();
  return !written ? Filled::Failed : cancelled ? Filled::Cancelled : Filled::Completed;
}

}  // namespace

void CreateWorkfile() {
  WindowProgress progress;
  CreateWorkfile(progress);
}

void CreateWorkfile(WorkfileProgress& progress) {
  capped_tasks = 0;
  EmptyWorkfile();
  long response = RequestCancelled;
  const SCHEDULE_RECORD saved = SCH;
  if (ACCESS_SCHEDULE->Open() == 0) {
    if (ACCESS_SCHEDULEWORKFILE->Open() == 0) {
      // One transaction for the whole file instead of one a row.
      ACCESS_SCHEDULEWORKFILE->file().Stream();
      if (FillRows(progress, GLO_DATEFROM, GLO_DATETO) == Filled::Completed)
        response = RequestCompleted;
      ACCESS_SCHEDULEWORKFILE->file().Flush();
      ACCESS_SCHEDULEWORKFILE->Close();
    }
    ACCESS_SCHEDULE->Close();
  }
  SCH = saved;
  if (response == RequestCompleted && capped_tasks > 0) {
    MESSAGE("The report lists the first " + std::to_string(kMostRunsPerTask) + " runs of " +
                std::to_string(capped_tasks) + (capped_tasks == 1 ? " task" : " tasks") +
                " in the date range, not all of them.",
            "Report", MessageIcon::Information);
  }
  SetCurrentResponse(response);
}

void EmptyWorkfile() {
  // A work file made for the run is empty already: no window comes and goes for nothing.
  const bool opened = ACCESS_SCHEDULEWORKFILE->Open() == 0;
  if (opened && ACCESS_SCHEDULEWORKFILE->file().Records() > 0) {
    ProcessWindow progress("EmptyWorkfile", "Processing Records");
    progress.Caption("Removing old work file...");
    progress.Open(1);
    if (const int code = ACCESS_SCHEDULEWORKFILE->file().Empty(); code != 0) {
      ACCESS_SCHEDULEWORKFILE->Report(FileMessage::DeleteFailed, code);
    }
    progress.Advance();
    progress.Close();
  }
  if (opened) ACCESS_SCHEDULEWORKFILE->Close();
  SetCurrentResponse(RequestCompleted);
}

std::size_t CappedTasksOfLastWorkfile() { return capped_tasks; }

}  // namespace vx
