#include "program/organiser/send_mail_class.h"

#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "program/common/program_services.h"
#include "program/organiser/mail_message.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"

namespace vx {
namespace {

constexpr std::size_t kHeaderText = 200;
constexpr std::size_t kDebugFileText = 255;
constexpr std::size_t kServerErrorText = 499;  // and the terminating zero of the 500-byte field
constexpr std::size_t kErrorText = 255;

std::string Stored(std::string_view text, std::size_t size) {
  return std::string(CutUtf8(ClipView(text), size));
}

// The addresses of address rows. A row's name is used only for a field that holds one
// address without a name of its own (callers pass the whole field as the name of a Cc).
bool CollectAddresses(const std::vector<SENDMAILCLASS::AddressRow>& rows,
                      std::vector<MailAddress>& out) {
  for (const auto& row : rows) {
    // A line break in an address field is never part of an address: the field is refused
    // whole rather than read as some other recipient.
    if (HeaderSafe(row.EMAIL) != row.EMAIL) return false;
    std::vector<MailAddress> found = SplitAddressList(row.EMAIL);
    if (found.size() == 1 && found[0].name.empty() && ClipView(row.NAME) != ClipView(row.EMAIL)) {
      found[0].name = row.NAME;
    }
    for (const MailAddress& a : found) {
      if (!IsSendableAddress(a.email)) return false;
      out.push_back(a);
    }
  }
  return true;
}

std::string AddressHeader(const std::vector<MailAddress>& addresses) {
  std::string out;
  for (const MailAddress& a : addresses) {
    if (!out.empty()) out += ",\r\n ";
    out += FormatAddress(a);
  }
  return out;
}

bool ReadFile(const std::filesystem::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

void SENDMAILCLASS::INIT() {
  KILL();
  PRIORITY = 3;
  SERVERMODE = 1;
  MESSAGETEXTAVAIL = 0;
  MESSAGETYPE = 6;
  SENDMAILCALLBACK = nullptr;
  OEMTOANSI = 0;
  BYTESPROCESSED = 0;
  BYTESTOTAL = 0;
  USERCANCEL = 0;
}

void SENDMAILCLASS::KILL() {
  for (std::string* text :
       {&MAILHOST, &MAILER, &FROM, &RETURNPATH, &ORGANIZATION, &SUBJECT, &TONAME, &USERNAME,
        &USERPASSWORD, &MESSAGETEXT, &DEBUGFILE, &SERVERERRORMESSAGE}) {
    text->clear();
  }
  TOADR.clear();
  CCADR.clear();
  BCCADR.clear();
  ATTACHMENTS.clear();
}

void SENDMAILCLASS::SETMAILHOST(std::string_view text) { MAILHOST = Stored(text, kHeaderText); }
void SENDMAILCLASS::SETMAILER(std::string_view text) { MAILER = Stored(text, kHeaderText); }
void SENDMAILCLASS::SETFROM(std::string_view text) { FROM = Stored(text, kHeaderText); }
void SENDMAILCLASS::SETRETURNPATH(std::string_view text) { RETURNPATH = Stored(text, kHeaderText); }
void SENDMAILCLASS::SETORGANIZATION(std::string_view text) {
  ORGANIZATION = Stored(text, kHeaderText);
}
void SENDMAILCLASS::SETSUBJECT(std::string_view text) { SUBJECT = Stored(text, kHeaderText); }
void SENDMAILCLASS::SETDEBUGFILE(std::string_view text) {
  DEBUGFILE = Stored(text, kDebugFileText);
}
void SENDMAILCLASS::SETSERVERMODE(std::uint8_t mode) { SERVERMODE = mode; }
void SENDMAILCLASS::SETCALLBACK(std::function<void(std::uint32_t, std::uint32_t)> callback) {
  SENDMAILCALLBACK = std::move(callback);
}

// Address fields are kept whole: a field of several addresses cut short would send to an
// address nobody wrote.
void SENDMAILCLASS::ADDTO(std::string_view address, std::string_view name) {
  if (ClipView(address).empty()) return;
  TOADR.push_back({Stored(name, kHeaderText), std::string(ClipView(address))});
}

void SENDMAILCLASS::ADDCC(std::string_view address, std::string_view name) {
  if (ClipView(address).empty()) return;
  CCADR.push_back({Stored(name, kHeaderText), std::string(ClipView(address))});
}

void SENDMAILCLASS::ADDBCC(std::string_view address) {
  if (ClipView(address).empty()) return;
  BCCADR.push_back({std::string(), std::string(ClipView(address))});
}

void SENDMAILCLASS::ADDATTACHMENT(std::string_view file_name, std::uint8_t file_type) {
  if (ClipView(file_name).empty()) return;
  ATTACHMENTS.push_back({Stored(file_name, kDebugFileText), file_type});
}

void SENDMAILCLASS::SETMESSAGETEXT(std::string_view body, std::uint8_t message_type) {
  MESSAGETEXT = std::string(ClipView(body));
  MESSAGETEXTAVAIL = 1;
  MESSAGETYPE = message_type;
}

std::int32_t SENDMAILCLASS::SEND() {
  if (TOADR.empty()) return MAIL_NORECIPIENTS;
  SERVERERRORMESSAGE.clear();
  const auto finish = [this](std::int32_t result) {
    const std::uint32_t done = BYTESPROCESSED;
    const std::uint32_t total = BYTESTOTAL;
    BYTESPROCESSED = 0;
    BYTESTOTAL = 0;
    USERCANCEL = 0;
    if (SENDMAILCALLBACK) SENDMAILCALLBACK(done, total);
    return result;
  };

  std::vector<MailAddress> to, cc, bcc;
  if (!CollectAddresses(TOADR, to) || !CollectAddresses(CCADR, cc) ||
      !CollectAddresses(BCCADR, bcc)) {
    return finish(MAIL_BADARGUMENTS);
  }
  if (to.empty()) return finish(MAIL_NORECIPIENTS);
  const SenderParts sender = MailSender(FROM, RETURNPATH);
  if (MAILHOST.empty() || (!sender.envelope.empty() && !IsSendableAddress(sender.envelope))) {
    return finish(MAIL_BADARGUMENTS);
  }

  platform::MailEnvelope envelope;
  envelope.sender = sender.envelope;
  std::set<std::string> seen;
  for (const auto* list : {&to, &cc, &bcc}) {
    for (const MailAddress& a : *list) {
      if (seen.insert(UPPER(a.email)).second) envelope.recipients.push_back(a.email);
    }
  }

  MailContent content;
  auto& h = content.headers;
  h.emplace_back("Date", MailDate(std::time(nullptr)));
  if (!sender.header.empty()) h.emplace_back("From", sender.header);
  const MailAddress reply = ParseAddress(RETURNPATH);
  if (!reply.email.empty() && reply.email != ParseAddress(sender.header).email) {
    h.emplace_back("Reply-To", FormatAddress(reply));
  }
  if (!ORGANIZATION.empty()) h.emplace_back("Organization", EncodeHeaderText(ORGANIZATION));
  h.emplace_back("To", AddressHeader(to));
  if (!cc.empty()) h.emplace_back("Cc", AddressHeader(cc));
  h.emplace_back("Subject", EncodeHeaderText(SUBJECT));
  h.emplace_back("Message-ID", NewMessageId(sender.envelope));
  if (!MAILER.empty()) h.emplace_back("X-Mailer", EncodeHeaderText(MAILER));
  if (PRIORITY >= 1 && PRIORITY <= 5 && PRIORITY != 3)
    h.emplace_back("X-Priority", std::to_string(PRIORITY));
  content.body = MESSAGETEXTAVAIL != 0 ? MESSAGETEXT : std::string();
  for (const AttachmentRow& row : ATTACHMENTS) {
    MailAttachment file;
    const std::filesystem::path path(row.FILENAME);
    file.file_name = path.filename().string();
    if (!ReadFile(path, file.content)) return finish(MAIL_NOMAILFILE);
    content.attachments.push_back(std::move(file));
  }
  const std::string message = BuildMessage(content, "=_vx_" + UniqueToken());

  platform::TransferSettings settings;
  settings.host = MAILHOST;
  settings.user = USERNAME;
  settings.password = USERPASSWORD;
  settings.connect_timeout = CONNECTTIMEOUT;
  settings.total_timeout = TOTALTIMEOUT;
  settings.debug_file = DEBUGFILE;
  settings.progress = &progress_;
  platform::MailTransport& transport = MailTransportInUse();
  platform::TransferOutcome outcome;
  {
    // The one-second tick and every other window go on while the server takes its time.
    const RuntimeUnlocked unlocked;
    outcome = transport.SendMail(settings, envelope, message);
  }
  const std::int32_t result = MailResultOf(outcome);
  if (result == MAIL_SERVERERROR) SERVERERRORMESSAGE = Stored(outcome.reply_text, kServerErrorText);
  return finish(result);
}

std::string SENDMAILCLASS::ERRORTEXT(std::int32_t code) const {
  return MailErrorText(code, SERVERERRORMESSAGE);
}

std::string MailErrorText(std::int32_t code, std::string_view server_message) {
  std::string text;
  switch (code) {
    case MAIL_BADARGUMENTS:
      text = "Bad arguments from form";
      break;
    case MAIL_NOMAILFILE:
      text = "Unable to open temporary mailfile for read";
      break;
    case MAIL_NOSOCKETS:
      text = "Failed to start sockets";
      break;
    case MAIL_NORESOLVE:
      text = "Failed to resolve host";
      break;
    case MAIL_NOSOCKET:
      text = "Failed to obtain socket handle";
      break;
    case MAIL_NOCONNECT:
      text = "Failed to connect. Mail Server not found!";
      break;
    case MAIL_SENDFAILED:
      text = "Failed to send";
      break;
    case MAIL_RECEIVEFAILED:
      text = "Failed to receive";
      break;
    case MAIL_SERVERERROR:
      // "\r" breaks the line in a message box as the program's other texts do.
      text = "Mail Server Error:\r" + std::string(ClipView(server_message));
      break;
    case MAIL_NOHOSTIP:
      text = "Failed to resolve the host IP name";
      break;
    case MAIL_OUTOFMEMORY:
      text = "Out of memory";
      break;
    case MAIL_NOTEMPFILE:
      text = "Failed to open temporary file";
      break;
    case MAIL_USERCANCEL:
      text = "User Cancel";
      break;
    case MAIL_NORECIPIENTS:
      text = "No recipiens specified";
      break;
    default:
      text = "Unknown error";
      break;
  }
  return std::string(CutUtf8(text, kErrorText));
}

platform::MailTransport& MailTransportInUse() {
  // Tests install another transport (mail_transport of common/program_services.h).
  platform::MailTransport* transport = CurrentProgramServices().mail_transport;
  return transport != nullptr ? *transport : platform::SystemMailTransport();
}

std::int32_t MailResultOf(const platform::TransferOutcome& outcome) {
  using platform::TransferFailure;
  switch (outcome.failure) {
    case TransferFailure::None:
      return MAIL_SENT;
    case TransferFailure::BadArguments:
      return MAIL_BADARGUMENTS;
    case TransferFailure::StartFailed:
      return MAIL_NOSOCKETS;
    case TransferFailure::ResolveFailed:
      return MAIL_NORESOLVE;
    case TransferFailure::ConnectFailed:
      return MAIL_NOCONNECT;
    case TransferFailure::SendFailed:
      return MAIL_SENDFAILED;
    case TransferFailure::ReceiveFailed:
      return MAIL_RECEIVEFAILED;
    case TransferFailure::ServerRefused:
      return MAIL_SERVERERROR;
    case TransferFailure::OutOfMemory:
      return MAIL_OUTOFMEMORY;
    case TransferFailure::Cancelled:
      return MAIL_USERCANCEL;
    case TransferFailure::Unknown:
      return MAIL_UNKNOWN;
  }
  return MAIL_UNKNOWN;
}

SenderParts MailSender(std::string_view from, std::string_view return_path) {
  const MailAddress shown = ParseAddress(HeaderSafe(from));
  const MailAddress reply = ParseAddress(HeaderSafe(return_path));
  SenderParts out;
  const bool from_has_address = shown.email.find('@') != std::string::npos;
  out.envelope = !reply.email.empty() ? reply.email
                 : from_has_address   ? shown.email
                                      : std::string();
  if (from_has_address) {
    out.header = FormatAddress(shown);
  } else if (!out.envelope.empty()) {
    // A bare name: the name with the sender's address, so the receiver sees a valid From.
    out.header = FormatAddress({shown.email.empty() ? shown.name : shown.email, out.envelope});
  }
  return out;
}

}  // namespace vx
