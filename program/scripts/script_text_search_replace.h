// Search and replace in the script text editor, which this version does not offer.
#pragma once

namespace vx {

// Says that the command is not available (the error object's "not available" message), clears
// the pending key code and answers RequestCancelled (GLOBALRESPONSE).
void Script_Text_SearchAndReplace();

}  // namespace vx
