// VX_LOG: the event log, a plain text file of fixed-column lines: date and time as text, a
// label and the logged text.
#pragma once

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct VX_LOG_RECORD {
  String<12> LogDate;
  String<10> LogTime;
  String<32> LogLabel;
  String<128> LogData;
};

extern thread_local VX_LOG_RECORD VXL;

const storage::TableDef& VX_LOG_TABLE();

}  // namespace vx
