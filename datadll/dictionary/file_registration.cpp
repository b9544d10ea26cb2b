#include "datadll/dictionary/file_registration.h"

#include <atomic>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/file_conversion.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/reference_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"

namespace vx {
namespace {

struct Registration {
  const char* prefix;
  const char* label;
  const storage::TableDef& (*table)();
  int version;
};

// The event log and the script exchange file are plain text files and are not registered.
const Registration kRegistrations[] = {
    {"ACT", "Actions", ACTIONS_TABLE, 1},
    {"CAT", "Categories", CATEGORIES_TABLE, 4},
    {"CLI", "Clipboard", CLIPBOARD_TABLE, 8},
    {"CLC", "ClipboardCategories", CLIPBOARDCATEGORIES_TABLE, 3},
    {"CMD", "Commands", COMMANDS_TABLE, 0},
    {"CF", "Configuration", CONFIGURATION_TABLE, 2},
    {"C_", "Contact", CONTACT_TABLE, 2},
    {"CC", "ContactCategories", CONTACTCATEGORIES_TABLE, 3},
    {"FAV", "Favorites", FAVORITES_TABLE, 0},
    {"HOL", "Holidays", HOLIDAYS_TABLE, 4},
    {"M_", "Messages", MESSAGES_TABLE, 3},
    {"ML", "MsgLink", MSGLINK_TABLE, 2},
    {"SCD", "VXSCD", VXSCD_TABLE, 1},
    {"US", "VXUSD", VXUSD_TABLE, 1},
    {"SCH", "Schedule", SCHEDULE_TABLE, 14},
    {"SCW", "ScheduleWorkfile", SCHEDULEWORKFILE_TABLE, 5},
    {"VXD", "ScriptTemplateDetails", SCRIPTTEMPLATEDETAILS_TABLE, 3},
    {"VXT", "ScriptTemplates", SCRIPTTEMPLATES_TABLE, 2},
    {"SCR", "Scripting", SCRIPTING_TABLE, 8},
    {"SSch", "SyncSchedule", SYNCSCHEDULE_TABLE, 9},
    {"SScr", "SyncScripting", SYNCSCRIPTING_TABLE, 5},
    {"STdo", "SyncTodo", SYNCTODO_TABLE, 1},
    {"HOT", "SysHotKeys", SYSHOTKEYS_TABLE, 2},
    {"TDO", "Todo", TODO_TABLE, 4},
    {"U_", "Users", USERS_TABLE, 5},
};

std::atomic<bool> gRegistered{false};

}  // namespace

void RegisterTablesWithFileConversion() {
  if (gRegistered.exchange(true)) return;
  ds_AddDriver("Tps", "TOPSPEED");
  ds_IgnoreDriver("AllFiles", 1);
  for (const Registration& r : kRegistrations) {
    ds_UsingFile(r.prefix, r.label, r.table(), r.version);
    // The template file's name field was once called Filename; files of that age convert.
    if (r.table == SCRIPTTEMPLATES_TABLE) ds_AlternateFieldName("VXT:DOSFilename", "VXT:Filename");
  }
}

}  // namespace vx
