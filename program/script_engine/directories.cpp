// Making and removing one folder for a script; the result tells whether the folder is in the
// state the script asked for.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "program/script_engine/file_action_support.h"
#include "program/script_engine/file_actions.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

std::error_code LastSystemError() { return {errno, std::generic_category()}; }

}  // namespace

int DirCreate(std::string_view Path) {
  const fs::path path = ScriptPath(Path);
  if (path.empty()) {
    storage::SetError(storage::kFileNotFound, std::string(Path));
    return 0;
  }
  const std::error_code made =
      ::mkdir(path.c_str(), 0777) == 0 ? std::error_code() : LastSystemError();
  std::error_code ec;
  // A file of that name is not the folder asked for, even though the name exists.
  const bool folder = fs::is_directory(path, ec);
  SetFileActionError(folder ? std::error_code() : made, Path);
  return folder ? 1 : 0;
}

int DirRemove(std::string_view Path) {
  const fs::path path = ScriptPath(Path);
  if (path.empty()) {
    storage::SetError(storage::kFileNotFound, std::string(Path));
    return 0;
  }
  // rmdir removes only an empty folder, never a file or a link to a folder.
  const std::error_code removed =
      ::rmdir(path.c_str()) == 0 ? std::error_code() : LastSystemError();
  std::error_code ec;
  const bool gone = !fs::exists(fs::symlink_status(path, ec));
  SetFileActionError(gone ? std::error_code() : removed, Path);
  return gone ? 1 : 0;
}

}  // namespace vx
