#include "program/script_engine/script_mail.h"

#include "program/common/program_services.h"
#include "program/script_engine/script_messages.h"

namespace vx {

long SendScriptEmail(std::int32_t email_id, MessageReporter& messages) {
  const ScriptMailSender sender = CurrentProgramServices().script_mail;
  if (sender != nullptr) return sender(email_id, 0, 1);
  ShowScriptMessage(
      messages, "Error!",
      "Email not setup.  Select File > Options, Email tab, and fill in the required information.");
  return 1;
}

}  // namespace vx
