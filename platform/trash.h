// The user's trash, as freedesktop.org's Trash standard lays it out, so that
// desktop file managers list, restore and empty what the program puts there.
#pragma once

#include <filesystem>
#include <system_error>

namespace vx::platform {

// The home trash: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
std::filesystem::path HomeTrashFolder();

// Moves a file or folder into the home trash: the item goes to Trash/files under a name not yet
// used there, and Trash/info gets a .trashinfo file with its original path (percent-encoded)
// and the deletion date. On another file system a file is copied in and then removed; a
// folder there is refused (it would have to be deleted tree and all). Nothing is left behind
// on failure.
std::error_code MoveToTrash(const std::filesystem::path& item);

// A path as the trash info file records it: every byte but the unreserved URI characters and
// "/" written as %XX.
std::string PercentEncodePath(const std::string& path);

}  // namespace vx::platform
