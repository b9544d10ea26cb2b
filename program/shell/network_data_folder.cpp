#include "program/shell/network_data_folder.h"

#include <sys/vfs.h>

#include <string>
#include <system_error>

#include "program/common/data_server.h"
#include "runtime/window/dialogs.h"

namespace vx {

bool IsNetworkFileSystem(long magic) {
  switch (static_cast<unsigned long>(magic) & 0xffffffffUL) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x564C:      // NCP
    case 0x5346414F:  // AFS
    case 0x6B414653:  // kAFS
    case 0x73757245:  // Coda
    case 0x01021997:  // 9P
    case 0x00C36400:  // Ceph
    case 0x0BD00BD0:  // Lustre
    case 0x01161970:  // GFS2
    case 0x7461636F:  // OCFS2
      return true;
    default:
      return false;
  }
}

bool OnNetworkFileSystem(const std::filesystem::path& folder) {
  struct statfs fs {};
  return ::statfs(folder.c_str(), &fs) == 0 && IsNetworkFileSystem(static_cast<long>(fs.f_type));
}

void WarnWhenDataFolderOnNetwork() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  if (ec || NamesDataServer(folder) || !OnNetworkFileSystem(folder)) return;
  MESSAGE("The data folder " + folder.string() +
              " is on a network drive.  Its database files are not safe there: two computers "
              "using them at once can damage the database, and a network that drops can too."
              "\n\nTo share the tasks with others, keep them on a database server (see "
              "\"A team on one database server\" in the README); to use them on this computer "
              "alone, move the data folder to a local disk.",
          "Data Folder on a Network Drive", MessageIcon::Exclamation);
}

}  // namespace vx
