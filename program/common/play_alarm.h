// Sounding a task's alarm: "BEEP" (in any case) is the system beep, anything else a sound file
// played without waiting; a file that cannot be played stays silent.
#pragma once

#include <string_view>

namespace vx {

void PlayAlarm(std::string_view alarm_file);

}  // namespace vx
