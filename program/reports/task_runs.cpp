#include "program/reports/task_runs.h"

#include "program/recurrence/next_run_steps.h"
#include "program/recurrence/schedule_texts.h"
#include "runtime/dates.h"

namespace vx {
namespace {

// Moves `walk` to its first run after its current one; false when there is none (no further
// run, the end moment passed, or the rule gives the same run again).
bool StepToNextRun(SCHEDULE_RECORD& walk, std::int32_t ref_date, std::int32_t ref_time) {
  const std::int32_t date = walk.Date;
  const std::int32_t time = walk.Time;
  walk.Completed = 0;
  // An unknown unit has been told about when the task was stored; the walk stays quiet.
  ComputeNextRunOf(walk, ref_date, ref_time, false);
  return walk.Completed == 0 && (walk.Date != date || walk.Time != time);
}

}  // namespace

bool ForEachRunInRange(const SCHEDULE_RECORD& task, std::int32_t from, std::int32_t to,
                       const std::function<bool(const SCHEDULE_RECORD& run)>& take,
                       std::size_t most) {
  if (task.Date == 0 || task.Date > to || most == 0) return false;
  std::size_t taken = 0;
  // Each run is the task as stored with the run's date and time.
  SCHEDULE_RECORD run = task;
  auto hand_over = [&](const SCHEDULE_RECORD& walk) {
    run.Date = walk.Date;
    run.Time = walk.Time;
    ++taken;
    return take(run);
  };
  if (task.Date >= from && !hand_over(task)) return false;
  // A completed record (the history copy of a performed run, or a task with no run left) has
  // no later run, whatever its rule: its runs after the one it records never happen.
  if (IsScheduleType(task, "Once") || task.Completed != 0) return false;

  SCHEDULE_RECORD walk = task;
  // A next run before the range goes straight to the first run after the day before it, with
  // the rule's own jump rather than one step a run, so an old every-minute task costs no more
  // than a current one.
  bool stepped = walk.Date < from ? StepToNextRun(walk, from - 1, TIME_DAY - TIME_MINUTE)
                                  : StepToNextRun(walk, walk.Date, walk.Time + 1);
  while (stepped && walk.Date <= to) {
    if (walk.Date >= from) {
      if (taken == most) return true;
      if (!hand_over(walk)) return false;
    }
    stepped = StepToNextRun(walk, walk.Date, walk.Time + 1);
  }
  return false;
}

}  // namespace vx
