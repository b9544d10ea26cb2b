// Handing a task message to the external message program: a new MSGLINK record, then the
// program started on its id without waiting for it.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// Adds the MSGLINK record (the table opened for the call, created when missing): 0 and the new
// id, or the error.
int AddMessageLinkRecord(std::string_view title, std::string_view message,
                         std::string_view alarm_file, std::int32_t& id);

// Adds the record through the task road's services and starts "VXMsg.EXE ID=<id>"; true when
// the program started. Nothing is reported on failure: the caller shows the message itself.
bool StartMessageProgram(std::string_view title, std::string_view message,
                         std::string_view alarm_file);

// Copies GLO_DESCRIPTION, GLO_MESSAGE and GLO_ALARMFILE into the calling thread's MSGLINK
// buffer (what the message window's Snooze and To Do buttons read).
void FillMessageLink();

}  // namespace vx
