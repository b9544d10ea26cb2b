#include "program/scripts/script_text_search_replace.h"

#include "framework/request_globals.h"
#include "program/windows/program_errors.h"
#include "runtime/window/window.h"

namespace vx {

void Script_Text_SearchAndReplace() {
  ProgramErrors().ThrowMessage(kMsgNotAvailable, "Script:Text:SearchAndReplace");
  SETKEYCODE(0);
  SetCurrentResponse(RequestCancelled);
}

}  // namespace vx
