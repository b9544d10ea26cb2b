// The rules of a to-do item that need no window: its done switch and completion stamp, the
// number it keeps from its first save, and the message task a to-do item becomes ("Transfer to
// Schedule"). All work on the calling thread's TODO buffer (TDO) unless given an item.
#pragma once

#include <cstdint>
#include <string>

#include "datadll/dictionary/todo_tables.h"

namespace vx {

// Flips the item between open and done. Becoming done stamps it with today and the clock;
// becoming open keeps the old stamp, so an open item may still show when it was last done.
void ToggleToDoDone(TODO_RECORD& item);
// Stamps the item done now (today and the clock).
void StampToDoDone(TODO_RECORD& item);

// The number a new item keeps as its OriginalID: one more than the highest any stored item
// holds (1 for the first), so a number is never given twice while its item is stored, deleted
// items or not. The TDO buffer and the table's current record are as they were before.
std::int32_t NextToDoOriginalID();

// The message of the task an item becomes: its notes (clipped), CR LF, "Completed " and the
// completion date (@d17) when it has one, else "Priority " and the priority, CR LF; then, when
// the item has a resolution, "Resolution:", CR LF, the resolution (clipped) and CR LF.
std::string ToDoTaskMessage(const TODO_RECORD& item);

// Opens the task form ("UpdateSchedule", by its registered name) on a new "Display Message"
// task made from the item in TDO: the message above, the item's text (cut to 40) as the
// description, its category, due tomorrow at the current time. Answers false (and opens
// nothing) while the task form is not registered.
bool TodoToTask();
// The to-do list's "Transfer to Schedule": the same transfer of the highlighted item.
inline bool TransferToSchedule() { return TodoToTask(); }

}  // namespace vx
