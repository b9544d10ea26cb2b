#include "program/due_tasks/table_schedule_services.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"

namespace vx {

bool TableScheduleServices::HolidaysExist() {
  if (ACCESS_HOLIDAYS->UseFile() != 0) return false;
  return ACCESS_HOLIDAYS->file().Records() > 0;
}

bool TableScheduleServices::IsHoliday(std::int32_t date) {
  HOL.HolidayDate = date;
  return ACCESS_HOLIDAYS->TryFetch(HOL_KEYHOLIDAYDATE) == 0;
}

void TableScheduleServices::PutTask() { ACCESS_SCHEDULE->Update(); }

bool TableScheduleServices::LoadTask(std::int32_t id) {
  SCH.ID = id;
  return ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == 0;
}

}  // namespace vx
