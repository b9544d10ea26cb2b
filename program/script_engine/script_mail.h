// The mail routine the "Send Email" step calls, behind a seam: the program installs the mail
// code's SendEmailMessage at start-up; until then a step fails as when no mail host is set up.
#pragma once

#include <cstdint>

#include "runtime/message_box.h"

namespace vx {

// Sends the stored message email_id (in_buffer 0: fetch it; reload 1: fetch it and stamp its
// sent date) and answers 0 when sent, else a non-zero result code.
using ScriptMailSender = std::int32_t (*)(std::int32_t email_id, std::uint8_t in_buffer, std::uint8_t reload);

// Installs the sender; nullptr puts the not-set-up answer back.
void SetScriptMailSender(ScriptMailSender sender);

// Sends message email_id as a script step does (fetched, its sent date stamped) and answers the
// result code. Without an installed sender it shows "Email not setup. ..." (title "Error!")
// and answers 1.
long SendScriptEmail(std::int32_t email_id, MessageReporter& messages);

}  // namespace vx
