// Copying the script steps of one task onto another (a task saved as a copy, a quick-start
// copy).
#pragma once

#include <cstdint>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// Adds the steps of task from_id to task to_id, keeping their order. Where a sequence number is
// taken already, that step and every later one are shifted up by the same amount (at most
// 5000), so the copied steps keep their order after the target's own. A step that cannot be
// added is reported ("Error adding script record:") and the copy goes on. Nothing happens
// unless both ids are non-zero and different. Shows the progress window "Copying Script".
void CopyScript(std::int32_t from_id, std::int32_t to_id, ScriptSteps& steps,
                MessageReporter& messages);
// The same on the SCRIPTING table, with the window runtime's message boxes.
void CopyScript(std::int32_t from_id, std::int32_t to_id);

}  // namespace vx
