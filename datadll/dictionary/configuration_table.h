// CONFIGURATION: the settings store, one record per setting: its key and its value as text.
#pragma once

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct CONFIGURATION_RECORD {
  String<40> DataType;
  String<255> DataValue;
};

extern thread_local CONFIGURATION_RECORD CF;

const storage::TableDef& CONFIGURATION_TABLE();

}  // namespace vx
