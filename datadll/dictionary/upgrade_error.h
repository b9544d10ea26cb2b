// The one reaction to a table whose stored structure differs from this program's (error 47):
// the user is told to upgrade, the error and the data folder go on the clipboard for a support
// mail, and the program stops. The file is left exactly as it is.
#pragma once

#include <string_view>

namespace vx {

class ErrorClass;

// error_text: the runtime's text of the error, as the clipboard report shows it.
void StopForUpgrade(ErrorClass& errors, std::string_view error_text);

}  // namespace vx
