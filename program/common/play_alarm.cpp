#include "program/common/play_alarm.h"

#include <string>

#include "program/common/task_road_services.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"

namespace vx {

void PlayAlarm(std::string_view alarm_file) {
  platform::SoundPlayer& sound = *CurrentTaskRoadServices().sound;
  const std::string file(ClipView(alarm_file));
  if (UPPER(file) == "BEEP") {
    sound.Beep();
  } else {
    sound.Play(file);
  }
}

}  // namespace vx
