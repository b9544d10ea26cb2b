// Turns a table's stored name into the file on disk and the table inside it.
//
// "VX97\!s" names table "s" of the file VX97.TPS; a TopSpeed name without an extension gets
// ".TPS"; an existing file whose name differs only in letter case is used rather than a second
// file being created next to it.
#pragma once

#include <string>
#include <string_view>

#include "runtime/storage/table_def.h"

namespace vx::storage {

struct StoredName {
  std::string path;   // the file as the caller named it, extension added, backslashes as '/'
  std::string table;  // the table inside a multi-table file; empty for a file's only table
};

StoredName ParseStoredName(std::string_view stored, Driver driver);

// The path to use on disk: `path` itself when it exists, else an existing entry of its folder
// whose name matches without regard to case, else `path` unchanged (a file to create).
std::string ResolveOnDisk(const std::string& path);

// ResolveOnDisk's answer with what it learnt of the file: `error` is 0 when `path` was found
// by stat, the errno of that stat when nothing answers to the name, kNotChecked when `path` is
// an entry of the folder found by its name in another letter case (it may be a link to
// nothing: not checked).
struct ResolvedName {
  static constexpr int kNotChecked = -1;
  std::string path;
  int error = kNotChecked;
};
ResolvedName ResolveName(const std::string& path);

// The file a stored name stands for, as the user finds it: its absolute path on disk
// ("VX97\!s" in /data is "/data/VX97.TPS"). Messages name it rather than the stored name.
// Empty for an empty name.
std::string FileOnDisk(std::string_view stored, Driver driver = Driver::TopSpeed);

}  // namespace vx::storage
