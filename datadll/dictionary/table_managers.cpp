#include "datadll/dictionary/table_managers.h"

#include <memory>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/event_log_table.h"
#include "datadll/dictionary/export_table.h"
#include "datadll/dictionary/field_checks.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/memo_bindings.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/prime_fields.h"
#include "datadll/dictionary/reference_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "runtime/expression/bindings.h"

namespace vx {

FileManager* ACCESS_SCHEDULE = nullptr;
FileManager* ACCESS_SYNCSCHEDULE = nullptr;
FileManager* ACCESS_CLIPBOARDCATEGORIES = nullptr;
FileManager* ACCESS_SCHEDULEWORKFILE = nullptr;
FileManager* ACCESS_CATEGORIES = nullptr;
FileManager* ACCESS_TODO = nullptr;
FileManager* ACCESS_SCRIPTING = nullptr;
FileManager* ACCESS_SCRIPTTEMPLATEDETAILS = nullptr;
FileManager* ACCESS_SCRIPTTEMPLATES = nullptr;
FileManager* ACCESS_SYNCSCRIPTING = nullptr;
FileManager* ACCESS_SYNCTODO = nullptr;
FileManager* ACCESS_EXPORT = nullptr;
FileManager* ACCESS_CONTACT = nullptr;
FileManager* ACCESS_CONTACTCATEGORIES = nullptr;
FileManager* ACCESS_USERS = nullptr;
FileManager* ACCESS_CLIPBOARD = nullptr;
FileManager* ACCESS_VXUSD = nullptr;
FileManager* ACCESS_HOLIDAYS = nullptr;
FileManager* ACCESS_VX_LOG = nullptr;
FileManager* ACCESS_FAVORITES = nullptr;
FileManager* ACCESS_MESSAGES = nullptr;
FileManager* ACCESS_VXSCD = nullptr;
FileManager* ACCESS_CONFIGURATION = nullptr;
FileManager* ACCESS_ACTIONS = nullptr;
FileManager* ACCESS_COMMANDS = nullptr;
FileManager* ACCESS_SYSHOTKEYS = nullptr;
FileManager* ACCESS_MSGLINK = nullptr;

RelationManager* RELATE_SCHEDULE = nullptr;
RelationManager* RELATE_SYNCSCHEDULE = nullptr;
RelationManager* RELATE_CLIPBOARDCATEGORIES = nullptr;
RelationManager* RELATE_SCHEDULEWORKFILE = nullptr;
RelationManager* RELATE_CATEGORIES = nullptr;
RelationManager* RELATE_TODO = nullptr;
RelationManager* RELATE_SCRIPTING = nullptr;
RelationManager* RELATE_SCRIPTTEMPLATEDETAILS = nullptr;
RelationManager* RELATE_SCRIPTTEMPLATES = nullptr;
RelationManager* RELATE_SYNCSCRIPTING = nullptr;
RelationManager* RELATE_SYNCTODO = nullptr;
RelationManager* RELATE_EXPORT = nullptr;
RelationManager* RELATE_CONTACT = nullptr;
RelationManager* RELATE_CONTACTCATEGORIES = nullptr;
RelationManager* RELATE_USERS = nullptr;
RelationManager* RELATE_CLIPBOARD = nullptr;
RelationManager* RELATE_VXUSD = nullptr;
RelationManager* RELATE_HOLIDAYS = nullptr;
RelationManager* RELATE_VX_LOG = nullptr;
RelationManager* RELATE_FAVORITES = nullptr;
RelationManager* RELATE_MESSAGES = nullptr;
RelationManager* RELATE_VXSCD = nullptr;
RelationManager* RELATE_CONFIGURATION = nullptr;
RelationManager* RELATE_ACTIONS = nullptr;
RelationManager* RELATE_COMMANDS = nullptr;
RelationManager* RELATE_SYSHOTKEYS = nullptr;
RelationManager* RELATE_MSGLINK = nullptr;

namespace {

constexpr int kLockRecoverSeconds = 5;

// A table's file manager with the table's own defaults for new records and field checks.
class TableFileManager : public FileManager {
 public:
  void (*prime)() = nullptr;
  bool (*check)(int field) = nullptr;

