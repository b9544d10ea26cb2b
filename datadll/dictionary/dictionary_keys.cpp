#include "datadll/dictionary/dictionary_keys.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

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
namespace {

// A key of a table by its name; a name missing from the table is a build fault of the dictionary.
const storage::KeyDef& KeyNamed(const storage::TableDef& table, std::string_view name) {
  for (const auto& key : table.keys) {
    if (key.name == name) return key;
  }
  std::fprintf(stderr, "%s has no key %.*s\n", table.label.c_str(), static_cast<int>(name.size()),
               name.data());
  std::abort();
}

}  // namespace

const storage::KeyDef& CAT_KEYCATEGORY = KeyNamed(CATEGORIES_TABLE(), "KeyCategory");

const storage::KeyDef& CLI_KEYCLIPDATE = KeyNamed(CLIPBOARD_TABLE(), "KeyClipDate");
const storage::KeyDef& CLI_KEYCLIPKEEP = KeyNamed(CLIPBOARD_TABLE(), "KeyClipKeep");
const storage::KeyDef& CLI_KEYCATEGORY = KeyNamed(CLIPBOARD_TABLE(), "KeyCategory");
const storage::KeyDef& CLI_KEYABBREVIATION = KeyNamed(CLIPBOARD_TABLE(), "KeyAbbreviation");
const storage::KeyDef& CLI_KEYCLIPHASH = KeyNamed(CLIPBOARD_TABLE(), "KeyClipHash");

const storage::KeyDef& CLC_KEYCATEGORY = KeyNamed(CLIPBOARDCATEGORIES_TABLE(), "KeyCategory");

const storage::KeyDef& CF_KEYDATATYPE = KeyNamed(CONFIGURATION_TABLE(), "KeyDataType");

const storage::KeyDef& C__KEYCLIENTID = KeyNamed(CONTACT_TABLE(), "KeyClientID");
const storage::KeyDef& C__KEYUSERCLIENTID = KeyNamed(CONTACT_TABLE(), "KeyUserClientID");
const storage::KeyDef& C__KEYLASTNAME = KeyNamed(CONTACT_TABLE(), "KeyLastName");
const storage::KeyDef& C__KEYFIRSTNAME = KeyNamed(CONTACT_TABLE(), "KeyFirstName");
const storage::KeyDef& C__KEYWORKPHONE = KeyNamed(CONTACT_TABLE(), "KeyWorkPhone");
const storage::KeyDef& C__KEYHOMEPHONE = KeyNamed(CONTACT_TABLE(), "KeyHomePhone");
const storage::KeyDef& C__KEYFAXNUMBER = KeyNamed(CONTACT_TABLE(), "KeyFaxNumber");
const storage::KeyDef& C__KEYEMAIL = KeyNamed(CONTACT_TABLE(), "KeyEmail");
const storage::KeyDef& C__KEYCATEGORY = KeyNamed(CONTACT_TABLE(), "KeyCategory");

const storage::KeyDef& CC_KEYCONTACTCATEGORIES =
    KeyNamed(CONTACTCATEGORIES_TABLE(), "KeyContactCategories");

const storage::KeyDef& SCD_KEYID = KeyNamed(VXSCD_TABLE(), "KEYID");
const storage::KeyDef& SCD_KEYCONTACT = KeyNamed(VXSCD_TABLE(), "KEYCONTACT");

const storage::KeyDef& HOL_KEYHOLIDAYDATE = KeyNamed(HOLIDAYS_TABLE(), "KeyHolidayDate");

const storage::KeyDef& HOT_K_HOTKEY = KeyNamed(SYSHOTKEYS_TABLE(), "K_HOTKEY");
const storage::KeyDef& HOT_K_ID = KeyNamed(SYSHOTKEYS_TABLE(), "K_ID");
const storage::KeyDef& HOT_K_ACTIVE = KeyNamed(SYSHOTKEYS_TABLE(), "K_ACTIVE");
const storage::KeyDef& HOT_K_DESCRIPTION = KeyNamed(SYSHOTKEYS_TABLE(), "K_DESCRIPTION");

const storage::KeyDef& M__KEYEMAILID = KeyNamed(MESSAGES_TABLE(), "KeyEmailID");
const storage::KeyDef& M__KEYCONTACT = KeyNamed(MESSAGES_TABLE(), "KeyContact");
const storage::KeyDef& M__KEYSUBJECT = KeyNamed(MESSAGES_TABLE(), "KeySubject");
const storage::KeyDef& M__KEYLASTDATESENT = KeyNamed(MESSAGES_TABLE(), "KeyLastDateSent");

const storage::KeyDef& ML_K_ID = KeyNamed(MSGLINK_TABLE(), "K_ID");

const storage::KeyDef& FAV_KEYFAVTYPE = KeyNamed(FAVORITES_TABLE(), "KEYFAVTYPE");

const storage::KeyDef& ACT_KEYACTION = KeyNamed(ACTIONS_TABLE(), "KEYACTION");
const storage::KeyDef& ACT_KEYSEQ = KeyNamed(ACTIONS_TABLE(), "KEYSEQ");

const storage::KeyDef& CMD_KEYTITLE = KeyNamed(COMMANDS_TABLE(), "KEYTITLE");

