#include "program/shell/register_program_windows.h"

#include "program/admin/admin_windows.h"
#include "program/admin/view_event_log.h"
#include "program/common/main_procedures.h"
#include "program/hot_keys/hot_key_windows.h"
#include "program/import_export/csv_export.h"
#include "program/import_export/csv_import.h"
#include "program/organiser/bug_report.h"
#include "program/organiser/clipboard_windows.h"
#include "program/organiser/contact_windows.h"
#include "program/organiser/message_windows.h"
#include "program/organiser/todo_windows.h"
#include "program/reports/list_reports.h"
#include "program/reports/schedule_reports.h"
#include "program/reports/todo_reports.h"
#include "program/schedule/birthday_wizard.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/holiday_windows.h"
#include "program/schedule/task_windows.h"
#include "program/schedule/update_schedule.h"
#include "program/scripts/edit_script_as_text.h"
#include "program/scripts/script_windows.h"
#include "program/scripts/script_wizard.h"
#include "program/scripts/template_windows.h"
#include "program/scripts/view_script_queue.h"

namespace vx {

void RegisterProgramWindows() {
  // One line per window: RegisterMainProcedure("<name Main uses>", <procedure>);
  RegisterMainProcedure("About", About);
  RegisterMainProcedure("BrowseHolidays", BrowseHolidays);
  RegisterMainProcedure("BrowseUsers", BrowseUsers);
  RegisterMainProcedure("BugReport", BugReport);
  RegisterMainProcedure("BrowseClipboard", BrowseClipboard);
  RegisterMainProcedure("BrowseClipboardCategories", BrowseClipboardCategories);
  RegisterMainProcedure("BrowseContacts", BrowseContacts);
  RegisterMainProcedure("BrowseContactCategories2Pane", BrowseContactCategories2Pane);
  RegisterMainProcedure("PrintContactList", PrintContactList);
  RegisterMainProcedure("PrintCAT:KeyCategory", PrintCAT_KeyCategory);
  RegisterMainProcedure("BrowseScheduleCategories", BrowseScheduleCategories);
  RegisterMainProcedure("SelectCategories", SelectCategories);
  RegisterMainProcedure("BrowseToDoList", BrowseToDoList);
  RegisterMainProcedure("UpdateTodo", UpdateTodo);
  RegisterMainProcedure("PrintToDoByPriority", PrintToDoByPriority);
  RegisterMainProcedure("PrintToDoByCategory", PrintToDoByCategory);
  RegisterMainProcedure("BrowseSchedule", BrowseSchedule);
  RegisterMainProcedure("ExploreSchedule", ExploreSchedule);
  RegisterMainProcedure("BrowseHotKeys", BrowseHotKeys);
  RegisterMainProcedure("BrowseMessages", BrowseMessages);
  RegisterMainProcedure("UpdateMessages", [] { UpdateMessages(); });
  RegisterMainProcedure("UpdateHotKeys", UpdateHotKeys);
  RegisterMainProcedure("BrowseScriptTemplates", BrowseScriptTemplates);
  RegisterMainProcedure("Wizard:Script", Wizard_Script);
  RegisterMainProcedure("Wizard:NewBirthdays", Wizard_NewBirthdays);
  RegisterMainProcedure("BrowseScripting", BrowseScripting);
  RegisterMainProcedure("UpdateScripting", UpdateScripting);
  RegisterMainProcedure("Script:EditAsText", [] { Script_EditAsText(); });
  RegisterMainProcedure("Housekeeping", Housekeeping);
  RegisterMainProcedure("Setup", Setup);
  RegisterMainProcedure("UpdateUsers", UpdateUsers);
  RegisterMainProcedure("UpdateVXUSD", UpdateVXUSD);
  RegisterMainProcedure("ViewAscii:Log", ViewAscii_Log);
  RegisterMainProcedure("ViewQueue:Script", ViewQueue_Script);
  RegisterMainProcedure("UpdateSchedule", UpdateSchedule);
  RegisterMainProcedure("Print:SCH:AllDateOrder", Print_SCH_AllDateOrder);
  RegisterMainProcedure("Print:SCH:AllCategoryOrder", Print_SCH_AllCategoryOrder);
  RegisterMainProcedure("Print:SCH:OneCategory", Print_SCH_OneCategory);
  RegisterMainProcedure("PrintScheduleBrief", PrintScheduleBrief);
  RegisterMainProcedure("PrintSchedule", PrintSchedule);
  RegisterMainProcedure("ExportSchedule", ExportSchedule);
  RegisterMainProcedure("ExportContacts", ExportContacts);
  RegisterMainProcedure("ExportToDo", ExportToDo);
  RegisterMainProcedure("ImportSchedule", ImportSchedule);
  RegisterMainProcedure("ImportContacts", ImportContacts);
  RegisterMainProcedure("ImportToDo", ImportToDo);
}

std::span<const std::string_view> WindowsNotYetWritten() {
  // Every window Main names is written. A name the menus use before its window is written goes
  // here, one a line, so that writing it takes out one line.
  return {};
}

}  // namespace vx
