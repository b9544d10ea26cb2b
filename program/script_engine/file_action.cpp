// The "File Actions" step: the verb picks the operation, whose outcome goes into script
// variables for the conditions that follow.
#include <string>

#include "program/common/write_log.h"
#include "program/script_engine/file_actions.h"
#include "program/script_engine/log_windows.h"
#include "program/script_engine/script_variables.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/storage/errors.h"

namespace vx {

std::int64_t FileAction(std::string_view /*Extra2*/, std::string_view /*Extra1*/,
                        std::string_view File2, std::string_view File1, std::string_view Verb) {
  // The log's file may be among the files worked on; the next log line opens it afresh.
  CloseEventLog();
  // Expanded names are not cut to the width of the step's fields: a cut name could name
  // another file than the one meant.
  const std::string file1 = ExpandVariables(File1);
  const std::string file2 = ExpandVariables(File2);
  const std::string_view verb = ClipView(Verb);
  storage::ClearError();

  std::int64_t result = 0;
  std::string variable, value;  // the verb's result variable, when it has one
  if (verb == "Copy" || verb == "Rename" || verb == "Move" || verb == "Delete" ||
      verb == "Recycle") {
    result = ShellFileOperation(verb, file1, file2);
    variable = verb == "Recycle" ? "FileDelete" : "File" + std::string(verb);
  } else if (verb == "Make Directory") {
    result = DirCreate(file1);
    variable = "DirCreate";
  } else if (verb == "Remove Directory") {
    result = DirRemove(file1);
    variable = "DirRemove";
  } else if (verb == "Get File Date") {
    result = GetFileDate(file1);
    variable = "FileDate";
    if (result != 0) value = FORMAT(static_cast<std::int32_t>(result), "@D12");  // yyyymmdd
  } else if (verb == "Get File Time") {
    result = GetFileTime(file1);
    variable = "FileTime";
    if (result != 0) value = FORMAT(static_cast<std::int32_t>(result), "@T5");  // hhmmss
  } else if (verb == "Get File Size") {
    result = GetFileSize(file1);
    variable = "FileSize";
  } else if (verb == "Log Windows") {
    result = LogWindows(file1);
  } else if (verb == "File Exists" || verb == "If File Exists") {
    result = FileExists(file1);
    variable = "FileExists";
  }
  // Any other verb does nothing; "Errorcode" still gets the runtime's code.
  const int code = ERRORCODE();
  if (!variable.empty())
    SetScriptVariable(value.empty() ? std::to_string(result) : value, variable);
  SetScriptVariable(std::to_string(code), "Errorcode");
  return result;
}

}  // namespace vx
