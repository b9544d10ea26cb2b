// SCRIPTING: the numbered script steps of a task (SCR.ID is the task's SCH.ID). SYNCSCRIPTING is
// its synchronisation copy with the same layout; SCRIPTTEMPLATEDETAILS holds the steps of a
// script template in the same layout, numbered within the template (WIZ_ID) instead of a task;
// SCRIPTTEMPLATES holds the templates themselves.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

// Every field of a script step after its owner, in stored order, as X(type, name, part): part is
// `what` for what the step does and `kept` for its number (Sequence), the task it goes on to
// (NextTaskID) and who changed it when. A task's step and a template's step are declared from
// this one list, as are their stored field lists and the copy between them, so the two layouts
// cannot drift apart.
// clang-format off
#define VX_SCRIPT_STEP_FIELDS(X) \
  X(std::int32_t, Sequence, kept) \
  X(String<27>, Action, what) \
  X(String<255>, Keystrokes, what) \
  X(std::int32_t, SecondsToWait, what) \
  X(String<255>, WaitForWindow, what) \
  X(String<255>, FocusOnWindow, what) \
  X(String<20>, WindowExistance, what) \
  X(String<255>, WindowTitleToCheckFor, what) \
  X(String<20>, IfTimeElapsed, what) \
  X(std::int32_t, TimeElapsed, what) \
  X(std::int32_t, NextTaskID, kept) \
  X(String<30>, NetworkUser, kept) \
  X(std::int32_t, LastChangeDate, kept) \
  X(std::int32_t, LastChangeTime, kept) \
  X(std::int32_t, OriginalID, kept) \
  X(std::int32_t, EmailID, what) \
  X(String<255>, Command, what) \
  X(String<255>, Path, what) \
  X(String<20>, DDEType, what) \
  X(String<255>, DDEApplicationName, what) \
  X(String<255>, DDEApplicationTopic, what) \
  X(String<80>, DDELinkItem, what) \
  X(String<255>, DDECommand, what)
// clang-format on

#define VX_SCRIPT_STEP_MEMBER(type, name, part) type name{};

struct SCRIPTING_RECORD {
  std::int32_t ID = 0;  // the task's SCH.ID
  VX_SCRIPT_STEP_FIELDS(VX_SCRIPT_STEP_MEMBER)
};

using SYNCSCRIPTING_RECORD = SCRIPTING_RECORD;

struct SCRIPTTEMPLATEDETAILS_RECORD {
  std::int32_t WIZ_ID = 0;  // the template's VXT.WIZ_ID
  VX_SCRIPT_STEP_FIELDS(VX_SCRIPT_STEP_MEMBER)
};

#undef VX_SCRIPT_STEP_MEMBER

static_assert(sizeof(SCRIPTING_RECORD) == sizeof(SCRIPTTEMPLATEDETAILS_RECORD));

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
#define VX_COPY_STEP_PART_what(name) to.name = from.name;
#define VX_COPY_STEP_PART_kept(name)
#define VX_COPY_STEP_CONTENT(type, name, part) VX_COPY_STEP_PART_##part(name)
#define VX_COPY_STEP_FIELD(type, name, part) to.name = from.name;

template <class From, class To>
void CopyStepContent(const From& from, To& to) {
  VX_SCRIPT_STEP_FIELDS(VX_COPY_STEP_CONTENT)
}

template <class From, class To>
void CopyStepFields(const From& from, To& to) {
  VX_SCRIPT_STEP_FIELDS(VX_COPY_STEP_FIELD)
}

#undef VX_COPY_STEP_FIELD
#undef VX_COPY_STEP_CONTENT
#undef VX_COPY_STEP_PART_kept
#undef VX_COPY_STEP_PART_what

extern thread_local SCRIPTING_RECORD SCR;
extern thread_local SYNCSCRIPTING_RECORD SSCR;
extern thread_local SCRIPTTEMPLATEDETAILS_RECORD VXD;
extern thread_local SCRIPTTEMPLATES_RECORD VXT;

const storage::TableDef& SCRIPTING_TABLE();
const storage::TableDef& SYNCSCRIPTING_TABLE();
const storage::TableDef& SCRIPTTEMPLATEDETAILS_TABLE();
const storage::TableDef& SCRIPTTEMPLATES_TABLE();

}  // namespace vx
