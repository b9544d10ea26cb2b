// Keeping a task's step numbers in order when the user moves a step in the step list, puts a
// new step in place after the highlighted one, or deletes one. Every change of one call is made
// inside one transaction: a write that fails undoes the whole call, so a task never holds two
// steps with one number and never loses a step half-way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// How a step moves: one place up or down, to the top or the bottom of the task, or (a step just
// added at the end) up to the place just after the step numbered `stop`.
enum class StepMove { UpOne = 1, DownOne = 2, ToTop = 3, ToBottom = 4, IntoPlace = 5 };

// Moves step (id, current). The steps it passes take one another's numbers, so the set of
// numbers the task uses stays as it was (gaps stay where they were). Answers the number the step
// holds afterwards: `current` when there is nowhere to move or a failed write undid the move,
// which shows the swap error (section "Put Swap Out").
std::int32_t MoveScriptStep(StepMove mode, std::int32_t id, std::int32_t current, std::int32_t stop,
                            ScriptSteps& steps, MessageReporter& messages);

// Numbers the steps of task id from number `from` on `from`, `from` + 1, ... in their order.
// A failed write undoes the renumbering and shows the swap error (section "Put Upd Seq");
// answers whether the steps were renumbered.
bool RenumberScriptSteps(std::int32_t id, std::int32_t from, ScriptSteps& steps,
                         MessageReporter& messages);

// "Record swap error: " with the error, the key and the section, a line each.
std::string RecordSwapError(std::string_view error, std::int32_t id, std::int32_t sequence,
                            std::string_view section);

}  // namespace vx
