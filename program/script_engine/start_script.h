// Loading scripts into the active script queue: a task's own steps when the task runs, and a
// script file named by a "Start Script" step.
#pragma once

#include <cstdint>
#include <string_view>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// Appends the steps of task task_id, as stored and in sequence order, to the active script
// queue, timed from the script's start moment, then a "**End**" entry when any step was queued.
// A walk that cannot be positioned is logged "Set Error: " (label "Script"); a failed read,
// the first one included, shows "Error executing script: ". Returns the number of steps queued.
int LoadTaskScript(std::int32_t task_id, ScriptSteps& steps, MessageReporter& messages);

// Loads the script file file_name into the active script queue for task SCH.ID. Only the first
// letter of mode counts: "I" runs the file's steps first and then the rest of the running
// script, "J" drops the rest, "A" runs the rest first and the file's steps after it, closed by a
// "**End**" entry. The head of the queue (the "Start Script" step being run) is left out in
// every mode. A line of unknown action is reported ("Unrecognized script action: ") and queued
// all the same. A file that cannot be opened queues nothing of its own; the queue is still
// replaced.
void StartScript(std::string_view mode, std::string_view file_name, ScriptFile& file,
                 MessageReporter& messages);

}  // namespace vx
