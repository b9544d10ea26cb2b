// What the Snooze and To Do buttons of a task message window do with the message on screen
// (the calling thread's MSGLINK buffer).
#pragma once

namespace vx {

// Adds a one-time "Display Message" task in category "Snooze" with the message's title, text
// and alarm, due SNOOZEINTERVAL minutes from now (ten when it is 0) and skipped when missed.
// The calling thread's SCHEDULE buffer and current record are as they were before.
void SnoozeMessage();

// Adds a to-do item in category "General", priority 5, with the title as the item and the text
// as its notes, then confirms "Added to To Do List:" with the title; an item that cannot be
// stored is named with the reason instead ("Not added to the To Do List:").
void AddMessageToToDo();

}  // namespace vx
