// Writing the current task's script in the script text form: one command line per step,
// conditions indented, lines ended by CR LF.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// The command line of one step, without indentation; none for an action the text form does
// not write. What is written reads back to the same fields.
std::optional<std::string> ScriptStepLine(const SCRIPTING_RECORD& step);

// The text of a run of steps: indented by 3 blanks per open condition (at most 24), each line
// ended by CR LF.
std::string ScriptStepsText(std::span<const SCRIPTING_RECORD> steps);

// The text of the steps of task SCH.ID. A task id of 0 shows "No task ID" and goes on; a failed
// read shows "Next script:  " with the error and keeps what was written so far.
std::string WriteScriptText(ScriptSteps& steps, MessageReporter& messages);

}  // namespace vx
