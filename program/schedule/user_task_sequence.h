// The tasks a list shows in multi-user mode, each by the current user's own state of it.
//
// There each person has their own next and last run, skip, disabled, completed and skipped
// switches of every task they take part in (VXUSD), while SCHEDULE keeps the team's. A task
// list walks SCHEDULE over the tasks of its range as it always does, adds each task here, and
// reads them back in the order of the user's next runs, each with the user's state laid over
// it in SCH, so that its dates, icons, colours, day and date filters are the user's. A task
// the user has no row for shows the team's state (it is the team's task; it does not run for
// the user until they are given a row).
//
// Only what the list reads is laid over: a record the list puts back into the buffer for a
// command (the highlighted task, for the task form, Copy, Quick) is the stored task, so the
// task form edits the team's task and never writes one user's state into it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "datadll/dictionary/user_tables.h"

namespace vx {

class UserTaskSequence {
 public:
  // Starts afresh: reads the current user's rows and forgets the tasks added before.
  void Begin();
  // The current user's row of task `id`, or nullptr.
  const VXUSD_RECORD* RowOf(std::int32_t id) const;
  const std::map<std::int32_t, VXUSD_RECORD>& Rows() const { return rows_; }
  // Adds the task in SCH, at its current position in SCHEDULE.
  void Add();
  // Adds every task of the walk the caller set on SCHEDULE (all of them, or only those the user
  // has no row for). A long walk gives the other runtime threads a turn now and then, as a
  // list's own read does.
  void AddWalk(bool only_without_row = false);
  // Adds the tasks whose next run is on `day` as the user has it: the user's rows of that day
  // and, walked by the date key, the tasks of that day the user has no row for.
  void AddDay(std::int32_t day);
  // Puts the tasks added in the order of the user's next runs (date, then time); tasks of one
  // moment keep the order they were added in.
  void SortByRun();
  // The same within each category of a walk in category order: the tasks of one category stay
  // together, the categories in the order they were added in (letter case aside, as the key
  // compares them).
  void SortByRunWithinCategory();
  // The next task into SCH with the user's state laid over it; false after the last. A task
  // removed since it was added is passed over.
  bool Next();

 private:
  struct Entry {
    std::int32_t date = 0, time = 0;
    long position = 0;
    std::string category;  // clipped, in capitals
  };
  // The order of the user's next runs: date, then time.
  static bool RunsBefore(const Entry& a, const Entry& b);
  std::map<std::int32_t, VXUSD_RECORD> rows_;
  std::vector<Entry> entries_;
  std::size_t next_ = 0;
};

}  // namespace vx
