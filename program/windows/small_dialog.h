// The manager of a small window that asks for a few values and closes with OK or Cancel. OK
// stores the screen into the variables and runs the dialog's OK action, which says whether the
// window may close; Cancel (and Esc) closes it with nothing stored. Run answers
// RequestCompleted after OK, RequestCancelled otherwise.
//
//   SmallDialog manager(window, ok, cancel);
//   const WindowProcedureScope scope("Function:SelectDateRange", manager);
//   manager.OnOk([&] { ...; return true; });
//   manager.Run();
#pragma once

#include <functional>

#include "framework/window_manager.h"

namespace vx {

class SmallDialog : public WindowManager {
 public:
  // `ok` and `cancel` are the window's buttons; `cancel` becomes its cancel button, and `ok`
  // its default button (pressed by Enter) unless the window has one already.
  SmallDialog(Window& window, int ok, int cancel);

  // Runs on OK once the screen is in the variables: true closes the window, false keeps it
  // open (the action has said why and selected the field to mend).
  void OnOk(std::function<bool()> accept) { accept_ = std::move(accept); }

  Level TakeCompleted() override;

 private:
  std::function<bool()> accept_;
};

}  // namespace vx
