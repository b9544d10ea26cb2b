// The file manager (ACCESS_<table>) and relation manager (RELATE_<table>) of every table.
//
// Both exist from the data library's load to its unload; the pointers are null before and
// after. The managers are made and initialised in a fixed order, table by table (first group,
// then second): every RELATE_ pointer is set before any manager is initialised, each ACCESS_
// pointer once its file manager is ready, and the relations are added when all are ready.
#pragma once

#include <string>
#include <vector>

#include "framework/file_error_sink.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"

namespace vx {

extern FileManager* ACCESS_SCHEDULE;
extern FileManager* ACCESS_SYNCSCHEDULE;
extern FileManager* ACCESS_CLIPBOARDCATEGORIES;
extern FileManager* ACCESS_SCHEDULEWORKFILE;
extern FileManager* ACCESS_CATEGORIES;
extern FileManager* ACCESS_TODO;
extern FileManager* ACCESS_SCRIPTING;
extern FileManager* ACCESS_SCRIPTTEMPLATEDETAILS;
extern FileManager* ACCESS_SCRIPTTEMPLATES;
extern FileManager* ACCESS_SYNCSCRIPTING;
extern FileManager* ACCESS_SYNCTODO;
extern FileManager* ACCESS_EXPORT;
extern FileManager* ACCESS_CONTACT;
extern FileManager* ACCESS_CONTACTCATEGORIES;
extern FileManager* ACCESS_USERS;
extern FileManager* ACCESS_CLIPBOARD;
extern FileManager* ACCESS_VXUSD;
extern FileManager* ACCESS_HOLIDAYS;
extern FileManager* ACCESS_VX_LOG;
extern FileManager* ACCESS_FAVORITES;
extern FileManager* ACCESS_MESSAGES;
extern FileManager* ACCESS_VXSCD;
extern FileManager* ACCESS_CONFIGURATION;
extern FileManager* ACCESS_ACTIONS;
extern FileManager* ACCESS_COMMANDS;
extern FileManager* ACCESS_SYSHOTKEYS;
extern FileManager* ACCESS_MSGLINK;

extern RelationManager* RELATE_SCHEDULE;
extern RelationManager* RELATE_SYNCSCHEDULE;
extern RelationManager* RELATE_CLIPBOARDCATEGORIES;
extern RelationManager* RELATE_SCHEDULEWORKFILE;
extern RelationManager* RELATE_CATEGORIES;
extern RelationManager* RELATE_TODO;
extern RelationManager* RELATE_SCRIPTING;
extern RelationManager* RELATE_SCRIPTTEMPLATEDETAILS;
extern RelationManager* RELATE_SCRIPTTEMPLATES;
extern RelationManager* RELATE_SYNCSCRIPTING;
extern RelationManager* RELATE_SYNCTODO;
extern RelationManager* RELATE_EXPORT;
extern RelationManager* RELATE_CONTACT;
extern RelationManager* RELATE_CONTACTCATEGORIES;
extern RelationManager* RELATE_USERS;
extern RelationManager* RELATE_CLIPBOARD;
extern RelationManager* RELATE_VXUSD;
extern RelationManager* RELATE_HOLIDAYS;
extern RelationManager* RELATE_VX_LOG;
extern RelationManager* RELATE_FAVORITES;
extern RelationManager* RELATE_MESSAGES;
extern RelationManager* RELATE_VXSCD;
extern RelationManager* RELATE_CONFIGURATION;
extern RelationManager* RELATE_ACTIONS;
extern RelationManager* RELATE_COMMANDS;
extern RelationManager* RELATE_SYSHOTKEYS;
extern RelationManager* RELATE_MSGLINK;

// Makes and initialises every manager, reporting file problems to `errors`.
void InitTableManagers(FileErrorSink* errors);
// Kills every manager in the same order and frees them.
void KillTableManagers();

// What the last InitTableManagers/KillTableManagers did, one line per step in the order done:
// "file SCHEDULE", "relate SCHEDULE" (initialised) or "kill file SCHEDULE", ...
const std::vector<std::string>& TableManagerSteps();

}  // namespace vx