  void PrimeFields() override {
    if (prime) prime();
    FileManager::PrimeFields();
  }
  int ValidateField(int field) override {
    if (const int code = FileManager::ValidateField(field); code != 0) return code;
    return check && !check(field) ? field : 0;
  }
  // The record fields, then the table's memos under the names the dictionary gives them.
  void BindFields(ExpressionBindings& bindings) override {
    FileManager::BindFields(bindings);
    for (const MemoBinding& memo : MemoBindings()) {
      if (memo.table != &def()) continue;
      bindings.Bind(memo.name, [&memo] { return ExprValue::Text(MemoText(memo)); });
    }
  }
};

// The field checks report through the error object in use when they run, so after the program
// has handed over its error object their messages are the program's.
bool CheckTODO(int field) {
  return field != 2 || !ErrorsInUse() ||
         CheckToDoPriority(TDO.Priority, "Priority", *ErrorsInUse());
}
bool CheckSYNCTODO(int field) {
  return field != 2 || !ErrorsInUse() ||
         CheckToDoPriority(STDO.Priority, "STdo:Priority", *ErrorsInUse());
}

// One-to-many relation from parent to child on one pair of linking fields.
void OneToMany(RelationManager* parent, RelationManager* child, RelationMode on_update,
               RelationMode on_delete, const storage::KeyDef& child_key, const char* parent_field,
               const char* child_field) {
  parent->AddRelation(*child, on_update, on_delete, child_key);
  parent->AddRelationLink(parent_field, child_field);
}

using enum RelationMode;

void RelateSCHEDULE() {
  OneToMany(RELATE_SCHEDULE, RELATE_VXSCD, Cascade, Cascade, SCD_KEYID, "ID", "ID");
  OneToMany(RELATE_SCHEDULE, RELATE_VXUSD, Cascade, Cascade, US_KEYID, "ID", "ID");
  OneToMany(RELATE_SCHEDULE, RELATE_SCRIPTING, None, Cascade, SCR_KEYID, "ID", "ID");
  RELATE_SCHEDULE->AddRelation(*RELATE_SYSHOTKEYS);
  RELATE_SCHEDULE->AddRelation(*RELATE_CATEGORIES);
}

void RelateSCRIPTING() {
  RELATE_SCRIPTING->AddRelation(*RELATE_MESSAGES);
  RELATE_SCRIPTING->AddRelation(*RELATE_SCHEDULE);
}

void RelateSCRIPTTEMPLATEDETAILS() {
  OneToMany(RELATE_SCRIPTTEMPLATEDETAILS, RELATE_MESSAGES, None, None, M__KEYEMAILID, "EmailID",
            "EmailID");
  RELATE_SCRIPTTEMPLATEDETAILS->AddRelation(*RELATE_SCRIPTTEMPLATES);
}

void RelateSCRIPTTEMPLATES() {
  OneToMany(RELATE_SCRIPTTEMPLATES, RELATE_SCRIPTTEMPLATEDETAILS, None, Cascade, VXD_K_WIZ_ID,
            "WIZ_ID", "WIZ_ID");
}

void RelateCATEGORIES() {
  OneToMany(RELATE_CATEGORIES, RELATE_TODO, None, None, TDO_KEYCATEGORY, "Category", "Category");
  OneToMany(RELATE_CATEGORIES, RELATE_SCHEDULE, Restrict, Restrict, SCH_KEYCATEGORY, "Category",
            "Category");
}

void RelateTODO() { RELATE_TODO->AddRelation(*RELATE_CATEGORIES); }

void RelateCLIPBOARDCATEGORIES() {
  OneToMany(RELATE_CLIPBOARDCATEGORIES, RELATE_CLIPBOARD, Cascade, Restrict, CLI_KEYCATEGORY,
            "Category", "Category");
}

void RelateCLIPBOARD() { RELATE_CLIPBOARD->AddRelation(*RELATE_CLIPBOARDCATEGORIES); }

void RelateUSERS() {
  OneToMany(RELATE_USERS, RELATE_VXUSD, Cascade, Cascade, US_KEYUSER, "USER", "USER");
  OneToMany(RELATE_USERS, RELATE_CONTACT, None, None, C__KEYUSERCLIENTID, "USER", "User");
}

void RelateVXUSD() {
  RELATE_VXUSD->AddRelation(*RELATE_USERS);
  RELATE_VXUSD->AddRelation(*RELATE_SCHEDULE);
}

void RelateCONTACTCATEGORIES() {
  OneToMany(RELATE_CONTACTCATEGORIES, RELATE_CONTACT, Restrict, Restrict, C__KEYCATEGORY,
            "ContactCategory", "ContactCategory");
}

void RelateCONTACT() {
  OneToMany(RELATE_CONTACT, RELATE_VXSCD, Cascade, Cascade, SCD_KEYCONTACT, "ClientID", "CLIENTID");
  RELATE_CONTACT->AddRelation(*RELATE_USERS);
  RELATE_CONTACT->AddRelation(*RELATE_CONTACTCATEGORIES);
}

void RelateVXSCD() {
  RELATE_VXSCD->AddRelation(*RELATE_CONTACT);
  RELATE_VXSCD->AddRelation(*RELATE_SCHEDULE);
}

void RelateMESSAGES() {
  OneToMany(RELATE_MESSAGES, RELATE_SCRIPTING, Restrict, Restrict, SCR_KEYEMAIL, "EmailID",
            "EmailID");
  RELATE_MESSAGES->AddRelation(*RELATE_SCRIPTTEMPLATEDETAILS);
}

// Deleting a hot key leaves its task: a text hot key has no task, and the hot-key list removes
// a task itself when its own rules allow. Deletes therefore do not cascade into SCHEDULE.
void RelateSYSHOTKEYS() {
  OneToMany(RELATE_SYSHOTKEYS, RELATE_SCHEDULE, None, None, SCH_KEYID, "ID", "ID");
}

struct TableSetup {
  const char* label;
  const storage::TableDef& (*def)();
  FileManager** access;
  RelationManager** relate;
  void (*prime)();
  bool (*check)(int field);
  void (*relations)();
};

const TableSetup kSetups[] = {
    {"SCHEDULE", SCHEDULE_TABLE, &ACCESS_SCHEDULE, &RELATE_SCHEDULE, PrimeSCHEDULE, nullptr,
     RelateSCHEDULE},
    {"SYNCSCHEDULE", SYNCSCHEDULE_TABLE, &ACCESS_SYNCSCHEDULE, &RELATE_SYNCSCHEDULE, nullptr,
     nullptr, nullptr},
    {"CLIPBOARDCATEGORIES", CLIPBOARDCATEGORIES_TABLE, &ACCESS_CLIPBOARDCATEGORIES,
     &RELATE_CLIPBOARDCATEGORIES, nullptr, nullptr, RelateCLIPBOARDCATEGORIES},
    {"SCHEDULEWORKFILE", SCHEDULEWORKFILE_TABLE, &ACCESS_SCHEDULEWORKFILE, &RELATE_SCHEDULEWORKFILE,
     nullptr, nullptr, nullptr},
    {"CATEGORIES", CATEGORIES_TABLE, &ACCESS_CATEGORIES, &RELATE_CATEGORIES, nullptr, nullptr,
     RelateCATEGORIES},
    {"TODO", TODO_TABLE, &ACCESS_TODO, &RELATE_TODO, nullptr, CheckTODO, RelateTODO},
    {"SCRIPTING", SCRIPTING_TABLE, &ACCESS_SCRIPTING, &RELATE_SCRIPTING, PrimeSCRIPTING, nullptr,
     RelateSCRIPTING},
    {"SCRIPTTEMPLATEDETAILS", SCRIPTTEMPLATEDETAILS_TABLE, &ACCESS_SCRIPTTEMPLATEDETAILS,
     &RELATE_SCRIPTTEMPLATEDETAILS, PrimeSCRIPTTEMPLATEDETAILS, nullptr,
     RelateSCRIPTTEMPLATEDETAILS},
    {"SCRIPTTEMPLATES", SCRIPTTEMPLATES_TABLE, &ACCESS_SCRIPTTEMPLATES, &RELATE_SCRIPTTEMPLATES,
     nullptr, nullptr, RelateSCRIPTTEMPLATES},
    {"SYNCSCRIPTING", SYNCSCRIPTING_TABLE, &ACCESS_SYNCSCRIPTING, &RELATE_SYNCSCRIPTING,
     PrimeSYNCSCRIPTING, nullptr, nullptr},
    {"SYNCTODO", SYNCTODO_TABLE, &ACCESS_SYNCTODO, &RELATE_SYNCTODO, nullptr, CheckSYNCTODO,
     nullptr},
    {"EXPORT", EXPORT_TABLE, &ACCESS_EXPORT, &RELATE_EXPORT, nullptr, nullptr, nullptr},
    {"CONTACT", CONTACT_TABLE, &ACCESS_CONTACT, &RELATE_CONTACT, nullptr, nullptr, RelateCONTACT},
    {"CONTACTCATEGORIES", CONTACTCATEGORIES_TABLE, &ACCESS_CONTACTCATEGORIES,
     &RELATE_CONTACTCATEGORIES, nullptr, nullptr, RelateCONTACTCATEGORIES},
    {"USERS", USERS_TABLE, &ACCESS_USERS, &RELATE_USERS, nullptr, nullptr, RelateUSERS},
    {"CLIPBOARD", CLIPBOARD_TABLE, &ACCESS_CLIPBOARD, &RELATE_CLIPBOARD, nullptr, nullptr,
     RelateCLIPBOARD},
    {"VXUSD", VXUSD_TABLE, &ACCESS_VXUSD, &RELATE_VXUSD, PrimeVXUSD, nullptr, RelateVXUSD},
    {"HOLIDAYS", HOLIDAYS_TABLE, &ACCESS_HOLIDAYS, &RELATE_HOLIDAYS, PrimeHOLIDAYS, nullptr,
     nullptr},
    {"VX_LOG", VX_LOG_TABLE, &ACCESS_VX_LOG, &RELATE_VX_LOG, nullptr, nullptr, nullptr},
    {"FAVORITES", FAVORITES_TABLE, &ACCESS_FAVORITES, &RELATE_FAVORITES, nullptr, nullptr, nullptr},
    {"MESSAGES", MESSAGES_TABLE, &ACCESS_MESSAGES, &RELATE_MESSAGES, PrimeMESSAGES, nullptr,
     RelateMESSAGES},
    {"VXSCD", VXSCD_TABLE, &ACCESS_VXSCD, &RELATE_VXSCD, nullptr, nullptr, RelateVXSCD},
    {"CONFIGURATION", CONFIGURATION_TABLE, &ACCESS_CONFIGURATION, &RELATE_CONFIGURATION, nullptr,
     nullptr, nullptr},
    {"ACTIONS", ACTIONS_TABLE, &ACCESS_ACTIONS, &RELATE_ACTIONS, nullptr, nullptr, nullptr},
    {"COMMANDS", COMMANDS_TABLE, &ACCESS_COMMANDS, &RELATE_COMMANDS, nullptr, nullptr, nullptr},
    {"SYSHOTKEYS", SYSHOTKEYS_TABLE, &ACCESS_SYSHOTKEYS, &RELATE_SYSHOTKEYS, PrimeSYSHOTKEYS,
     nullptr, RelateSYSHOTKEYS},
    {"MSGLINK", MSGLINK_TABLE, &ACCESS_MSGLINK, &RELATE_MSGLINK, PrimeMSGLINK, nullptr, nullptr},
};

struct Managers {
  TableFileManager file;
  RelationManager relate;
};

std::vector<std::unique_ptr<Managers>> gManagers;  // in the order of kSetups
std::vector<std::string> gSteps;

}  // namespace

void InitTableManagers(FileErrorSink* errors) {
  if (!gManagers.empty()) return;
  gSteps.clear();
  for (const TableSetup& setup : kSetups) {
    gManagers.push_back(std::make_unique<Managers>());
    *setup.relate = &gManagers.back()->relate;
  }
  for (std::size_t i = 0; i < std::size(kSetups); ++i) {
    const TableSetup& setup = kSetups[i];
    Managers& m = *gManagers[i];
    m.file.prime = setup.prime;
    m.file.check = setup.check;
    m.file.Init(setup.def(), errors);
    m.file.Create = true;
    m.file.OpenMode = storage::kReadWriteDenyNone;
    m.file.LockRecover = kLockRecoverSeconds;
    *setup.access = &m.file;
    gSteps.push_back(std::string("file ") + setup.label);
    m.relate.Init(m.file, true);
    gSteps.push_back(std::string("relate ") + setup.label);
  }
  // A link names fields of both sides, which the relation manager reads from the other side's
  // file manager; so the relations are added once every manager is initialised.
  for (const TableSetup& setup : kSetups) {
    if (setup.relations) setup.relations();
  }
}

void KillTableManagers() {
  if (gManagers.empty()) return;
  gSteps.clear();
  for (std::size_t i = 0; i < std::size(kSetups); ++i) {
    const TableSetup& setup = kSetups[i];
    Managers& m = *gManagers[i];
    m.file.Kill();
    *setup.access = nullptr;
    gSteps.push_back(std::string("kill file ") + setup.label);
    m.relate.Kill();
    *setup.relate = nullptr;
    gSteps.push_back(std::string("kill relate ") + setup.label);
  }
  gManagers.clear();
}

const std::vector<std::string>& TableManagerSteps() { return gSteps; }

}  // namespace vx