const storage::KeyDef& SCH_KEYID = KeyNamed(SCHEDULE_TABLE(), "KeyID");
const storage::KeyDef& SCH_KEYDATE = KeyNamed(SCHEDULE_TABLE(), "KeyDate");
const storage::KeyDef& SCH_KEYCATEGORY = KeyNamed(SCHEDULE_TABLE(), "KeyCategory");
const storage::KeyDef& SCH_KEYCATEGORYDATE = KeyNamed(SCHEDULE_TABLE(), "KeyCategoryDate");
const storage::KeyDef& SCH_KEYTASKNAME = KeyNamed(SCHEDULE_TABLE(), "KeyTaskName");
const storage::KeyDef& SCH_KEYTASKTYPE = KeyNamed(SCHEDULE_TABLE(), "KeyTaskType");
const storage::KeyDef& SCH_KEYTASKDATE = KeyNamed(SCHEDULE_TABLE(), "KeyTaskDate");
const storage::KeyDef& SCH_KEYDATEENABLED = KeyNamed(SCHEDULE_TABLE(), "KeyDateEnabled");
const storage::KeyDef& SCH_KEYADVANCED = KeyNamed(SCHEDULE_TABLE(), "KeyAdvanced");
const storage::KeyDef& SCH_KEYEXPIRYDATE = KeyNamed(SCHEDULE_TABLE(), "KeyExpiryDate");
const storage::KeyDef& SCH_KEYORIGINALID = KeyNamed(SCHEDULE_TABLE(), "KeyOriginalID");

const storage::KeyDef& SCW_KEYID = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyID");
const storage::KeyDef& SCW_KEYUSER = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyUser");
const storage::KeyDef& SCW_KEYDATE = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyDate");
const storage::KeyDef& SCW_KEYUSERDATE = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyUserDate");
const storage::KeyDef& SCW_KEYCATEGORY = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyCategory");
const storage::KeyDef& SCW_KEYCATEGORYDATE = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyCategoryDate");
const storage::KeyDef& SCW_KEYTASKNAME = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyTaskName");
const storage::KeyDef& SCW_KEYTASKTYPE = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyTaskType");
const storage::KeyDef& SCW_KEYTASKDATE = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyTaskDate");
const storage::KeyDef& SCW_KEYDATEENABLED = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyDateEnabled");
const storage::KeyDef& SCW_KEYADVANCED = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyAdvanced");
const storage::KeyDef& SCW_KEYUSERADVANCED = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyUserAdvanced");
const storage::KeyDef& SCW_KEYEXPIRYDATE = KeyNamed(SCHEDULEWORKFILE_TABLE(), "KeyExpiryDate");

const storage::KeyDef& SSCH_KEYID = KeyNamed(SYNCSCHEDULE_TABLE(), "KeyID");
const storage::KeyDef& SSCH_KEYDATE = KeyNamed(SYNCSCHEDULE_TABLE(), "KeyDate");
const storage::KeyDef& SSCH_KEYCATEGORY = KeyNamed(SYNCSCHEDULE_TABLE(), "KeyCategory");
const storage::KeyDef& SSCH_KEYTASKTYPE = KeyNamed(SYNCSCHEDULE_TABLE(), "KeyTaskType");
const storage::KeyDef& SSCH_KEYORIGINALID = KeyNamed(SYNCSCHEDULE_TABLE(), "KeyOriginalID");

const storage::KeyDef& SCR_KEYID = KeyNamed(SCRIPTING_TABLE(), "KeyID");
const storage::KeyDef& SCR_KEYEMAIL = KeyNamed(SCRIPTING_TABLE(), "KeyEmail");

const storage::KeyDef& SSCR_KEYID = KeyNamed(SYNCSCRIPTING_TABLE(), "KeyID");

const storage::KeyDef& VXD_K_WIZ_ID = KeyNamed(SCRIPTTEMPLATEDETAILS_TABLE(), "K_WIZ_ID");

const storage::KeyDef& VXT_K_WIZ_ID = KeyNamed(SCRIPTTEMPLATES_TABLE(), "K_WIZ_ID");
const storage::KeyDef& VXT_K_DESCRIPTION = KeyNamed(SCRIPTTEMPLATES_TABLE(), "K_DESCRIPTION");
const storage::KeyDef& VXT_K_DOSFILENAME = KeyNamed(SCRIPTTEMPLATES_TABLE(), "K_DOSFILENAME");

const storage::KeyDef& U__KEYUSER = KeyNamed(USERS_TABLE(), "KEYUSER");

const storage::KeyDef& US_KEYID = KeyNamed(VXUSD_TABLE(), "KEYID");
const storage::KeyDef& US_KEYUSER = KeyNamed(VXUSD_TABLE(), "KEYUSER");
const storage::KeyDef& US_KEYADVANCED = KeyNamed(VXUSD_TABLE(), "KEYADVANCED");

const storage::KeyDef& TDO_KEYDONE = KeyNamed(TODO_TABLE(), "KeyDone");
const storage::KeyDef& TDO_KEYPRIORITY = KeyNamed(TODO_TABLE(), "KeyPriority");
const storage::KeyDef& TDO_KEYTODO = KeyNamed(TODO_TABLE(), "KeyToDo");
const storage::KeyDef& TDO_KEYCATEGORY = KeyNamed(TODO_TABLE(), "KeyCategory");

const storage::KeyDef& STDO_KEYDONE = KeyNamed(SYNCTODO_TABLE(), "KeyDone");
const storage::KeyDef& STDO_KEYPRIORITY = KeyNamed(SYNCTODO_TABLE(), "KeyPriority");
const storage::KeyDef& STDO_KEYTODO = KeyNamed(SYNCTODO_TABLE(), "KeyToDo");
const storage::KeyDef& STDO_KEYCATEGORY = KeyNamed(SYNCTODO_TABLE(), "KeyCategory");

}  // namespace vx
