// The key labels of every table (SCH_KEYDATEENABLED is key SCH:KEYDATEENABLED), for the file
// calls that take a key. Each names a key of its table's description.
#pragma once

#include "runtime/storage/table_def.h"

namespace vx {

extern const storage::KeyDef& CAT_KEYCATEGORY;

extern const storage::KeyDef& CLI_KEYCLIPDATE;
extern const storage::KeyDef& CLI_KEYCLIPKEEP;
extern const storage::KeyDef& CLI_KEYCATEGORY;
extern const storage::KeyDef& CLI_KEYABBREVIATION;
extern const storage::KeyDef& CLI_KEYCLIPHASH;

extern const storage::KeyDef& CLC_KEYCATEGORY;

extern const storage::KeyDef& CF_KEYDATATYPE;

extern const storage::KeyDef& C__KEYCLIENTID;
extern const storage::KeyDef& C__KEYUSERCLIENTID;
extern const storage::KeyDef& C__KEYLASTNAME;
extern const storage::KeyDef& C__KEYFIRSTNAME;
extern const storage::KeyDef& C__KEYWORKPHONE;
extern const storage::KeyDef& C__KEYHOMEPHONE;
extern const storage::KeyDef& C__KEYFAXNUMBER;
extern const storage::KeyDef& C__KEYEMAIL;
extern const storage::KeyDef& C__KEYCATEGORY;

extern const storage::KeyDef& CC_KEYCONTACTCATEGORIES;

extern const storage::KeyDef& SCD_KEYID;
extern const storage::KeyDef& SCD_KEYCONTACT;

extern const storage::KeyDef& HOL_KEYHOLIDAYDATE;

extern const storage::KeyDef& HOT_K_HOTKEY;
extern const storage::KeyDef& HOT_K_ID;
extern const storage::KeyDef& HOT_K_ACTIVE;
extern const storage::KeyDef& HOT_K_DESCRIPTION;

extern const storage::KeyDef& M__KEYEMAILID;
extern const storage::KeyDef& M__KEYCONTACT;
extern const storage::KeyDef& M__KEYSUBJECT;
extern const storage::KeyDef& M__KEYLASTDATESENT;

extern const storage::KeyDef& ML_K_ID;

extern const storage::KeyDef& FAV_KEYFAVTYPE;

extern const storage::KeyDef& ACT_KEYACTION;
extern const storage::KeyDef& ACT_KEYSEQ;

extern const storage::KeyDef& CMD_KEYTITLE;

extern const storage::KeyDef& SCH_KEYID;
extern const storage::KeyDef& SCH_KEYDATE;
extern const storage::KeyDef& SCH_KEYCATEGORY;
extern const storage::KeyDef& SCH_KEYCATEGORYDATE;
extern const storage::KeyDef& SCH_KEYTASKNAME;
extern const storage::KeyDef& SCH_KEYTASKTYPE;
extern const storage::KeyDef& SCH_KEYTASKDATE;
extern const storage::KeyDef& SCH_KEYDATEENABLED;
extern const storage::KeyDef& SCH_KEYADVANCED;
extern const storage::KeyDef& SCH_KEYEXPIRYDATE;
extern const storage::KeyDef& SCH_KEYORIGINALID;

extern const storage::KeyDef& SCW_KEYID;
extern const storage::KeyDef& SCW_KEYUSER;
extern const storage::KeyDef& SCW_KEYDATE;
extern const storage::KeyDef& SCW_KEYUSERDATE;
extern const storage::KeyDef& SCW_KEYCATEGORY;
extern const storage::KeyDef& SCW_KEYCATEGORYDATE;
extern const storage::KeyDef& SCW_KEYTASKNAME;
extern const storage::KeyDef& SCW_KEYTASKTYPE;
extern const storage::KeyDef& SCW_KEYTASKDATE;
extern const storage::KeyDef& SCW_KEYDATEENABLED;
extern const storage::KeyDef& SCW_KEYADVANCED;
extern const storage::KeyDef& SCW_KEYUSERADVANCED;
extern const storage::KeyDef& SCW_KEYEXPIRYDATE;

extern const storage::KeyDef& SSCH_KEYID;
extern const storage::KeyDef& SSCH_KEYDATE;
extern const storage::KeyDef& SSCH_KEYCATEGORY;
extern const storage::KeyDef& SSCH_KEYTASKTYPE;
extern const storage::KeyDef& SSCH_KEYORIGINALID;

extern const storage::KeyDef& SCR_KEYID;
extern const storage::KeyDef& SCR_KEYEMAIL;

extern const storage::KeyDef& SSCR_KEYID;

extern const storage::KeyDef& VXD_K_WIZ_ID;

extern const storage::KeyDef& VXT_K_WIZ_ID;
extern const storage::KeyDef& VXT_K_DESCRIPTION;
extern const storage::KeyDef& VXT_K_DOSFILENAME;

extern const storage::KeyDef& U__KEYUSER;

extern const storage::KeyDef& US_KEYID;
extern const storage::KeyDef& US_KEYUSER;
extern const storage::KeyDef& US_KEYADVANCED;

extern const storage::KeyDef& TDO_KEYDONE;
extern const storage::KeyDef& TDO_KEYPRIORITY;
extern const storage::KeyDef& TDO_KEYTODO;
extern const storage::KeyDef& TDO_KEYCATEGORY;

extern const storage::KeyDef& STDO_KEYDONE;
extern const storage::KeyDef& STDO_KEYPRIORITY;
extern const storage::KeyDef& STDO_KEYTODO;
extern const storage::KeyDef& STDO_KEYCATEGORY;

}  // namespace vx
