#include "program/organiser/send_email_message.h"

#include <ctime>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/common/write_log.h"
#include "program/organiser/mail_message.h"
#include "program/organiser/send_mail_class.h"
#include "program/script_engine/script_variables.h"
#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::size_t kBodyText = 10000;
constexpr const char* kDebugFile = "inmail.log";
constexpr std::uint8_t kTextMessage = 6;
constexpr std::uint8_t kAttachedFile = 8;

std::string Clipped(std::string_view text) { return std::string(ClipView(text)); }

// What every sender does with its result: the log lines and the script variables.
void RecordResult(std::int32_t result, const std::string& error_text) {
  if (result != 0) {
    WriteLog("Error:  " + error_text, "Mail Error");
    WriteLog("Could not send " + Clipped(M_.EmailTo.view()), "Mail Error");
    SetScriptVariable("Error", "Mail");
    SetScriptVariable(error_text, "MailError");
  } else {
    WriteLog("Sent " + Clipped(M_.EmailTo.view()), M_.MailType.clipped());
    SetScriptVariable("Sent", "Mail");
    SetScriptVariable("None", "MailError");
  }
}

// Shows the progress text while `send` runs.
template <typename Send>
std::int32_t WithProgress(Send send) {
  MAILPROGRESSTEXT = "Sending Email...";
  const std::int32_t result = send();
  MAILPROGRESSTEXT = "";
  return result;
}

// The subject, body, Cc, Bcc and attachment of the message in the buffer, To left to the caller.
void FillMessage(SENDMAILCLASS& mail, bool with_copies) {
  if (!M_.Subject.blank()) mail.SETSUBJECT(ExpandVariables(M_.Subject.clipped()));
  if (with_copies) {
    if (!M_.CC.blank()) mail.ADDCC(M_.CC.clipped(), M_.CC.clipped());
    if (!M_.BCC.blank()) mail.ADDBCC(M_.BCC.clipped());
  }
  mail.SETMESSAGETEXT(CutUtf8(ExpandMessageBody(M_.Message.view()), kBodyText), kTextMessage);
  if (!M_.Attachment.blank()) mail.ADDATTACHMENT(M_.Attachment.clipped(), kAttachedFile);
}

std::int32_t SendOne(SENDMAILCLASS& mail) {
  const std::int32_t result = WithProgress([&] { return mail.SEND(); });
  RecordResult(result, mail.ERRORTEXT(result));
  mail.KILL();
  return result;
}

// "comp.lang.c, alt.test;misc" becomes "comp.lang.c,alt.test,misc".
std::string Newsgroups(std::string_view field) {
  std::string out;
  std::string group;
  const auto flush = [&] {
    if (!group.empty()) out += (out.empty() ? "" : ",") + group;
    group.clear();
  };
  for (const char c : field) {
    if (c == ',' || c == ';' || static_cast<unsigned char>(c) <= ' ') {
      flush();
    } else {
      group += c;
    }
  }
  flush();
  return out;
}

std::string FirstNonBlank(std::string_view a, std::string_view b) {
  return Clipped(ClipView(a).empty() ? b : a);
}

}  // namespace

std::string ExpandMessageBody(std::string_view text) { return ExpandVariables("", text); }

