// Replacing the current task's script by the steps that a script text describes.
#pragma once

#include <string_view>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// Deletes the steps of task SCH.ID and adds one step per line of text, numbered by line from 1
// (blank lines add nothing but keep their number). An empty text shows "Nothing to save." and
// changes nothing; an unknown keyword or a failed add is shown and the other lines still stored.
void ParseScriptText(std::string_view text, ScriptSteps& steps, MessageReporter& messages);

}  // namespace vx
