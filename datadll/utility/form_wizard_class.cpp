#include "datadll/utility/form_wizard_class.h"

#include <algorithm>

#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// Controls that stay where they are when the pages shrink: menus, the menu bar, the sheet and its
// tabs (the sheet shrinks itself) and the toolbar.
bool StaysOnShrink(ControlType type) {
  switch (type) {
    case ControlType::Menu:
    case ControlType::Item:
    case ControlType::Menubar:
    case ControlType::Sheet:
    case ControlType::Tab:
    case ControlType::Toolbar:
      return true;
    default:
      return false;
  }
}

void Shift(Control& control, Prop prop, long by) {
  control.Set(prop, control.GetNumber(prop) + by);
}

}  // namespace

void FORMWIZARDCLASS::INIT(int sheet, int back, int next, long mode, long validate, bool swap,
                           bool skipHidden, bool switchValue, int finish) {
  if (Window* window = CurrentWindow()) {
    INIT(*window, sheet, back, next, mode, validate, swap, skipHidden, switchValue, finish);
  }
}

void FORMWIZARDCLASS::INIT(Window& window, int sheet, int back, int next, long mode, long validate,
                           bool swap, bool skipHidden, bool switchValue, int finish) {
  window_ = &window;
  sheet_ = sheet;
  back_ = back;
  next_ = next;
  finish_ = finish;
  validate_ = validate != 0;
  swap_ = swap;
  skip_hidden_ = skipHidden;
  switch_ = switchValue;
  const auto children = window[sheet].Children();
  first_tab_ = children.empty() ? 0 : children.front()->Number();
  RESETRANGE();
  current_ = lowest_;
  wizard_ = mode == 1;
  if (wizard_) {
    window[sheet].Set(Prop::Wizard, true);
    if (swap_ && finish_ && next_) window[finish_].Set(Prop::X, window[next_].GetNumber(Prop::X));
  } else {
    if (finish_) window[finish_].Unhide();
    if (back_) window[back_].Hide();
    if (next_) window[next_].Hide();
  }
  TAKENEWSELECTION();
}

int FORMWIZARDCLASS::TabCount() const {
  if (!window_) return 0;
  const auto children = (*window_)[sheet_].Children();
  return static_cast<int>(std::count_if(children.begin(), children.end(), [](const Control* c) {
    return c->Type() == ControlType::Tab;
  }));
}

bool FORMWIZARDCLASS::TabHidden(int tab) const {
  if (!window_) return false;
  int seen = 0;
  for (const Control* c : (*window_)[sheet_].Children()) {
    if (c->Type() == ControlType::Tab && ++seen == tab) return c->Is(Prop::Hide);
  }
  return false;
}

void FORMWIZARDCLASS::FINDMINTAB() {
  lowest_ = 1;
  if (!skip_hidden_) return;
  for (int tab = 1; tab <= TabCount(); ++tab) {
    if (!TabHidden(tab)) {
      lowest_ = tab;
      return;
    }
  }
}

void FORMWIZARDCLASS::FINDMAXTAB() {
  highest_ = std::max(TabCount(), 1);
  if (!skip_hidden_) return;
  for (int tab = TabCount(); tab >= 1; --tab) {
    if (!TabHidden(tab)) {
      highest_ = tab;
      return;
    }
  }
}

void FORMWIZARDCLASS::APPLYRANGE() {
  current_ = std::clamp(current_, lowest_, std::max(lowest_, highest_));
}

void FORMWIZARDCLASS::TAKENEXT() {
  if (validate_ && VALIDATE() != 0) return;
  RESETRANGE();
  if (!skip_hidden_) {
    ++current_;
  } else {
    for (int tab = current_ + 1; tab <= highest_; ++tab) {
      if (!TabHidden(tab)) {
        current_ = tab;
        break;
      }
    }
  }
  APPLYRANGE();
}

void FORMWIZARDCLASS::TAKEBACK() {
  RESETRANGE();
  if (!skip_hidden_) {
    --current_;
  } else {
    for (int tab = current_ - 1; tab >= lowest_; --tab) {
      if (!TabHidden(tab)) {
        current_ = tab;
        break;
      }
    }
  }
  APPLYRANGE();
}

void FORMWIZARDCLASS::TAKENEWSELECTION() {
  if (!wizard_ || !window_) return;
  Window& w = *window_;
  Control* back = back_ ? w.Find(back_) : nullptr;
  Control* next = next_ ? w.Find(next_) : nullptr;
  Control* finish = finish_ ? w.Find(finish_) : nullptr;
  if (next) next->Default();
  if (swap_) {
    if (finish) finish->Hide();
    if (next) next->Unhide();
  }
  if (back) back->Enable();
  if (next) next->Enable();
  if (current_ == lowest_ && back) back->Disable();
  if (current_ == highest_) {
    if (swap_) {
      if (finish) finish->Unhide();
      if (next) next->Hide();
    }
    if (finish) finish->Default();
    if (next) next->Disable();
  }
  w[sheet_].Choose(current_);
}

void FORMWIZARDCLASS::TAKEACCEPTED() {
  const int accepted = ACCEPTED();
  if (accepted == 0 || !window_) return;
  if (accepted == back_) {
    TAKEBACK();
    TAKEBACKEMBED();
    TAKENEWSELECTION();
  } else if (accepted == next_) {
    TAKENEXT();
    TAKENEXTEMBED();
    TAKENEWSELECTION();
    if (validate_ && VALIDATE() != 0) {
      if (Control* c = window_->Find(NEXTCONTROL())) c->Disable();
    }
  } else if (accepted == sheet_ ||
             (window_->Find(accepted) && (*window_)[accepted].Parent() == sheet_)) {
    TAKENEWSELECTION();
  }
}

int FORMWIZARDCLASS::NEXTCONTROL() const {
  return wizard_ && current_ != highest_ ? next_ : finish_;
}

void FORMWIZARDCLASS::SHRINKSHEET(long amount) {
  if (!wizard_ || !window_) return;
  Window& w = *window_;
  Shift(w[sheet_], Prop::Height, -amount);
  for (const auto& control : w.Controls()) {
    if (!StaysOnShrink(control->Type())) Shift(*control, Prop::Y, -amount);
  }
  w.Set(Prop::Height, w.GetNumber(Prop::Height) - amount);
  w.Post(EVENT_Sized);
}

void FORMWIZARDCLASS::INITMULTIUSEFORM(int side, int second) {
  if (!wizard_ || !window_) return;
  Window& w = *window_;
  side_ = side;
  second_ = second;
  if (side_) {
    Control& picture = w[side_];
    picture.Unhide();
    const long room = picture.GetNumber(Prop::Width) + 8;
    w.Set(Prop::Width, w.GetNumber(Prop::Width) + room);
    for (const auto& control : w.Controls()) {
      const int number = control->Number();
      if (number == side_ || number == second_ || control->Type() == ControlType::Tab) continue;
      if (control->Type() == ControlType::Sheet) {
        Shift(*control, Prop::Width, room);
      } else {
        Shift(*control, Prop::X, room);
      }
    }
    w.Post(EVENT_Sized);
  }
  if (second_) w[second_].Unhide();
}

}  // namespace vx