void FillMailSender(SENDMAILCLASS& mail, std::string_view mailer, bool set_variables) {
  mail.INIT();
  mail.SETSERVERMODE(1);
  mail.SETDEBUGFILE(kDebugFile);
  mail.SETMAILHOST(EMAIL_HOST.clipped());
  if (set_variables) SetScriptVariable(EMAIL_HOST.clipped(), "EmailHost");
  if (!EMAIL_SENDERNAME.blank()) {
    // The name in double quotes, then the address in angle brackets. Without an address the
    // name alone: "Name <>" would be no address at all.
    const std::string name = Clipped(EMAIL_SENDERNAME.view());
    mail.SETFROM(EMAIL_SENDER.blank() ? name
                                      : "\"" + name + "\" <" + Clipped(EMAIL_SENDER.view()) + ">");
    if (set_variables) SetScriptVariable(EMAIL_SENDERNAME.clipped(), "EmailSenderName");
  } else {
    if (!EMAIL_SENDER.blank()) mail.SETFROM(EMAIL_SENDER.clipped());
    if (set_variables) SetScriptVariable("", "EmailSenderName");
  }
  if (!EMAIL_SENDER.blank()) mail.SETRETURNPATH(EMAIL_SENDER.clipped());
  if (set_variables) SetScriptVariable(EMAIL_SENDER.clipped(), "EmailReturnPath");
  if (!EMAIL_ORGANIZATION.blank()) mail.SETORGANIZATION(EMAIL_ORGANIZATION.clipped());
  mail.SETMAILER(mailer);
}

std::string MissingMailSettings() {
  std::string missing;
  if (EMAIL_HOST.blank()) missing = "the SMTP mail host";
  if (EMAIL_SENDER.blank())
    missing += (missing.empty() ? "" : " and ") + std::string("the e-mail reply-to address");
  return missing;
}

std::string MailNotSetUpText(std::string_view what, std::string_view button) {
  const std::string missing = MissingMailSettings();
  if (missing.empty()) return {};
  const bool both = missing.find(" and ") != std::string::npos;
  return std::string(what) + " cannot be sent: " + missing + (both ? " are" : " is") +
         " not set up.\n\nEnter " + (both ? "them" : "it") +
         " in File > Options, on the Email tab, then press " + std::string(button) + " here again.";
}

std::int32_t SendEmailMessage(std::int32_t emailId, std::uint8_t inBuffer, std::uint8_t reload) {
  const bool fetch = reload != 0 || inBuffer == 0;
  if (fetch) {
    ACCESS_MESSAGES->Open();
    M_.EmailID = emailId;
    if (ACCESS_MESSAGES->TryFetch(M__KEYEMAILID) != 0) {
      ACCESS_MESSAGES->Close();
      WriteLog("Error sending message", "Script");
      return 1;
    }
  }
  const auto done = [&](std::int32_t result) {
    if (fetch) ACCESS_MESSAGES->Close();
    return result;
  };
  const bool news = M_.MailType == "News";
  if (!news && (EMAIL_HOST.blank() || EMAIL_SENDER.blank())) {
    MESSAGE(
        "Email not setup.  Select File > Options, Email tab, and fill in the required information.",
        "Error!");
    return done(1);
  }
  if (news && (NEWS_HOST.blank() || NEWS_SENDER.blank())) {
    MESSAGE(
        "Email (News) not setup. Select File > Options, Email tab, and fill in the required "
        "information.",
        "Error!");
    return done(1);
  }
  const std::int32_t result = news                            ? SendNewsMessage()
                              : M_.MailType == "Mass Mailing" ? SendMassMailing()
                                                              : SendPlainEmail();
  if (result == 0 && fetch) {
    // Read again before the date is written: the record may have been edited on another
    // thread while this one waited for the server.
    if (ACCESS_MESSAGES->TryFetch(M__KEYEMAILID) == 0) {
      M_.LastDateSent = static_cast<std::int32_t>(TODAY());
      ACCESS_MESSAGES->Update();
    }
  }
  return done(result);
}

std::int32_t SendPlainEmail() {
  SENDMAILCLASS mail;
  FillMailSender(mail, PRODUCTNAME.clipped(), true);
  FillMessage(mail, true);
  if (!M_.EmailTo.blank() && UPPER(M_.EmailTo.clipped()) != "N/A") {
    mail.ADDTO(M_.EmailTo.clipped(), M_.EmailToName.clipped());
  }
  return SendOne(mail);
}

