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

// The one copy between a task's step and a template's (either way). CopyStepContent copies what
// the step does: every field but the owner (ID or WIZ_ID), the number (Sequence) and who changed
// it when (NetworkUser, LastChangeDate, LastChangeTime, OriginalID), and the task it goes on to
// (NextTaskID). CopyStepFields copies every field but the owner.
template <class From, class To>
void CopyStepContent(const From& from, To& to) {
  to.Action = from.Action;
  to.Keystrokes = from.Keystrokes;
  to.SecondsToWait = from.SecondsToWait;
  to.WaitForWindow = from.WaitForWindow;
  to.FocusOnWindow = from.FocusOnWindow;
  to.WindowExistance = from.WindowExistance;
  to.WindowTitleToCheckFor = from.WindowTitleToCheckFor;
  to.IfTimeElapsed = from.IfTimeElapsed;
  to.TimeElapsed = from.TimeElapsed;
  to.EmailID = from.EmailID;
  to.Command = from.Command;
  to.Path = from.Path;
  to.DDEType = from.DDEType;
  to.DDEApplicationName = from.DDEApplicationName;
  to.DDEApplicationTopic = from.DDEApplicationTopic;
  to.DDELinkItem = from.DDELinkItem;
  to.DDECommand = from.DDECommand;
}

template <class From, class To>
void CopyStepFields(const From& from, To& to) {
  CopyStepContent(from, to);
  to.Sequence = from.Sequence;
  to.NextTaskID = from.NextTaskID;
  to.NetworkUser = from.NetworkUser;
  to.LastChangeDate = from.LastChangeDate;
  to.LastChangeTime = from.LastChangeTime;
  to.OriginalID = from.OriginalID;
}

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
