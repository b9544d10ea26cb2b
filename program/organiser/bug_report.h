// The "Bug Reporting" window: mails the user's comments with a dump of the program's settings
// and script variables and a listing of the data folder, and on request a copy of the database
// (every stored password emptied) and the event log, to the support address.
#pragma once

#include <string>
#include <vector>

namespace vx {

// Where bug reports go unless the setting "SupportAddress" names another address.
inline constexpr const char* kDefaultSupportAddress = "support@kestrova.com";

// The support address: the setting "SupportAddress", else the default.
std::string SupportAddress();

// The dump lines the window shows and sends: "Name=value" for each setting (never a password)
// and one line per script variable with its name only ("Name=(value not sent)"), each cut to
// 80 characters.
std::vector<std::string> BugReportDump();

// Runs the window on the calling thread. "&Send" mails the report and closes the window; when
// the mail cannot be sent the window stays open with the comment and a box says why.
void BugReport();

}  // namespace vx
