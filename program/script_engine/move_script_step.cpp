#include "program/script_engine/move_script_step.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "program/script_engine/script_messages.h"

namespace vx {
namespace {

constexpr std::string_view kSwapSection = "Put Swap Out";
constexpr std::string_view kRenumberSection = "Put Upd Seq";

std::vector<std::int32_t> TaskSequences(std::int32_t id, ScriptSteps& steps) {
  std::vector<std::int32_t> out;
  steps.ForEachStep(id, [&](const SCRIPTING_RECORD& step) {
    out.push_back(step.Sequence);
    return true;
  });
  std::sort(out.begin(), out.end());
  return out;
}

// One change of number: (from, to).
using Change = std::pair<std::int32_t, std::int32_t>;

// Makes every change in order inside one transaction. A failure undoes them all, shows the swap
// error for the step it failed on and answers false.
bool MakeChanges(std::int32_t id, const std::vector<Change>& changes, std::string_view section,
                 ScriptSteps& steps, MessageReporter& messages) {
  const auto fail = [&](const FileResult& result, std::int32_t sequence) {
    ShowScriptMessage(messages, "Error!", RecordSwapError(result.text, id, sequence, section));
    return false;
  };
  if (const FileResult begun = steps.BeginChanges(); !begun.ok())
    return fail(begun, changes.front().first);
  for (const auto& [from, to] : changes) {
    if (const FileResult changed = steps.ChangeSequence(id, from, to); !changed.ok()) {
      steps.RollbackChanges();
      return fail(changed, from);
    }
  }
  if (const FileResult committed = steps.CommitChanges(); !committed.ok()) {
    steps.RollbackChanges();
    return fail(committed, changes.back().second);
  }
  return true;
}

}  // namespace

std::string RecordSwapError(std::string_view error, std::int32_t id, std::int32_t sequence,
                            std::string_view section) {
  return "Record swap error: \r" + std::string(error) +
         "\rScripting, SCR:KeyID\rKey Field SCR:ID = " + std::to_string(id) +
         "\rKey Field SCR:Sequence = " + std::to_string(sequence) +
         "\rSection = " + std::string(section) + "\r";
}

std::int32_t MoveScriptStep(StepMove mode, std::int32_t id, std::int32_t current, std::int32_t stop,
                            ScriptSteps& steps, MessageReporter& messages) {
  const std::vector<std::int32_t> seqs = TaskSequences(id, steps);
  const auto found = std::find(seqs.begin(), seqs.end(), current);
  if (found == seqs.end()) return current;
  const long at = found - seqs.begin();
  const long last = static_cast<long>(seqs.size()) - 1;

  // The steps the moving one passes, in the order they step into the number freed before them.
  std::vector<long> passed;
  switch (mode) {
    case StepMove::UpOne:
      if (at > 0) passed.push_back(at - 1);
      break;
    case StepMove::DownOne:
      if (at < last) passed.push_back(at + 1);
      break;
    case StepMove::ToTop:
      for (long k = at - 1; k >= 0; --k) passed.push_back(k);
      break;
    case StepMove::ToBottom:
      for (long k = at + 1; k <= last; ++k) passed.push_back(k);
      break;
    case StepMove::IntoPlace:
      for (long k = at - 1; k >= 0 && seqs[static_cast<std::size_t>(k)] > stop; --k)
        passed.push_back(k);
      break;
  }
  if (passed.empty()) return current;

  // The moving step waits above the task's highest number while the others take their places.
  const std::int32_t parking = seqs.back() + 1;
  const bool upwards = passed.front() < at;
  std::vector<Change> changes{{current, parking}};
  for (long k : passed) {
    const std::int32_t from = seqs[static_cast<std::size_t>(k)];
    changes.emplace_back(from, seqs[static_cast<std::size_t>(upwards ? k + 1 : k - 1)]);
  }
  const std::int32_t target = seqs[static_cast<std::size_t>(passed.back())];
  changes.emplace_back(parking, target);
  return MakeChanges(id, changes, kSwapSection, steps, messages) ? target : current;
}

bool RenumberScriptSteps(std::int32_t id, std::int32_t from, ScriptSteps& steps,
                         MessageReporter& messages) {
  std::vector<Change> changes;
  std::int32_t number = from;
  for (const std::int32_t sequence : TaskSequences(id, steps)) {
    if (sequence < from) continue;
    // Each step goes down into a number its predecessors have left: never onto another step.
    if (sequence != number) changes.emplace_back(sequence, number);
    ++number;
  }
  return changes.empty() || MakeChanges(id, changes, kRenumberSection, steps, messages);
}

}  // namespace vx
