// Adds a copy of a task under a new id: the run history of a performed task, and new tasks made
// from an existing one.
#pragma once

#include <string_view>

#include "datadll/dictionary/schedule_table.h"

namespace vx {

// Adds `record` with the message memo `message` under the next free SCH.ID (the highest id + 1,
// raised while taken; 1 in an empty table). Afterwards the SCHEDULE buffer holds the new task
// with its id. A failed add is reported through the file manager; returns its error code.
int AddScheduleHistory(const SCHEDULE_RECORD& record, std::string_view message);

}  // namespace vx
