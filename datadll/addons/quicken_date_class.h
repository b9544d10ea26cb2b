// Date keys on date fields: a single key steps the date shown in an entry or spin.
//
//   +  (keypad) the next day          -  (keypad) the day before        T  today
//   M  the first of the month; on the first already, the first of the month before
//   H  the last of the month; on the last already, the last of the month after
//   Y  1 January; on 1 January already, 1 January of the year before
//   R  31 December; on 31 December already, 31 December of the year after
//
// MH::QUICKENDATECLASS works on every date field of a window (an entry or spin whose picture is
// a date picture, not read-only) and treats the new date as typed by the user (EVENT_Accepted
// follows for the field). SEIP::QUICKENDATECLASS works on one control, a cell editor over a list,
// whatever its picture, and only stores the date. TAKEEVENT answers 5 when it took the key
// (the window need do nothing more with the event), else 0.
#pragma once

#include <cstdint>

namespace vx {
class Window;
class Control;
}  // namespace vx

namespace vx::addons {

// The date the key gives from `date` (a day number; 0 when the key is none of the seven).
std::int32_t DateAfterKey(int keycode, std::int32_t date);
// Whether `keycode` is one of the seven date keys.
bool IsDateKey(int keycode);

}  // namespace vx::addons

namespace vx::MH {

class QUICKENDATECLASS {
 public:
  virtual ~QUICKENDATECLASS() = default;
  void INIT(Window& window);
  // For the event the window's thread took last.
  int TAKEEVENT();

 private:
  Window* window_ = nullptr;
};

}  // namespace vx::MH

namespace vx::SEIP {

class QUICKENDATECLASS {
 public:
  virtual ~QUICKENDATECLASS() = default;
  void SETUPALERTKEYS(Control& control);
  int TAKEEVENT();

 private:
  Control* control_ = nullptr;
};

}  // namespace vx::SEIP
