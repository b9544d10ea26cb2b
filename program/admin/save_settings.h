// What the Options window's OK writes to the settings store: every setting global, in a fixed
// order, as decimal text ("0"/"1" for flags; the start-up schedule and scheduler switches
// inverted, so that a missing key means "on").
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vx {

// The keys written by SaveSettings, in the order written (the display keys come last, after
// the date-format notice).
std::vector<std::string_view> SavedSettingKeys();

// Writes the setting keys and the alarm and scripting keys in one batch: a repeat-alarm
// interval from 1 to 4 becomes 5 first; "ScriptingDelay" and "BurstSize" take the two entries
// as typed, and are read back into GLOBALDELAY (at least 25) and BURSTSIZE (7 for 0).
void SaveSettings(std::int32_t send_interval, std::int32_t send_group);

// Writes the display keys: "DateFormat" (GLO_DATEFORMAT), the clipboard manager's mode,
// stay-on-top and external switches, and the log size limit.
void SaveDisplaySettings();

}  // namespace vx
