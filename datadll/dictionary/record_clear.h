// Clears the calling thread's record buffer of a table field by field: numbers 0, STRING and memo
// fields blank, CSTRING fields empty (what a freshly started thread's buffer holds).
#pragma once

#include "runtime/storage/table_def.h"

namespace vx {

void ClearRecord(const storage::TableDef& table);

}  // namespace vx
