#include "program/admin/password_validation.h"

#include <string>

#include "program/admin/load_settings.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {

std::uint8_t SystemUnlocked = 0;

long fPasswordValidation() {
  if (SYSLOCK == 0 || SystemUnlocked != 0) return 1;

  String<128> password;
  std::uint8_t stay_unlocked = 0;
  long result = 0;
  Window window("Password Required");
  window.Prompt("Enter the system password:");
  window.Entry(password, "@s128").Password();
  window.Check("Unlock system for session", stay_unlocked);
  const int ok = window.Button("OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("fPasswordValidation", manager);
  // A wrong password is said, and the window closes all the same.
  manager.OnOk([&] {
    if (UPPER(ClipView(password.view())) == UPPER(SYSPWD.clipped())) {
      result = 1;
      SystemUnlocked = stay_unlocked;
    } else {
      MESSAGE("The password you have entered is incorrect.", "Access Denied", MessageIcon::Hand);
    }
    return true;
  });
  manager.Run();
  return result;
}

}  // namespace vx
