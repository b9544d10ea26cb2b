#include "datadll/addons/quicken_date_class.h"

#include <cctype>
#include <string>

#include "datadll/addons/addon_keys.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/window/window.h"

namespace vx::addons {
namespace {

constexpr int kDateKeys[] = {PadPlus, PadMinus, 'T', 'M', 'H', 'Y', 'R'};

bool IsDatePicture(const std::string& picture) {
  std::size_t i = 0;
  while (i < picture.size() && (picture[i] == '@' || picture[i] == ' ')) ++i;
  return i < picture.size() && std::toupper(static_cast<unsigned char>(picture[i])) == 'D';
}

// The date a control shows, read under its picture.
std::int32_t ShownDate(const Control& control) {
  return static_cast<std::int32_t>(
      TextToNumber(DEFORMAT(control.Get(Prop::Value), control.Get(Prop::Picture))));
}

void StoreDate(Control& control, std::int32_t date) {
  control.Set(Prop::Value, FORMAT(std::to_string(date), control.Get(Prop::Picture)));
  control.Update();
}

}  // namespace

bool IsDateKey(int keycode) {
  for (int key : kDateKeys) {
    if (key == keycode) return true;
  }
  return false;
}

std::int32_t DateAfterKey(int keycode, std::int32_t date) {
  const int d = DAY(date), m = MONTH(date), y = YEAR(date);
  switch (keycode) {
    case PadPlus:
      return date + 1;
    case PadMinus:
      return date - 1;
    case 'T':
      return TODAY();
    case 'M':
      return d == 1 ? DATE(m - 1, 1, y) : DATE(m, 1, y);
    case 'H':
      // Day 0 of a month is the last day of the one before.
      return d == DaysInMonth(m, y) ? DATE(m + 2, 0, y) : DATE(m + 1, 0, y);
    case 'Y':
      return d == 1 && m == 1 ? DATE(1, 1, y - 1) : DATE(1, 1, y);
    case 'R':
      return d == 31 && m == 12 ? DATE(12, 31, y + 1) : DATE(12, 31, y);
    default:
      return 0;
  }
}

}  // namespace vx::addons

namespace vx::MH {

namespace {
bool IsDateField(const Control& c) {
  return (c.Type() == ControlType::Entry || c.Type() == ControlType::Spin) &&
         !c.Is(Prop::ReadOnly) && addons::IsDatePicture(c.Get(Prop::Picture));
}
}  // namespace

void QUICKENDATECLASS::INIT(Window& window) {
  window_ = &window;
  for (const auto& c : window.Controls()) {
    if (!IsDateField(*c)) continue;
    for (int key : addons::kDateKeys) c->Alert(key);
  }
}

int QUICKENDATECLASS::TAKEEVENT() {
  if (!window_ || EVENT() != EVENT_AlertKey || !addons::IsDateKey(KEYCODE())) return 0;
  Control* c = window_->Find(FIELD());
  if (!c || !IsDateField(*c)) return 0;
  addons::StoreDate(*c, addons::DateAfterKey(KEYCODE(), addons::ShownDate(*c)));
  // As if typed: the program's handling of an accepted field runs for it.
  window_->Post(EVENT_Accepted, c->Number());
  return 5;
}

}  // namespace vx::MH

namespace vx::SEIP {

void QUICKENDATECLASS::SETUPALERTKEYS(Control& control) {
  control_ = &control;
  for (int key : addons::kDateKeys) control.Alert(key);
}

int QUICKENDATECLASS::TAKEEVENT() {
  if (!control_ || EVENT() != EVENT_AlertKey || FIELD() != control_->Number() ||
      !addons::IsDateKey(KEYCODE()))
    return 0;
  addons::StoreDate(*control_, addons::DateAfterKey(KEYCODE(), addons::ShownDate(*control_)));
  return 5;
}

}  // namespace vx::SEIP
