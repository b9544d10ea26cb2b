#include "program/scripts/script_step_order.h"

#include <algorithm>
#include <iterator>

#include "program/scripts/script_tables.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// Stores the steps with the given numbers in place of the task's present steps, in one batch.
void Rewrite(std::int32_t id, std::vector<SCRIPTING_RECORD> steps, const std::vector<std::int32_t>& numbers) {
  ScriptingTableSteps table;
  table.BeginBatch();
  if (table.DeleteTaskSteps(id).ok()) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      steps[i].Sequence = numbers[i];
      if (const FileResult result = table.AddStep(steps[i]); !result.ok()) {
        MESSAGE("Record swap error: \r" + result.text + "\rScripting, SCR:KeyID\rKey Field SCR:ID = " +
                    std::to_string(id) + "\rKey Field SCR:Sequence = " + std::to_string(numbers[i]) + "\r",
                "Error!", MessageIcon::Exclamation);
      }
    }
  }
  table.EndBatch();
}

std::vector<std::int32_t> Numbers(const std::vector<SCRIPTING_RECORD>& steps) {
  std::vector<std::int32_t> numbers;
  for (const SCRIPTING_RECORD& step : steps) numbers.push_back(step.Sequence);
  return numbers;
}

}  // namespace

std::vector<SCRIPTING_RECORD> TaskSteps(std::int32_t id) {
  std::vector<SCRIPTING_RECORD> steps;
  ScriptingTableSteps table;
  table.ForEachStep(id, [&](const SCRIPTING_RECORD& step) {
    steps.push_back(step);
    return true;
  });
  return steps;
}

std::int32_t MoveTaskStep(std::int32_t id, std::int32_t sequence, TaskStepMove move, std::int32_t anchor) {
  std::vector<SCRIPTING_RECORD> steps = TaskSteps(id);
  const std::vector<std::int32_t> numbers = Numbers(steps);
  const auto at = std::find(numbers.begin(), numbers.end(), sequence);
  if (at == numbers.end()) return sequence;
  const auto from = static_cast<std::size_t>(at - numbers.begin());
  std::size_t to = from;
  switch (move) {
    case TaskStepMove::UpOne: to = from == 0 ? 0 : from - 1; break;
    case TaskStepMove::DownOne: to = std::min(from + 1, steps.size() - 1); break;
    case TaskStepMove::ToTop: to = 0; break;
    case TaskStepMove::ToBottom: to = steps.size() - 1; break;
    case TaskStepMove::AfterInsert: {
      // Just after the last step numbered at or below the anchor.
      to = 0;
      for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i != from && numbers[i] <= anchor) to = i < from ? i + 1 : i;
      }
      break;
    }
  }
  if (to == from) return sequence;
  const SCRIPTING_RECORD moving = steps[from];
  steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(from));
  steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(to), moving);
  Rewrite(id, steps, numbers);
  return numbers[to];
}

void RenumberTaskSteps(std::int32_t id, std::int32_t from) {
  const std::vector<SCRIPTING_RECORD> steps = TaskSteps(id);
  std::vector<std::int32_t> numbers = Numbers(steps);
  std::int32_t next = from;
  bool changed = false;
  for (std::int32_t& number : numbers) {
    if (number < from) continue;
    changed = changed || number != next;
    number = next++;
  }
  if (changed) Rewrite(id, steps, numbers);
}

}  // namespace vx
