#include "program/windows/small_dialog.h"

namespace vx {

SmallDialog::SmallDialog(Window& window, int ok, int cancel) : WindowManager(window) {
  OkControl = ok;
  CancelControl = cancel;
  window.SetCancelButton(cancel);
}

Level SmallDialog::TakeCompleted() {
  Update();
  if (accept_ && !accept_()) return Level_Notify;
  Response = RequestCompleted;
  PostClose();
  return Level_Notify;
}

}  // namespace vx
