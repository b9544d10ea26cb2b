#include "program/shell/named_data_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "program/admin/program_arguments.h"
#include "program/windows/program_errors.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

// The new folder whose first start is still to be told of.
std::optional<std::string>& KeptNotice() {
  static std::optional<std::string> folder;
  return folder;
}

// Makes each missing folder of `folder` for its owner alone (the data folder holds the tasks,
// their commands and the mail settings). Answers the reason when it fails, else empty.
std::string MakeFolders(const fs::path& folder) {
  fs::path made;
  for (const fs::path& part : folder) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
  }
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return ec ? ec.message() : "it is not a folder";
  return {};
}

}  // namespace

std::optional<NamedFolder> NamedDataFolder() {
  NamedFolder named;
  if (const std::string word = CommandParameter("Data"); !word.empty()) {
    named = {word, "Data= on the command line"};
  } else if (const char* variable = std::getenv("VX_DATA_FOLDER"); variable && *variable) {
    named = {variable, "VX_DATA_FOLDER"};
  } else {
    return std::nullopt;
  }
  std::error_code ec;
  named.folder = fs::absolute(named.folder, ec).lexically_normal();
  if (named.folder.has_relative_path() && !named.folder.has_filename())
    named.folder = named.folder.parent_path();  // "/data/vx/" is the folder "/data/vx"
  return named;
}

bool EnterNamedDataFolder(const NamedFolder& named) {
  std::string reason = MakeFolders(named.folder);
  std::error_code ec;
  if (reason.empty()) {
    fs::current_path(named.folder, ec);
    if (ec) reason = ec.message();
  }
  if (!reason.empty()) {
    MESSAGE("Varnodex cannot use the data folder " + named.folder.string() + ", named by " +
                named.named_by + ": " + reason +
                ".\n\nName a folder you can write to, or start Varnodex without naming one to "
                "choose it.  Varnodex closes now.",
            "Data Folder Not Usable", MessageIcon::Exclamation);
    ProgramErrors().Halt(kExitDataFolderUnusable,
                         "VX: cannot use the data folder " + named.folder.string() + ": " + reason);
    return false;
  }
  if (fs::exists("VX97.TPS", ec)) return true;

  KeptNotice() = named.folder.string();
  return true;
}

void ShowNewDataFolderNotice() {
  if (!KeptNotice()) return;
  const std::string where = *KeptNotice();
  KeptNotice().reset();
  // Said on stderr too, for a program started from a terminal on a display nobody watches.
  std::fprintf(stderr, "VX: new data folder %s: Varnodex made its database there.\n",
               where.c_str());
  ShowMessageAside(
      {"Data Folder",
       "Varnodex keeps its tasks and settings in the folder\n" + where +
           "\n\nThis is its first start there: it made a new, empty database in the folder.  "
           "To keep the data elsewhere, start Varnodex with Data=FOLDER on its command line or "
           "set VX_DATA_FOLDER.",
       MessageIcon::Information, BUTTON_OK, BUTTON_OK});
}

void ForgetNewDataFolderNotice() { KeptNotice().reset(); }

}  // namespace vx
