#include "datadll/dictionary/upgrade_error.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "framework/error_class.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {

void StopForUpgrade(ErrorClass& errors, std::string_view error_text) {
  errors.Show({"Upgrade Error",
               "The databases must be upgraded before using this version or the version you are "
               "installing is not the latest.  Re-install this application, or contact Kestrova.",
               MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK});
  std::error_code ec;
  const std::string folder = std::filesystem::current_path(ec).string();
  SETCLIPBOARD("\r\nError:  " + CLIP(error_text) + "\r\nPath:  " + CLIP(folder) + "\r\n");
  errors.Show({"Assistant",
               "The error has been placed in the clipboard.  Press CTRL-V in your email message to "
               "paste it.",
               MessageIcon::Information, BUTTON_OK, BUTTON_OK});
  errors.Halt(1, "Cannot proceed.");
}

}  // namespace vx
