// Copying, moving, renaming, deleting and recycling lists of files, with wildcards, the way the
// desktop shell's file operation does it, over std::filesystem.
#pragma once

#include <string>
#include <vector>

namespace vx::platform {

// Operations.
inline constexpr unsigned FO_MOVE = 1;
inline constexpr unsigned FO_COPY = 2;
inline constexpr unsigned FO_DELETE = 3;
inline constexpr unsigned FO_RENAME = 4;

// Flags that change what happens (the others only silence dialogs, which this has none of).
inline constexpr unsigned FOF_RENAMEONCOLLISION =
    0x8;  // a copy or move onto an existing name takes a new one
inline constexpr unsigned FOF_ALLOWUNDO = 0x40;  // deleting puts the items into the trash
inline constexpr unsigned FOF_FILESONLY = 0x80;  // wildcards match files, never folders

// Results: 0 is success.
inline constexpr int kFileOpNotFound = 2;  // a name without wildcards names nothing
inline constexpr int kFileOpAccessDenied =
    5;  // refused by the system, or a folder to delete for good
inline constexpr int kFileOpSameFile = 0x71;  // source and target are the same file
inline constexpr int kFileOpDestSubtree =
    0x76;  // the target lies inside the folder being copied or moved
inline constexpr int kFileOpInvalidFiles =
    0x7C;                                    // an empty or root name, a wildcard folder, no names
inline constexpr int kFileOpFailed = 0x402;  // any other failure

struct FileOperation {
  unsigned operation = FO_COPY;
  std::vector<std::string> sources;  // names or wildcard patterns ("*" and "?" in the last part)
  std::vector<std::string>
      targets;  // the first is the target: a folder, or a file name for one source
  unsigned flags = 0;
};

// Runs the operation and returns 0 or the first failure's code (the items before it are done).
// Backslashes in names are folder separators. A folder is never deleted for good: deleting one
// without FOF_ALLOWUNDO is refused, with it the folder goes into the trash whole. Names that are
// empty or the root folder are refused before anything is done.
int RunFileOperation(const FileOperation& op);

}  // namespace vx::platform
