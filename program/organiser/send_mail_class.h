// SENDMAILCLASS: everything one e-mail needs (server, sender, subject, recipients, body,
// attachments), sent in one call. Every sender makes a fresh object, calls INIT, fills it,
// calls SEND, reads ERRORTEXT on failure and calls KILL; nothing is kept between mails.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mail_transport.h"

namespace vx {

// The result codes of SEND; ERRORTEXT gives their texts.
enum SendMailResult : std::int32_t {
  MAIL_SENT = 0,
  MAIL_BADARGUMENTS = 1,
  MAIL_NOMAILFILE = 2,  // an attachment cannot be read
  MAIL_NOSOCKETS = 3,
  MAIL_NORESOLVE = 4,
  MAIL_NOSOCKET = 5,
  MAIL_NOCONNECT = 6,
  MAIL_SENDFAILED = 7,
  MAIL_RECEIVEFAILED = 8,
  MAIL_SERVERERROR = 9,  // SERVERERRORMESSAGE holds the server's reply
  MAIL_NOHOSTIP = 10,
  MAIL_OUTOFMEMORY = 11,
  MAIL_NOTEMPFILE = 12,
  MAIL_UNKNOWN = 13,
  MAIL_USERCANCEL = 14,
  MAIL_NORECIPIENTS = 15,
};

class SENDMAILCLASS {
 public:
  struct AddressRow {
    std::string NAME;
    std::string EMAIL;  // may hold several addresses separated by "," or ";"
  };
  struct AttachmentRow {
    std::string FILENAME;
    std::uint8_t FILETYPE = 0;
  };

  std::string MAILHOST;  // "name" or "name:port" (25 by default), or an smtp:// URL
  std::string MAILER;
  std::string
      FROM;  // "Name" <address>, a bare address, or a bare name (then RETURNPATH is the address)
  std::string RETURNPATH;
  std::string ORGANIZATION;
  std::string SUBJECT;
  std::vector<AddressRow> TOADR;
  std::vector<AddressRow> CCADR;
  std::vector<AddressRow> BCCADR;
  std::string TONAME;
  std::uint8_t PRIORITY = 3;  // 1 highest .. 5 lowest; 3 is normal and goes unmarked
  std::uint8_t SERVERMODE = 1;
  std::string USERNAME;  // AUTH with these when not empty
  std::string USERPASSWORD;
  std::string MESSAGETEXT;
  std::uint8_t MESSAGETEXTAVAIL = 0;
  std::uint8_t MESSAGETYPE = 6;
  std::vector<AttachmentRow> ATTACHMENTS;
  // Called with the bytes sent and the total after SEND returns; empty: none.
  std::function<void(std::uint32_t, std::uint32_t)> SENDMAILCALLBACK;
  std::uint8_t OEMTOANSI = 0;
  std::string DEBUGFILE;
  std::string SERVERERRORMESSAGE;
  // Written while SEND runs (BYTESPROCESSED, BYTESTOTAL) and read by it (USERCANCEL): another
  // thread may watch the progress and cancel. SEND leaves all three 0.
  std::atomic<std::uint32_t>& BYTESPROCESSED = progress_.bytes_processed;
  std::atomic<std::uint32_t>& BYTESTOTAL = progress_.bytes_total;
  std::atomic<std::uint8_t>& USERCANCEL = progress_.cancel;

  // How long SEND waits for the server to take the connection, and for the whole mail.
  std::chrono::milliseconds CONNECTTIMEOUT{std::chrono::seconds(30)};
  std::chrono::milliseconds TOTALTIMEOUT{std::chrono::minutes(5)};

  SENDMAILCLASS() = default;
  SENDMAILCLASS(const SENDMAILCLASS&) = delete;
  SENDMAILCLASS& operator=(const SENDMAILCLASS&) = delete;

  void INIT();
  void KILL();
  void SETMAILHOST(std::string_view text);
  void SETMAILER(std::string_view text);
  void SETFROM(std::string_view text);
  void SETRETURNPATH(std::string_view text);
  void SETORGANIZATION(std::string_view text);
  void SETSUBJECT(std::string_view text);
  void SETDEBUGFILE(std::string_view text);
  void SETSERVERMODE(std::uint8_t mode);
  void SETCALLBACK(std::function<void(std::uint32_t, std::uint32_t)> callback);
  void ADDTO(std::string_view address, std::string_view name);
  void ADDCC(std::string_view address, std::string_view name);
  void ADDBCC(std::string_view address);
  void ADDATTACHMENT(std::string_view file_name, std::uint8_t file_type);
  void SETMESSAGETEXT(std::string_view body, std::uint8_t message_type);

  // Sends the mail to every To, Cc and Bcc address (Bcc only in the envelope); 0 when the
  // server took it, else a code of SendMailResult. Without a To address: 15 at once. Gives up
  // the runtime lock while it talks to the server.
  std::int32_t SEND();
  // The text of a result code (at most 255 characters); 9 carries SERVERERRORMESSAGE.
  std::string ERRORTEXT(std::int32_t code) const;

 private:
  platform::TransferProgress progress_;
};

// The text of a result code as ERRORTEXT gives it, with the server's reply for code 9.
std::string MailErrorText(std::int32_t code, std::string_view server_message);

// The transport the mail and news senders use: the one a test put in, else the system's.
platform::MailTransport& MailTransportInUse();

// The code of a transport's outcome, as SEND answers it.
std::int32_t MailResultOf(const platform::TransferOutcome& outcome);

// The envelope sender and the From header of a FROM text and a RETURNPATH: the bare address
// of RETURNPATH (else of FROM) goes into the envelope; a FROM that is a bare name is shown
// with that address.
struct SenderParts {
  std::string envelope;
  std::string header;
};
SenderParts MailSender(std::string_view from, std::string_view return_path);

}  // namespace vx
