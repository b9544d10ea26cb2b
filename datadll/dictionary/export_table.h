// EXPORT: the comma-delimited script exchange file, one line per record: a line type and up to
// six values. Read and written in file order; it has no keys.
#pragma once

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct EXPORT_RECORD {
  String<20> TYPE;
  String<255> FIELD1;
  String<255> FIELD2;
  String<255> FIELD3;
  String<255> FIELD4;
  String<255> FIELD5;
  String<255> FIELD6;
};

extern thread_local EXPORT_RECORD EXP;

const storage::TableDef& EXPORT_TABLE();

}  // namespace vx
