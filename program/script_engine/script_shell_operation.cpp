// Copy, move, rename, delete and recycle through the data library's shell file-operation class.
#include "datadll/utility/sys_sh_file_op_class.h"
#include "platform/shell_file_operation.h"
#include "program/script_engine/file_action_support.h"
#include "program/script_engine/file_actions.h"

namespace vx {

int ShellFileOperation(std::string_view Verb, std::string_view File1, std::string_view File2) {
  // A fresh object per operation, so that no flag of an earlier one carries over.
  SYSSHFILEOPCLASS op;
  op.INIT(0);
  int result = platform::kFileOpInvalidFiles;
  if (Verb == "Copy") {
    result = op.COPY(File1, File2);
  } else if (Verb == "Move") {
    result = op.MOVE(File1, File2);
  } else if (Verb == "Rename") {
    result = op.RENAME(File1, File2);
  } else if (Verb == "Delete") {
    result = op.DELETE(File1, 0);
  } else if (Verb == "Recycle") {
    result = op.RECYCLE(File1);
  }
  op.KILL();
  SetShellOperationError(result, File1);
  return result;
}

}  // namespace vx
