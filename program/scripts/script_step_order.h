// The order of a task's script steps: its steps read in sequence order, a step moved among
// them, and the numbers closed up after a delete. A move keeps the set of sequence numbers the
// task uses (gaps stay where they are); only which step holds which number changes.
#pragma once

#include <cstdint>
#include <vector>

#include "datadll/dictionary/scripting_table.h"

namespace vx {

enum class TaskStepMove {
  UpOne,       // swaps the step with the one before it
  DownOne,     // swaps the step with the one after it
  ToTop,       // the step first, the ones before it one place down
  ToBottom,    // the step last, the ones after it one place up
  AfterInsert  // a step just added is pulled up to follow the anchor step
};

// The steps of task `id` in sequence order.
std::vector<SCRIPTING_RECORD> TaskSteps(std::int32_t id);

// Moves step `sequence` of task `id`; `anchor` is the sequence it is to follow for AfterInsert.
// Answers the number the step holds afterwards (its own when nothing moved).
std::int32_t MoveTaskStep(std::int32_t id, std::int32_t sequence, TaskStepMove move, std::int32_t anchor = 0);

// Numbers the steps of task `id` from sequence `from` on as from, from + 1, ... in order.
void RenumberTaskSteps(std::int32_t id, std::int32_t from);

}  // namespace vx
