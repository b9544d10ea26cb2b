#include "program/script_engine/script_mail.h"

#include "program/script_engine/script_messages.h"

namespace vx {
namespace {

ScriptMailSender gSender = nullptr;

}  // namespace

void SetScriptMailSender(ScriptMailSender sender) { gSender = sender; }

long SendScriptEmail(std::int32_t email_id, MessageReporter& messages) {
  if (gSender != nullptr) return gSender(email_id, 0, 1);
  ShowScriptMessage(messages, "Error!",
                    "Email not setup.  Select File->Setup, Email tab, and fill in the required information.");
  return 1;
}

}  // namespace vx
