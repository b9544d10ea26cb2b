#include "program/admin/password_validation.h"

#include <string>

#include "framework/window_manager.h"
#include "program/admin/load_settings.h"
#include "program/windows/program_errors.h"
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
  const int ok = window.Button("OK");
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  WindowManager manager(window);
  ProgramErrors().SetProcedureName("fPasswordValidation");
  manager.OnAccepted(ok, [&] {
    window.Update();
    if (UPPER(ClipView(password.view())) == UPPER(SYSPWD.clipped())) {
      result = 1;
      SystemUnlocked = stay_unlocked;
    } else {
      MESSAGE("The password you have entered is incorrect.", "Access Denied", MessageIcon::Hand);
    }
    manager.PostClose();
    return Level_Notify;
  });
  manager.OnAccepted(cancel, [&] {
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  ProgramErrors().SetProcedureName({});
  return result;
}

}  // namespace vx
