#include "program/recurrence/warning_offset.h"

#include "datadll/dictionary/schedule_table.h"

namespace vx {

bool MakeWarningRelative() {
  bool offset = false;
  if (SCH.AdvanceWarnDate != 0) {
    SCH.AdvanceWarnDate -= SCH.Date;
    offset = true;
  }
  if (SCH.AdvanceWarnTime != 0) {
    SCH.AdvanceWarnTime -= SCH.Time;
    offset = true;
  }
  return offset;
}

void MakeWarningAbsolute() {
  SCH.AdvanceWarnDate += SCH.Date;
  SCH.AdvanceWarnTime += SCH.Time;
}

}  // namespace vx
