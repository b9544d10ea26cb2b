// Opening a table with the program's fixed reaction to each open error: a locked file is
// recovered once, a missing one created (or reported), damaged keys rebuilt with the user's
// consent, a structure mismatch and any other failure end the program.
#pragma once

#include "runtime/storage/file.h"

namespace vx {

// Opens `file` in `access_mode`, or read/write (2) when `read_write` is set. A missing file is
// created when `create_allowed` is set; `do_not_create` skips the not-found handling. Returns 0
// when the file is open (52, already open, counts as open); otherwise the program has ended,
// and the error code is returned only when a halt handler returns (tests). A file that exists
// is never recreated: only a missing file or table is created.
int OpenFileChecked(storage::File& file, bool create_allowed, bool do_not_create, int access_mode,
                    bool read_write);

// The create-then-open step: creates the file (warning 4 on error) and opens it (warning 5 on
// error). Returns the last error code.
int CreateAndOpenFile(storage::File& file, int access_mode, bool read_write);

}  // namespace vx
