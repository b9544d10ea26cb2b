#include "datadll/utility/zq_browse_class.h"

#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx {

void ZQBROWSECLASS::SetAlerts() {
  BrowseClass::SetAlerts();
  if (!ViewControl) return;
  // Shift+Enter is alerted too: a front end reports only the keys a control asks for.
  if (Control* list = ListControl()) list->Alert(kViewKey).Alert(ShiftEnter);
  Popup.AddItemMimic("!View", ViewControl, "&View");
}

void ZQBROWSECLASS::UpdateWindow() {
  BrowseClass::UpdateWindow();
  Control* list = ListControl();
  if (!list) return;
  Window& w = list->OwnerWindow();
  for (int control : {ViewControl, CopyControl}) {
    if (Control* c = control ? w.Find(control) : nullptr) c->Enable(Records() > 0);
  }
}

Level ZQBROWSECLASS::TakeEvent() {
  const int accepted = ACCEPTED();
  if (accepted != 0 && accepted == ViewControl) {
    if (WindowManager* manager = Manager()) manager->Update();
    Ask(ViewRecord);
  } else if (accepted != 0 && accepted == CopyControl && Records() > 0) {
    if (WindowManager* manager = Manager()) manager->Update();
    PrimeRecord(true);
    AskPrimed(InsertRecord);
  }
  return BrowseClass::TakeEvent();
}

// Presses a button of the browse when it is the window's default button and can be pressed;
// the buffer and the buttons then follow the highlighted row before the press is taken.
bool ZQBROWSECLASS::Press(int control) {
  Control* list = ListControl();
  if (!control || !list) return false;
  Window& w = list->OwnerWindow();
  Control* button = w.Find(control);
  if (!button || w.DefaultButton() != control || !button->Visible() || !button->Enabled())
    return false;
  w.Post(EVENT_Accepted, control);
  UpdateBuffer();
  UpdateWindow();
  w.Post(EVENT_NewSelection, list->Number());
  return true;
}

bool ZQBROWSECLASS::TakeKey() {
  const int key = KEYCODE();
  if (key == MouseLeft2 && DoubleClickClaimed && DoubleClickClaimed()) return false;
  if (Records() > 0) {
    if (key == MouseLeft2 || key == EnterKey) {
      if (Selecting && Press(SelectControl)) return true;
      if (Press(ViewControl) || Press(ChangeControl)) return true;
    } else if ((key == ShiftEnter || key == kViewKey) && ViewControl && ListControl()) {
      ListControl()->OwnerWindow().Post(EVENT_Accepted, ViewControl);
      UpdateBuffer();
    }
  }
  return BrowseClass::TakeKey();
}

long ZQBROWSECLASS::ASKCOPY() {
  PrimeRecord(true);
  if (KEYCODE() == MouseRight) SETKEYCODE(0);  // the right click that opened the popup is spent
  return AskPrimed(InsertRecord);
}

}  // namespace vx
