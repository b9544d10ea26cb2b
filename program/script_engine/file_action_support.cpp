#include "program/script_engine/file_action_support.h"

#include <algorithm>

#include "platform/shell_file_operation.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/errors.h"

namespace vx {

std::filesystem::path ScriptPath(std::string_view name) {
  std::string text(ClipView(name));
  std::replace(text.begin(), text.end(), '\\', '/');
  return std::filesystem::path(text);
}

void SetFileActionError(const std::error_code& ec, std::string_view file) {
  if (!ec) {
    storage::ClearError();
  } else if (ec == std::errc::no_such_file_or_directory) {
    storage::SetError(storage::kFileNotFound, std::string(file));
  } else if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
             ec == std::errc::read_only_file_system) {
    storage::SetError(storage::kAccessDenied, std::string(file));
  } else {
    storage::SetError(storage::kDriverError, std::string(file), ec.value(), ec.message());
  }
}

void SetShellOperationError(int result, std::string_view file) {
  switch (result) {
    case 0:
      storage::ClearError();
      return;
    case platform::kFileOpNotFound:
      storage::SetError(storage::kFileNotFound, std::string(file));
      return;
    case platform::kFileOpAccessDenied:
      storage::SetError(storage::kAccessDenied, std::string(file));
      return;
    default:
      storage::SetError(storage::kDriverError, std::string(file), result, "File operation failed");
  }
}

}  // namespace vx
