// The runs of one task inside a range of dates, as the reports list them: its next run and each
// later one its rule gives, from the next run up to the end of the range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "datadll/dictionary/schedule_table.h"

namespace vx {

// How many runs of one task a report lists at most. Every daily, weekly or monthly task fits
// whole in any range up to 27 years, an hourly one in a year (8,760 runs); only the minute rules
// reach it, in a week or so, and a list of tens of thousands of lines for one task is no longer
// read while it would cost a second and some megabytes for each such task in the work file.
// The cap also ends the walk of a rule that goes on for ever.
inline constexpr std::size_t kMostRunsPerTask = 10000;

// Hands `take` a copy of `task` for each of its runs whose date lies in [from, to], in time
// order: the next run stored in the task, then each later run of its rule (the end moment as the
// rule applies it; exceptions are not applied) until one falls after `to`, the rule gives no
// further run or the same one again, or `most` runs were handed over. A "Once" task and a
// completed one (a history copy) have their one run; a task without a date none. `take` answers
// false to stop the walk. Answers whether the walk stopped at `most` with runs still to come in the
// range.
bool ForEachRunInRange(const SCHEDULE_RECORD& task, std::int32_t from, std::int32_t to,
                       const std::function<bool(const SCHEDULE_RECORD& run)>& take,
                       std::size_t most = kMostRunsPerTask);

}  // namespace vx
