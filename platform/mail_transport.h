// Handing a finished mail to an SMTP server, and a finished article to a news server.
//
// The caller builds the message text (headers and body, CRLF line ends); the transport does the
// conversation: greeting, EHLO, STARTTLS when the server offers it, AUTH when a user name is
// given, the envelope, the data and the end of data. It answers what went wrong in its own
// terms; the caller turns that into its result codes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vx::platform {

enum class TransferFailure {
  None,
  BadArguments,   // no server, no sender or no recipient
  StartFailed,    // the transfer library could not start
  ResolveFailed,  // the server's name is unknown
  ConnectFailed,  // nobody answers on that host and port (or not within the connect timeout)
  SendFailed,
  ReceiveFailed,  // the connection dropped or the server fell silent past the total timeout
  ServerRefused,  // the server answered with an error reply (reply_code, reply_text)
  OutOfMemory,
  Cancelled,  // the cancel flag was set while sending
  Unknown,
};

struct TransferOutcome {
  TransferFailure failure = TransferFailure::None;
  int reply_code = 0;      // the server's last reply code, 0 when it gave none
  std::string reply_text;  // the server's last reply line(s), as sent, without CR LF
  bool sent() const { return failure == TransferFailure::None; }
};

// Progress and cancelling of a transfer that runs on the caller's thread: the transport writes
// the counters and reads the cancel flag while it waits, so another thread may set it.
struct TransferProgress {
  std::atomic<std::uint32_t> bytes_processed{0};
  std::atomic<std::uint32_t> bytes_total{0};
  std::atomic<std::uint8_t> cancel{0};
};

struct TransferSettings {
  std::string host;  // "name", "name:port", or a full URL ("smtp://", "smtps://", "nntp://")
  std::string user;  // AUTH (or AUTHINFO) only when not empty
  std::string password;
  std::chrono::milliseconds connect_timeout{std::chrono::seconds(30)};
  std::chrono::milliseconds total_timeout{std::chrono::minutes(5)};
  // When not empty, the conversation is appended to this file (created with mode 0600),
  // without the lines that carry the log-in.
  std::filesystem::path debug_file;
  TransferProgress* progress = nullptr;
};

struct MailEnvelope {
  std::string sender;                   // the bare address of MAIL FROM (may be empty: <>)
  std::vector<std::string> recipients;  // bare addresses of RCPT TO, each gets the mail
};

class MailTransport {
 public:
  virtual ~MailTransport() = default;
  // Sends `message` (RFC 5322 text, CRLF line ends, not dot-stuffed: the transport does that).
  virtual TransferOutcome SendMail(const TransferSettings& settings, const MailEnvelope& envelope,
                                   const std::string& message) = 0;
  // Posts `article` (headers and body, CRLF line ends, not dot-stuffed) with the POST command
  // on a plain TCP connection; port 119 unless the host names one.
  virtual TransferOutcome PostArticle(const TransferSettings& settings,
                                      const std::string& article) = 0;
};

// The real transport: libcurl for mail, a socket of its own for news. Blocks the calling
// thread; callers on runtime threads release the runtime lock around it.
MailTransport& SystemMailTransport();

}  // namespace vx::platform