std::int32_t SendMassMailing() {
  const std::string group = Clipped(M_.EmailToGroup.view());
  // The contacts are read first: the walk shares the thread's CONTACT buffer and position
  // with any contact list open on this thread, and sending takes a while.
  std::vector<MailAddress> people;
  ACCESS_CONTACT->Open();
  C_ = CONTACT_RECORD{};
  C_.ContactCategory = group;
  ACCESS_CONTACT->SetFromBuffer(C__KEYCATEGORY);
  while (ACCESS_CONTACT->TryNext() == 0 && C_.ContactCategory == group) {
    if (C_.Email.blank()) continue;
    std::string name = Clipped(C_.FirstName.view());
    if (!C_.LastName.blank()) name += (name.empty() ? "" : " ") + Clipped(C_.LastName.view());
    people.push_back({name, Clipped(C_.Email.view())});
  }
  ACCESS_CONTACT->Close();
  if (people.empty()) {
    RecordResult(MAIL_NORECIPIENTS, MailErrorText(MAIL_NORECIPIENTS, ""));
    return MAIL_NORECIPIENTS;
  }
  std::int32_t first_failure = 0;
  for (const MailAddress& person : people) {
    SENDMAILCLASS mail;
    FillMailSender(mail, PRODUCTNAME.clipped(), true);
    // Copies would reach their readers once per contact: a mass mailing goes to the contacts only.
    FillMessage(mail, false);
    mail.ADDTO(person.email, person.name);
    const std::int32_t result = WithProgress([&] { return mail.SEND(); });
    const std::string error = mail.ERRORTEXT(result);
    if (result != 0) {
      WriteLog("Error:  " + error, "Mail Error");
      WriteLog("Could not send " + person.email, "Mail Error");
      if (first_failure == 0) first_failure = result;
    } else {
      WriteLog("Sent " + person.email, M_.MailType.clipped());
    }
    mail.KILL();
  }
  SetScriptVariable(first_failure == 0 ? "Sent" : "Error", "Mail");
  SetScriptVariable(first_failure == 0 ? std::string("None") : MailErrorText(first_failure, ""),
                    "MailError");
  return first_failure;
}

std::int32_t SendNewsMessage() {
  const std::string groups = Newsgroups(M_.EmailTo.view());
  if (groups.empty()) {
    RecordResult(MAIL_NORECIPIENTS, MailErrorText(MAIL_NORECIPIENTS, ""));
    return MAIL_NORECIPIENTS;
  }
  const std::string sender = Clipped(NEWS_SENDER.view());
  MailContent article;
  auto& h = article.headers;
  h.emplace_back("Date", MailDate(std::time(nullptr)));
  h.emplace_back("From", FormatAddress({Clipped(NEWS_SENDERNAME.view()), sender}));
  h.emplace_back("Newsgroups", groups);
  h.emplace_back("Subject", EncodeHeaderText(ExpandVariables(M_.Subject.clipped())));
  h.emplace_back("Message-ID", NewMessageId(sender));
  if (!NEWS_ORGANIZATION.blank())
    h.emplace_back("Organization", EncodeHeaderText(NEWS_ORGANIZATION.clipped()));
  if (!PRODUCTNAME.blank()) h.emplace_back("User-Agent", EncodeHeaderText(PRODUCTNAME.clipped()));
  article.body = std::string(CutUtf8(ExpandMessageBody(M_.Message.view()), kBodyText));

  platform::TransferSettings settings;
  settings.host = FirstNonBlank(M_.NEWS_SERVER.view(), NEWS_HOST.view());
  settings.user = FirstNonBlank(M_.NEWS_USER.view(), NEWS_USER.view());
  settings.password = FirstNonBlank(M_.NEWS_PASSWORD.view(), NEWS_PASSWORD.view());
  settings.debug_file = kDebugFile;
  const std::string text = BuildMessage(article, "=_vx_" + UniqueToken());
  platform::TransferOutcome outcome;
  const std::int32_t result = WithProgress([&] {
    const RuntimeUnlocked unlocked;
    outcome = MailTransportInUse().PostArticle(settings, text);
    return MailResultOf(outcome);
  });
  RecordResult(result, MailErrorText(result, outcome.reply_text));
  return result;
}

}  // namespace vx
