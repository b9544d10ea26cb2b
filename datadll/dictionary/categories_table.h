// CATEGORIES: the task categories, one text per record.
#pragma once

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct CATEGORIES_RECORD {
  String<20> Category;
};

extern thread_local CATEGORIES_RECORD CAT;

const storage::TableDef& CATEGORIES_TABLE();

}  // namespace vx
