#include "framework/toolbar_class.h"

#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx {

void ToolbarClass::AddTarget(int toolbar_button, int target) {
  links_.push_back({toolbar_button, target});
}

Level ToolbarClass::TakeEvent() {
  if (!window_ || EVENT() != EVENT_Accepted) return Level_Benign;
  for (const Link& link : links_) {
    if (ACCEPTED() == link.button) {
      window_->Post(EVENT_Accepted, link.target);
      return Level_Notify;
    }
  }
  return Level_Benign;
}

void ToolbarClass::Reset(bool /*force*/) {
  if (!window_) return;
  for (const Link& link : links_) {
    Control* button = window_->Find(link.button);
    Control* target = window_->Find(link.target);
    if (!button || !target) continue;
    button->Enable(target->Enabled());
  }
}

}  // namespace vx
