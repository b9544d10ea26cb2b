// The settings loader: fills every setting global from the settings store and settles who the
// current user is. Called once at start-up (after ININAME is set) and by the Options window's
// Cancel, which throws away edits of the live globals.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_string.h"

namespace vx {

// The program's INI file (ININAME), the fallback of settings not in the store yet.
inline constexpr std::string_view kProgramIniName = "vx98.INI";

// The system lock and its password (stored in plain text as key "SysPwd"); the program's own.
extern std::uint8_t SYSLOCK;
extern String<32> SYSPWD;

// Reads every key in its fixed order with its default and INI fallback (section "Settings" of
// ININAME, or none), stores numbers and flags as numbers (empty text is 0), applies the
// inverted start-up keys, the "/I" switch, the send-interval floor of 10 and the burst size of
// 7 for 0, fills empty mail settings from the registry, reads "MultiUser", settles USERID,
// USERNAME and GLO_USER ("User=name" on the command line wins) and makes sure USERS has a row
// for GLO_USER. DEBUGMODE comes from section "Debug" of ININAME, outside the store.
void LoadSettings();

// Reads only the settings a message window shown outside the program uses (the alarm's repeat
// and limit, the snooze interval), with the same defaults and INI fallback.
void LoadMessageWindowSettings();

}  // namespace vx
