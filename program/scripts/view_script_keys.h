// The reference list of the key names that "Send Keys" steps understand.
#pragma once

#include <filesystem>

namespace vx {

// The window "List of Key Abbreviations" on "KEYCODES.TXT" in `folder` (the program's own
// folder when empty). When the file cannot be read the window does not open.
void ViewAscii_ScriptKeys(const std::filesystem::path& folder = {});

}  // namespace vx
