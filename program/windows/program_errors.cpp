#include "program/windows/program_errors.h"

#include "datadll/dictionary/vx_files.h"

namespace vx {

ErrorClass& ProgramErrors() {
  if (ErrorClass* errors = ErrorsInUse()) return *errors;
  static ErrorClass fallback;
  return fallback;
}

}  // namespace vx
