// Whether other users of the machine can change the data folder, told once at start.
#pragma once

#include <filesystem>

namespace vx {

// True when every user may create, rename or delete files in `folder` (write permission for
// others, with or without the sticky bit): another user could then plant links or files at the
// names the program writes, or replace its database.
bool OpenToOthers(const std::filesystem::path& folder);

// Shows one box at start when the current (data) folder is open to others, naming it and how
// to close it. The program goes on either way: the user may have set it up so on purpose.
void WarnWhenDataFolderOpenToOthers();

}  // namespace vx
