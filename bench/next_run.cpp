// The next run of each kind of task, from a stored moment one day (argument 1) and ten years
// (argument 3652) behind the reference: the cost must not grow with the distance.
// Aim: every rule at most 100-120 ns, at either distance.
#include <benchmark/benchmark.h>

#include <functional>

#include "datadll/dictionary/schedule_table.h"
#include "program/recurrence/recurrence.h"
#include "runtime/dates.h"

namespace {

using vx::SCHEDULE_RECORD;

const std::int32_t kRefDate = vx::DATE(6, 16, 2025);
const std::int32_t kRefTime = vx::MakeTime(12, 34, 56);

SCHEDULE_RECORD Task(const char* type, std::int32_t days_behind) {
  SCHEDULE_RECORD t;
  t.ScheduleType = type;
  t.Date = kRefDate - days_behind;
  t.Time = vx::MakeTime(9, 0);
  return t;
}

SCHEDULE_RECORD Every(const char* unit, std::int32_t count, std::int32_t days_behind) {
  SCHEDULE_RECORD t = Task("Custom", days_behind);
  t.EveryType = unit;
  t.Every = count;
  return t;
}

void Run(benchmark::State& state, const std::function<SCHEDULE_RECORD(std::int32_t)>& make) {
  const SCHEDULE_RECORD task = make(static_cast<std::int32_t>(state.range(0)));
  // Only the fields the computation changes are put back each time: copying the whole record
  // (5 KB) would cost more than the computation.
  vx::SCH = task;
  for (auto _ : state) {
    vx::SCH.Date = task.Date;
    vx::SCH.Time = task.Time;
    vx::SCH.Completed = task.Completed;
    vx::SCH.Every = task.Every;
    vx::ComputeNextRun(kRefDate, kRefTime);
    benchmark::DoNotOptimize(vx::SCH.Date);
  }
}

#define NEXT_RUN_BENCH(name, ...)                                             \
  static void BM_##name(benchmark::State& state) { Run(state, __VA_ARGS__); } \
  BENCHMARK(BM_##name)->Arg(1)->Arg(3652)

NEXT_RUN_BENCH(EveryMinute, [](std::int32_t behind) { return Every("minute(s)", 1, behind); });
NEXT_RUN_BENCH(Every90Minutes, [](std::int32_t behind) { return Every("minute(s)", 90, behind); });
NEXT_RUN_BENCH(EveryHour, [](std::int32_t behind) { return Every("hour(s)", 1, behind); });
NEXT_RUN_BENCH(EveryDay, [](std::int32_t behind) { return Every("day(s)", 1, behind); });
NEXT_RUN_BENCH(EveryWeek, [](std::int32_t behind) { return Every("week(s)", 1, behind); });
NEXT_RUN_BENCH(EveryMonth, [](std::int32_t behind) { return Every("month(s)", 1, behind); });
NEXT_RUN_BENCH(EveryYear, [](std::int32_t behind) { return Every("year(s)", 1, behind); });
NEXT_RUN_BENCH(Monthly, [](std::int32_t behind) { return Task("Monthly", behind); });
NEXT_RUN_BENCH(MonthlyOn31st, [](std::int32_t behind) {
  SCHEDULE_RECORD t = Task("Monthly", behind);
  t.Date = vx::DATE(1, 31, vx::YEAR(t.Date));  // rolls into March once, then keeps its day
  return t;
});
NEXT_RUN_BENCH(TwiceMonthly, [](std::int32_t behind) {
  SCHEDULE_RECORD t = Task("Monthly", behind);
  t.MonthRepeat = "Twice - 15th, Last";
  t.Offset = 2;
  return t;
});
NEXT_RUN_BENCH(Yearly, [](std::int32_t behind) { return Task("Yearly", behind); });
NEXT_RUN_BENCH(DayOfWeek, [](std::int32_t behind) {
  SCHEDULE_RECORD t = Task("Day of Week", behind);
  t.Tuesday = 1;
  t.Friday = 1;
  return t;
});
NEXT_RUN_BENCH(DayOfMonth, [](std::int32_t behind) {
  SCHEDULE_RECORD t = Task("Day of Month", behind);
  t.Monday = 1;
  t.Every1st = 1;
  return t;
});
NEXT_RUN_BENCH(LastFridayOfMonth, [](std::int32_t behind) {
  SCHEDULE_RECORD t = Task("Day of Month", behind);
  t.Friday = 1;
  t.EveryLast = 1;
  return t;
});
NEXT_RUN_BENCH(MonthEnd, [](std::int32_t behind) {
  SCHEDULE_RECORD t = Task("Day of Month", behind);
  t.LastDayOfMonth = 1;
  return t;
});

}  // namespace
