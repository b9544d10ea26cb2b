// A copy of a data file to hand to someone else, with chosen fields emptied in the copy.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/storage/table_def.h"

namespace vx::storage {

// The fields to empty in one table of the copied file (field names without prefix).
struct BlankedFields {
  const TableDef* table = nullptr;
  std::vector<std::string> fields;
  // When set, only the records whose `where_field` equals `where_value` (letter case ignored).
  std::string where_field;
  std::string where_value;
};

// Copies the data file that holds `table` (everything committed so far, in one consistent
// snapshot) to `target` (mode 0600, replaced when it exists), then empties the given fields in
// every record of the copy. Tables the file does not hold yet are skipped. False when the file
// cannot be read or the copy cannot be written; the original is never changed.
bool CopyDataFileBlanking(const TableDef& table, const std::filesystem::path& target,
                          const std::vector<BlankedFields>& blanked);

}  // namespace vx::storage
