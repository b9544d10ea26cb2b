// HOLIDAYS: dates on which tasks with the holiday exception do not run, with the holiday's name
// and how its date recurs ("Annual", "Day of Month", "Easter", "Once").
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct HOLIDAYS_RECORD {
  std::int32_t HolidayDate = 0;
  String<30> Holiday;
  String<20> HolidayType;
};

extern thread_local HOLIDAYS_RECORD HOL;

const storage::TableDef& HOLIDAYS_TABLE();

}  // namespace vx
