#include "program/admin/test_mail_settings.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "program/organiser/mail_message.h"
#include "program/organiser/send_mail_class.h"
#include "runtime/fixed_string.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"

namespace vx {

void TestMailSettings() {
  if (EMAIL_SENDER.blank() || EMAIL_HOST.blank()) {
    MESSAGE("You must enter your reply to address and mail host.", "Error",
            MessageIcon::Exclamation);
    return;
  }
  // The wait pointer from making the mail object until it is released, its verdict included.
  const CursorScope busy(CurrentWindow(), CursorWait);
  const std::string sender(EMAIL_SENDER.clipped());
  const std::string name(EMAIL_SENDERNAME.clipped());
  const std::string product(PRODUCTNAME.clipped());

  SENDMAILCLASS mail;
  mail.INIT();
  mail.SETSERVERMODE(1);
  mail.SETDEBUGFILE("inmail.log");
  mail.SETMAILHOST(EMAIL_HOST.clipped());
  mail.SETFROM(name.empty() ? sender : FormatAddress({name, sender}));
  mail.SETRETURNPATH(sender);
  if (!EMAIL_ORGANIZATION.blank()) mail.SETORGANIZATION(EMAIL_ORGANIZATION.clipped());
  mail.SETMAILER(product);
  mail.SETSUBJECT("Test E-mail");
  mail.ADDTO(sender, name.empty() ? sender : name);
  mail.SETMESSAGETEXT("This is a test e-mail from " + (name.empty() ? sender : name) +
                          ".\r\n\r\nSent by " + product + " to test its e-mail settings.\r\n",
                      6);
  const std::int32_t result = mail.SEND();
  if (result == MAIL_SENT) {
    MESSAGE("Test message sent without errors.", "Success");
  } else {
    MESSAGE("Test message not sent.\r\n\r\nError:  " + mail.ERRORTEXT(result), "Warning",
            MessageIcon::Exclamation);
  }
  mail.KILL();
}

}  // namespace vx
