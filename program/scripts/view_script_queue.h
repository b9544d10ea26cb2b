// The running-script viewer: the active script queue in a list, with the details of the chosen
// step and a Delete that takes a step out before the executor reaches it.
#pragma once

#include <string>

#include "program/script_engine/script_queue.h"

namespace vx {

// The details of one queue entry: due date, due time, action, the step's one-line summary and
// the entry's raw text (its task and step numbers, then the step's texts as held), one to a line
// (CR LF between), cut at 80 characters.
std::string ScriptQueueEntryDetails(const ScriptQueueEntry& entry);

// The window "Current Script", started from Main on a thread of its own. The list follows the
// queue each second, as the executor takes steps from it. Its place is kept under
// "ViewQueue:Script".
void ViewQueue_Script();

}  // namespace vx
