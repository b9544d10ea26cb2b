#include "datadll/utility/auto_lookup_class.h"

#include <string>

#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// Adds the key to the control's alert keys unless it alerts it already.
void Alert(Control& control, long key) {
  std::string keys = control.Get(Prop::Alert);
  const std::string code = std::to_string(key);
  std::size_t from = 0;
  while (from <= keys.size()) {
    const std::size_t bar = keys.find('|', from);
    if (keys.substr(from, bar == std::string::npos ? std::string::npos : bar - from) == code)
      return;
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  control.Set(Prop::Alert, keys.empty() ? code : keys + "|" + code);
}

}  // namespace

void AUTOLOOKUPCLASS::INIT(Window& window, long key) {
  window_ = &window;
  ALERTKEY = key;
  Q.Free();
  Control* before = nullptr;
  for (const auto& control : window.Controls()) {
    if (control->Type() == ControlType::Button && ClipView(control->TextValue()) == "..." &&
        before != nullptr) {
      Alert(*control, key);
      Alert(*before, key);
      Q.buffer.FEQ = before->Number();
      Q.buffer.BUTTONFEQ = control->Number();
      Q.Add();
    }
    // Containers the model makes for a row of controls are not the control before a button.
    if (control->Type() != ControlType::Region) before = control.get();
  }
}

bool AUTOLOOKUPCLASS::TAKEALERTKEY() {
  if (window_ == nullptr || EVENT() != EVENT_AlertKey || KEYCODE() != ALERTKEY) return false;
  const long focused = FIELD();
  for (const AUTOLOOKUP_RECORD& pair : Q) {
    if (pair.FEQ == focused || pair.BUTTONFEQ == focused) {
      window_->Post(EVENT_Accepted, static_cast<int>(pair.BUTTONFEQ));
      return true;
    }
  }
  return false;
}

}  // namespace vx
