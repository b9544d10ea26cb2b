#include "program/windows/small_dialog.h"

namespace vx {

SmallDialog::SmallDialog(Window& window, int ok, int cancel) : WindowManager(window) {
  OkControl = ok;
  CancelControl = cancel;
  window.SetCancelButton(cancel);
  // Enter in a field answers the question as OK does, unless the window chose another button.
  if (window.DefaultButton() == 0) window[ok].Default();
}

Level SmallDialog::TakeCompleted() {
  Update();
  if (accept_ && !accept_()) return Level_Notify;
  Response = RequestCompleted;
  PostClose();
  return Level_Notify;
}

}  // namespace vx
