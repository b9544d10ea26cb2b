// Filling the report work file (SCHEDULEWORKFILE, made by ScheduleWorkFile) with the runs of
// every task inside the criteria's date range, GLO_DATEFROM to GLO_DATETO: each task's next run
// and its later ones up to the end of the range (task_runs.h), a task whose next run lies before
// the range with those of its runs that fall inside it. Each row is the task as stored (its
// message left out) with the run's date and time, numbered from 1 in SCW.ID; in multi-user mode
// it is the task as the current user has it (user_task_sequence.h), its runs from the user's
// next run. SCHEDULE is only read; the thread's SCHEDULE buffer is as before afterwards.
//
// Both passes run on the report's thread with the "Processing Records" window; the filling one
// has a Cancel button. GLOBALRESPONSE answers RequestCompleted, or RequestCancelled when the user
// cancelled or a row could not be written (the file manager has said so): the report then
// prints nothing.
#pragma once

#include <cstddef>

namespace vx {

// The progress a filling pass reports to; the window in the program, a scripted one in tests.
class WorkfileProgress {
 public:
  virtual ~WorkfileProgress() = default;
  virtual void Open(std::size_t tasks) = 0;
  // One task done; false stops the pass as cancelled.
  virtual bool Advance() = 0;
  virtual void Close() = 0;
};

void CreateWorkfile();
void CreateWorkfile(WorkfileProgress& progress);

// Removes every row of the work file.
void EmptyWorkfile();

// Tasks of the last filling pass on this thread whose runs in the range passed the cap of
// kMostRunsPerTask (they were said in a box after the pass).
std::size_t CappedTasksOfLastWorkfile();

}  // namespace vx
