#include "program/script_engine/copy_script.h"

#include <vector>

#include "framework/process_window.h"
#include "program/script_engine/script_messages.h"
#include "program/script_engine/script_tables.h"
#include "runtime/storage/errors.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::int32_t kMaxOffset = 5000;

}  // namespace

void CopyScript(std::int32_t from_id, std::int32_t to_id, ScriptSteps& steps,
                MessageReporter& messages) {
  if (from_id == 0 || to_id == 0 || from_id == to_id) return;
  // The rows are read before any is added, so the walk never meets the copies it makes.
  std::vector<SCRIPTING_RECORD> rows;
  steps.ForEachStep(from_id, [&](const SCRIPTING_RECORD& row) {
    rows.push_back(row);
    return true;
  });

  ProcessWindow progress("CopyScript", "Copying Script");
  progress.Open(rows.size());
  steps.BeginBatch();
  std::int32_t offset = 0;
  for (SCRIPTING_RECORD row : rows) {
    const std::int32_t sequence = row.Sequence;
    row.ID = to_id;
    FileResult added;
    for (;;) {
      row.Sequence = sequence + offset;
      added = steps.AddStep(row);
      if (added.code != storage::kDuplicateKey || offset >= kMaxOffset) break;
      ++offset;
    }
    if (!added.ok())
      ShowScriptMessage(messages, "Error", "Error adding script record:\r" + added.text);
    progress.Advance();
  }
  steps.EndBatch();
  progress.Close();
}

void CopyScript(std::int32_t from_id, std::int32_t to_id) {
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  CopyScript(from_id, to_id, steps, messages);
}

}  // namespace vx
