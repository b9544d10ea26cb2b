// The fixed wording of script steps: the names of file actions and the words that the step
// editor, the script files and the text form store for conditions and wait modes.
#pragma once

#include <string>
#include <string_view>

#include "datadll/dictionary/scripting_table.h"

namespace vx {

// The stored name of a file action written in any case and in any of its short forms ("copy",
// "MAKE", "ftp", "FILE EXISTS" ...); anything unknown is a copy.
std::string FileVerbName(std::string_view written);

// Rewrites step.DDEType, the file action, to its stored name.
void NormaliseFileVerb(SCRIPTING_RECORD& step);

// Rewrites the step's wording in place: "Send Keystrokes" becomes "Send Keys", the window
// condition "Exists" or "Does not exist", the time condition "Greater than" or "Less than", and
// a wait's AND/BOTH or OR/EITHER mode "Both" or "Either" (other mode words stay).
// Template steps have the same fields and the same wording.
void NormaliseScriptStep(SCRIPTING_RECORD& step);
void NormaliseScriptStep(SCRIPTTEMPLATEDETAILS_RECORD& step);

// True for the wait mode words AND, OR, EITHER and BOTH in any case.
bool IsWaitModeWord(std::string_view word);

// True when text holds word, compared without regard to case.
bool ContainsNoCase(std::string_view text, std::string_view word);

}  // namespace vx
