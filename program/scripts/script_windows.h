// The script windows: the step list of a task, the step editor and its small dialogs.
//
// Callers set the task in the SCHEDULE buffer (SCH, at least SCH.ID; the list's title also shows
// SCH.Category, SCH.Description and SCH.Command) and the request (GLOBALREQUEST) before they call
// BrowseScripting or UpdateScripting; UpdateScripting also works on the step in the SCRIPTING
// buffer (SCR) and leaves its answer in GLOBALRESPONSE. GLO_COPYMODE and GLO_SAVEID (both 0 for
// a new step) tell the editor that the step in the buffer is a copy of step GLO_SAVEID.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// "Scripting - ...": the steps of the task in SCH, one window per program unless started to
// select; a second start brings the open one forward (EVENT_GainFocus).
void BrowseScripting();

// "Update the Scripting File": inserts, changes, views (request 4) or confirms the deletion of
// the step in SCR, one page of fields per action.
void UpdateScripting();

// "Advanced...": the start options of a "Start Program" step in SCR (the template step in VXD
// while GLO_SCRIPTWIZARDMODE is 1).
void UpdateScripting_StartProgram_Advanced();

// "Advanced Settings": the text a window must contain, offered from the texts of the windows in
// ChildWindowList (which the caller fills for the window it found by title). ...Focus edits
// SCR.WaitForWindow ("Set Focus"), the other SCR.FocusOnWindow ("Wait", "If Window...").
void UpdateScriptingGetChildFocus();
void UpdateScriptingGetChild();

// The choices of a drop list made from window titles: "|" between them, titles that a choice
// list cannot hold ("|" inside, or "#" in front) left out, each title once.
std::string WindowTitleChoices(bool children);

}  // namespace vx
