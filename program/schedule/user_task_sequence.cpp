#include "program/schedule/user_task_sequence.h"

#include <algorithm>
#include <chrono>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/browse_class.h"
#include "framework/file_manager.h"
#include "program/due_tasks/user_task_state.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"

namespace vx {

void UserTaskSequence::Begin() {
  rows_ = CurrentUserTaskRows();
  entries_.clear();
  next_ = 0;
}

const VXUSD_RECORD* UserTaskSequence::RowOf(std::int32_t id) const {
  const auto it = rows_.find(id);
  return it == rows_.end() ? nullptr : &it->second;
}

void UserTaskSequence::Add() {
  const VXUSD_RECORD* row = RowOf(SCH.ID);
  entries_.push_back({row ? row->DATE : SCH.Date, row ? row->TIME : SCH.Time,
                      static_cast<long>(ACCESS_SCHEDULE->file().Position()),
                      UPPER(SCH.Category.clipped())});
}

void UserTaskSequence::AddDay(std::int32_t day) {
  for (const auto& [id, row] : rows_) {
    if (row.DATE != day) continue;
    SCH.ID = id;
    if (ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == 0) Add();
  }
  SCH.Date = day;
  if (ACCESS_SCHEDULE->file().SetEqual(SCH_KEYDATE, {SCHEDULE_TABLE().FieldIndex("Date")}) == 0)
    AddWalk(true);
}

void UserTaskSequence::AddWalk(bool only_without_row) {
  storage::File& file = ACCESS_SCHEDULE->file();
  auto slice_start = std::chrono::steady_clock::now();
  while (file.Next() == 0) {
    if (!only_without_row || !RowOf(SCH.ID)) Add();
    // Not inside a transaction of this thread: another thread would wait for its write lock
    // holding the runtime lock. The walk queries again from where it stood if one wrote.
    if (std::chrono::steady_clock::now() - slice_start >= BrowseClass::kReadSlice &&
        !storage::InLogout()) {
      YIELD();
      slice_start = std::chrono::steady_clock::now();
    }
  }
}

bool UserTaskSequence::RunsBefore(const Entry& a, const Entry& b) {
  return a.date != b.date ? a.date < b.date : a.time < b.time;
}

void UserTaskSequence::SortByRun() {
  std::stable_sort(entries_.begin(), entries_.end(), RunsBefore);
}

void UserTaskSequence::SortByRunWithinCategory() {
  for (auto first = entries_.begin(); first != entries_.end();) {
    const auto last = std::find_if(first, entries_.end(),
                                   [&](const Entry& e) { return e.category != first->category; });
    std::stable_sort(first, last, RunsBefore);
    first = last;
  }
}

bool UserTaskSequence::Next() {
  storage::File& file = ACCESS_SCHEDULE->file();
  while (next_ < entries_.size()) {
    if (file.GetPosition(entries_[next_++].position) != 0) continue;
    if (const VXUSD_RECORD* row = RowOf(SCH.ID)) OverlayUserState(*row, SCH);
    return true;
  }
  return false;
}

}  // namespace vx
