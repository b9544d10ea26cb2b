#include "program/shell/register_program_windows.h"

#include "program/schedule/category_windows.h"
#include "program/schedule/holiday_windows.h"
#include "program/shell/main_procedures.h"

namespace vx {

void RegisterProgramWindows() {
  // One line per window: RegisterMainProcedure("<name Main uses>", <procedure>);
  RegisterMainProcedure("BrowseHolidays", BrowseHolidays);
  RegisterMainProcedure("BrowseScheduleCategories", BrowseScheduleCategories);
}

}  // namespace vx
