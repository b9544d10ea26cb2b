#include "datadll/dictionary/dictionary_tables.h"

#include <array>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/event_log_table.h"
#include "datadll/dictionary/export_table.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/reference_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"

namespace vx {

std::span<const storage::TableDef* const> DictionaryTables() {
  static const std::array<const storage::TableDef*, 27> tables = {
      // first group
      &SCHEDULE_TABLE(),
      &SYNCSCHEDULE_TABLE(),
      &CLIPBOARDCATEGORIES_TABLE(),
      &SCHEDULEWORKFILE_TABLE(),
      &CATEGORIES_TABLE(),
      &TODO_TABLE(),
      &SCRIPTING_TABLE(),
      &SCRIPTTEMPLATEDETAILS_TABLE(),
      &SCRIPTTEMPLATES_TABLE(),
      &SYNCSCRIPTING_TABLE(),
      &SYNCTODO_TABLE(),
      &EXPORT_TABLE(),
      &CONTACT_TABLE(),
      &CONTACTCATEGORIES_TABLE(),
      &USERS_TABLE(),
      &CLIPBOARD_TABLE(),
      &VXUSD_TABLE(),
      &HOLIDAYS_TABLE(),
      &VX_LOG_TABLE(),
      // second group
      &FAVORITES_TABLE(),
      &MESSAGES_TABLE(),
      &VXSCD_TABLE(),
      &CONFIGURATION_TABLE(),
      &ACTIONS_TABLE(),
      &COMMANDS_TABLE(),
      &SYSHOTKEYS_TABLE(),
      &MSGLINK_TABLE(),
  };
  return tables;
}

}  // namespace vx
