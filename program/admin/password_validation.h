// The system password prompt that guards the settings and the task windows.
#pragma once

#include <cstdint>

namespace vx {

// Set once the right password was given with "Unlock system for session" ticked; the prompt
// is then not shown again in this run. Main shows " (Unlocked)" while it is set and clears it
// when the frame is iconised or hidden.
extern std::uint8_t SystemUnlocked;

// Answers 1 when the caller may go on: at once while the system is not locked (SYSLOCK) or is
// unlocked for the session; else after the password prompt "Password Required" was answered
// with the lock password (letter case and trailing blanks do not count). A wrong password
// shows "Access Denied" and answers 0, as Cancel does; there is no second try.
long fPasswordValidation();

}  // namespace vx
