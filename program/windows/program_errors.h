// The error object through which the shell's routines show their messages and end the program:
// the one the data library has in use (the program's own once it has been handed over).
#pragma once

#include "framework/error_class.h"

namespace vx {

// The data library's error object in use; while the library is not loaded, a process-wide
// fallback, so that a message is never lost.
ErrorClass& ProgramErrors();

}  // namespace vx
