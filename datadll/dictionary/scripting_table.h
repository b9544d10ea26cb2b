// SCRIPTING: the numbered script steps of a task (SCR.ID is the task's SCH.ID). SYNCSCRIPTING is
// its synchronisation copy with the same layout; SCRIPTTEMPLATEDETAILS holds the steps of a
// script template in the same layout, numbered within the template (WIZ_ID) instead of a task;
// SCRIPTTEMPLATES holds the templates themselves.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct SCRIPTING_RECORD {
  std::int32_t ID = 0;
  std::int32_t Sequence = 0;
  String<27> Action;
  String<255> Keystrokes;
  std::int32_t SecondsToWait = 0;
  String<255> WaitForWindow;
  String<255> FocusOnWindow;
  String<20> WindowExistance;
  String<255> WindowTitleToCheckFor;
  String<20> IfTimeElapsed;
  std::int32_t TimeElapsed = 0;
  std::int32_t NextTaskID = 0;
  String<30> NetworkUser;
  std::int32_t LastChangeDate = 0;
  std::int32_t LastChangeTime = 0;
  std::int32_t OriginalID = 0;
  std::int32_t EmailID = 0;
  String<255> Command;
  String<255> Path;
  String<20> DDEType;
  String<255> DDEApplicationName;
  String<255> DDEApplicationTopic;
  String<80> DDELinkItem;
  String<255> DDECommand;
};

using SYNCSCRIPTING_RECORD = SCRIPTING_RECORD;

struct SCRIPTTEMPLATEDETAILS_RECORD {
  std::int32_t WIZ_ID = 0;
  std::int32_t Sequence = 0;
  String<27> Action;
  String<255> Keystrokes;
  std::int32_t SecondsToWait = 0;
  String<255> WaitForWindow;
  String<255> FocusOnWindow;
  String<20> WindowExistance;
  String<255> WindowTitleToCheckFor;
  String<20> IfTimeElapsed;
  std::int32_t TimeElapsed = 0;
  std::int32_t NextTaskID = 0;
  String<30> NetworkUser;
  std::int32_t LastChangeDate = 0;
  std::int32_t LastChangeTime = 0;
  std::int32_t OriginalID = 0;
  std::int32_t EmailID = 0;
  String<255> Command;
  String<255> Path;
  String<20> DDEType;
  String<255> DDEApplicationName;
  String<255> DDEApplicationTopic;
  String<80> DDELinkItem;
  String<255> DDECommand;
};

// A stored script template: its title and the script text file it came from or goes to.
struct SCRIPTTEMPLATES_RECORD {
  std::int32_t WIZ_ID = 0;
  String<60> Description;
  String<255> DOSFilename;
};

// The calling thread's record buffers.
extern thread_local SCRIPTING_RECORD SCR;
extern thread_local SYNCSCRIPTING_RECORD SSCR;
extern thread_local SCRIPTTEMPLATEDETAILS_RECORD VXD;
extern thread_local SCRIPTTEMPLATES_RECORD VXT;

const storage::TableDef& SCRIPTING_TABLE();
const storage::TableDef& SYNCSCRIPTING_TABLE();
const storage::TableDef& SCRIPTTEMPLATEDETAILS_TABLE();
const storage::TableDef& SCRIPTTEMPLATES_TABLE();

}  // namespace vx
