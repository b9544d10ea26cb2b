// The window that shows the current task's whole script as text, lets the user edit it and
// exchange it with the clipboard, and stores it back.
#pragma once

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// The window "Scripting:  Edit As Text" on the task in the SCH buffer. OK replaces the task's
// steps by those the text describes and answers RequestCompleted (GLOBALRESPONSE); Cancel
// leaves them and answers RequestCancelled. Its place is kept under "Script:EditAsText".
void Script_EditAsText(ScriptSteps& steps, MessageReporter& messages);
// The same on the SCRIPTING table, with the window runtime's message boxes.
void Script_EditAsText();

}  // namespace vx
