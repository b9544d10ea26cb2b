#include "program/common/open_file_checked.h"

#include <filesystem>
#include <string>

#include "datadll/dictionary/file_conversion.h"
#include "datadll/dictionary/upgrade_error.h"
#include "program/common/numbered_warnings.h"
#include "program/windows/program_errors.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/stored_name.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

int ModeOf(int access_mode, bool read_write) {
  return read_write ? storage::kReadWrite : access_mode;
}

bool IsOpen(int code) { return code == storage::kNoError || code == storage::kAlreadyOpen; }

}  // namespace

int CreateAndOpenFile(storage::File& file, int access_mode, bool read_write) {
  const std::string name = storage::FileOnDisk(file.Name(), file.def().driver);
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
  // The warnings name the file as the user finds it on disk, not the table's stored name.
  const std::string name = storage::FileOnDisk(file.Name(), file.def().driver);
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
      StopForUpgrade(ProgramErrors(), ERROR());
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
