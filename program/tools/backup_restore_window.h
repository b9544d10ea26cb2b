// The backup program's window: it backs up the named data files of the current folder when it
// opens, says what it copied and where, lists the earlier backups, and puts a chosen one back in
// place of the files in use (once VX is closed), with a progress bar for large files.
#pragma once

#include <string>
#include <vector>

namespace vx {

// Runs the window on the calling runtime thread until it is closed; answers whether the backup
// it opened with was made whole (true when it was asked to back up nothing).
bool BackupRestore(const std::vector<std::string>& names);

}  // namespace vx
