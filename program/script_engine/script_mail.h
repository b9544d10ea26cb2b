// The mail routine the "Send Email" step calls, behind a seam: the program installs the mail
// code's SendEmailMessage at start-up (script_mail of common/program_services.h); until then a
// step fails as when no mail host is set up.
#pragma once

#include <cstdint>

#include "runtime/message_box.h"

namespace vx {

// Sends message email_id as a script step does (fetched, its sent date stamped) and answers the
// result code. Without an installed sender it shows "Email not setup. ..." (title "Error!")
// and answers 1.
long SendScriptEmail(std::int32_t email_id, MessageReporter& messages);

}  // namespace vx
