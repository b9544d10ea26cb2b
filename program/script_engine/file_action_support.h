// What the file actions share: script names turned into paths, and their outcome recorded as
// the thread's last error.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace vx {

// A name as scripts write it (trailing blanks cut, backslashes as folder separators) as a path.
std::filesystem::path ScriptPath(std::string_view name);

// Records a system error for `file` as the thread's last error: none clears it; "not found"
// gives 2, a refusal 5, anything else 90 with the system's code and text.
void SetFileActionError(const std::error_code& ec, std::string_view file);

// Records a shell file operation's result the same way (0 clears the error).
void SetShellOperationError(int result, std::string_view file);

}  // namespace vx
