// The schedule services on the data library's tables: holidays looked up in HOLIDAYS, tasks
// stored and reloaded in SCHEDULE through their file managers.
//
// Adding a task copy (the history-copy routine), message boxes and the user's date format
// belong to other parts of the program; the program's own subclass supplies them.
#pragma once

#include "program/recurrence/schedule_services.h"

namespace vx {

class TableScheduleServices : public ScheduleServices {
 public:
  bool HolidaysExist() override;
  bool IsHoliday(std::int32_t date) override;
  void PutTask() override;
  bool LoadTask(std::int32_t id) override;
};

}  // namespace vx
