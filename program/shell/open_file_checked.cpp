#include "program/shell/open_file_checked.h"

#include <filesystem>
#include <string>

#include "datadll/dictionary/file_conversion.h"
#include "program/shell/numbered_warnings.h"
#include "program/windows/program_errors.h"
#include "runtime/storage/errors.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

int ModeOf(int access_mode, bool read_write) { return read_write ? storage::kReadWrite : access_mode; }

bool IsOpen(int code) { return code == storage::kNoError || code == storage::kAlreadyOpen; }

// The stored structure differs from this program's: the user is told to upgrade, the error and
// the data folder go on the clipboard for a support mail, and the program stops. The file is
// left exactly as it is.
void StopForUpgrade() {
  ErrorClass& errors = ProgramErrors();
  const std::string error_text = ERROR();
  errors.Show({"Upgrade Error",
               "The databases must be upgraded before using this version or the version you are "
               "installing is not the latest.  Re-install this application, or contact Kestrova.",
               MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK});
  std::error_code ec;
  const std::string folder = std::filesystem::current_path(ec).string();
  SETCLIPBOARD("\r\nError:  " + CLIP(error_text) + "\r\nPath:  " + CLIP(folder) + "\r\n");
  errors.Show({"Assistant",
               "The error has been placed in the clipboard.  Press CTRL-V in your email message to paste it.",
               MessageIcon::Information, BUTTON_OK, BUTTON_OK});
  errors.Halt(1, "Cannot proceed.");
}

}  // namespace

int CreateAndOpenFile(storage::File& file, int access_mode, bool read_write) {
  const std::string name = file.Name();
  int code = file.Create();
  if (code != storage::kNoError) {
    ShowNamedWarning(4, name);
    return code;
  }
  code = ds_FileOpen(file, ModeOf(access_mode, read_write));
  if (!IsOpen(code)) ShowNamedWarning(5, name);
  return code;
}

int OpenFileChecked(storage::File& file, bool create_allowed, bool do_not_create, int access_mode,
                    bool read_write) {
  const int mode = ModeOf(access_mode, read_write);
  const std::string name = file.Name();
  int code = ds_FileOpen(file, mode);
  if (code == storage::kIsLocked) {
    file.Send("Recover=3");
    code = ds_FileOpen(file, mode);
  }
  switch (code) {
    case storage::kNoError:
    case storage::kAlreadyOpen:
      return storage::kNoError;
    case storage::kFileNotFound:
      if (!do_not_create) {
        if (create_allowed) {
          code = CreateAndOpenFile(file, access_mode, read_write);
          if (IsOpen(code)) return storage::kNoError;
          return code;  // warning 4 or 5 has ended the program
        }
        ShowNamedWarning(4, name);
        return code;
      }
      break;
    case storage::kBadKey:
      if (ShowNamedWarning(2, name) != BUTTON_YES) return code;  // "Invalid Key!" has ended it
      code = file.Build();
      if (code != storage::kNoError) {
        ShowNamedWarning(3, name);
        return code;
      }
      code = ds_FileOpen(file, mode);
      break;
    case storage::kBadStructure:
      StopForUpgrade();
      return code;
    default:
      break;
  }
  if (IsOpen(code)) return storage::kNoError;
  ShowNamedWarning(30, name);
  ProgramErrors().Halt(1, "Disk Error");
  return code;
}

}  // namespace vx
