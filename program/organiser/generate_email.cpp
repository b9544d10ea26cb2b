#include "program/organiser/generate_email.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/window_manager.h"
#include "program/organiser/send_email_message.h"
#include "program/organiser/send_mail_class.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/ini_file.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::string_view kRecipientFile = "VXMSG.INI";

}  // namespace

void GenerateEmail() {
  ACCESS_MSGLINK->Open();
  String<255> address = GETINI("Recipient", "Email", "", kRecipientFile);
  String<60> name = GETINI("RecipientName", "Email", "", kRecipientFile);

  Window window("Email Message");
  window.Prompt("Recipient's E-mail address:");
  const int address_field = window.Entry(address, "@s255");
  window.Prompt("Recipient's Name:");
  window.Entry(name, "@s60");
  window.Prompt("Subject:");
  window.Entry(ML.Title, "@s60");
  window.Prompt("Message");
  window.Text(ML.Message);
  Control& ok = window.Button("&OK").Default();
  Control& cancel = window.Button("Cancel");

  WindowManager manager(window);
  const WindowProcedureScope scope("GenerateEmail", manager);
  scope.KeepPlaceWhenMoved();
  manager.CancelControl = cancel;
  manager.OnAccepted(ok, [&] {
    window.Update();
    // What the mail cannot leave without is asked for before anything is sent, and the form
    // stays as typed: the settings can be made in Options meanwhile and OK pressed again.
    if (const std::string not_set_up = MailNotSetUpText("The message", "OK"); !not_set_up.empty()) {
      MESSAGE(not_set_up, "Email Not Set Up", MessageIcon::Exclamation);
      return;
    }
    if (address.blank()) {
      MESSAGE("Enter the recipient's e-mail address.", "Email Message", MessageIcon::Exclamation);
      window.Select(address_field);
      return;
    }
    SENDMAILCLASS mail;
    FillMailSender(mail, "Varnodex", false);
    mail.SETSUBJECT(ML.Title.blank() ? std::string_view("Forwarded Message") : ML.Title.clipped());
    if (name.blank()) name = address.clipped();
    mail.ADDTO(address.clipped(), name.clipped());
    mail.SETMESSAGETEXT(ML.Message.clipped(), 6);
    std::int32_t result = 0;
    {
      const CursorScope sending(window, CursorCross);
      result = mail.SEND();
    }
    if (result == 0) {
      MESSAGE("Message sent.", "Status");
    } else {
      MESSAGE("Message was not sent.\n\nError:\n" + mail.ERRORTEXT(result) +
                  "\n\nSender:" + std::string(EMAIL_SENDER.clipped()) +
                  "\nHost:" + std::string(EMAIL_HOST.clipped()),
              "Status");
    }
    mail.KILL();
    PUTINI("Recipient", "Email", address.clipped(), kRecipientFile);
    PUTINI("RecipientName", "Email", name.clipped(), kRecipientFile);
    manager.PostClose();
  });
  manager.OnAccepted(cancel, [&] { manager.PostClose(); });
  manager.Run();
  ACCESS_MSGLINK->Close();
}

}  // namespace vx
