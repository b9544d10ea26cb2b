// Showing a due task's message: on a thread of its own (with its own copy of title, text and
// alarm, so that the next task's message cannot overwrite it), by the external program, a
// plain message box, or one of the two message windows with their repeating alarm and their
// Snooze, To Do, Email and Close buttons.
#pragma once

#include "program/common/task_message.h"

namespace vx {

// Starts TaskMessageThread on a new runtime thread with its own copy of the message; answers
// its thread number.
long StartTaskMessageThread(const TaskMessage& message);

// The thread procedure: counts itself in THREADCOUNT, then shows the message by the settings:
// the external program (USEEXTERNALMESSAGE; its own display when the program cannot start), a
// message box (USEWINMESSAGE), the on-top window (USEMODALMESSAGE) or the normal window.
void TaskMessageThread(const TaskMessage& message);

// The message window: title, text, Snooze, To Do, Email and Close; on_top keeps it above all
// windows. While REPEATALARMINTERVAL is set the alarm sounds again every that many seconds, for at
// most MAXALARMTIME minutes when that is set. Answers when the window has closed.
void ShowMessageWindow(const TaskMessage& message, bool on_top);

// The on-top window for the message in the calling thread's MSGLINK buffer.
void ShowModalMessage();
// The same window without the on-top attribute.
void ShowMessageNormal();

}  // namespace vx
