#include "program/shell/data_folder_access.h"

#include <sys/stat.h>

#include <string>
#include <system_error>

#include "runtime/window/dialogs.h"

namespace vx {

bool OpenToOthers(const std::filesystem::path& folder) {
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_IWOTH) != 0;
}

void WarnWhenDataFolderOpenToOthers() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  if (ec || !OpenToOthers(folder)) return;
  MESSAGE(
      "Every user of this computer can change the data folder " + folder.string() +
          ".  Another user could replace the task database, or plant files and links in the "
          "folder that the scheduler then writes to.\n\nMake the folder yours alone (for example "
          "with the command: chmod o-w \"" +
          folder.string() +
          "\"), or move the data to a folder of your own and choose it at the next start.",
      "Data Folder Open to Others", MessageIcon::Exclamation);
}

}  // namespace vx
