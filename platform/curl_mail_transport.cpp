// Mail through libcurl's SMTP. libcurl escapes a line that begins with "." in the data itself,
// so the message is handed over as the caller built it.
#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/curl_library.h"
#include "platform/mail_transport.h"
#include "platform/news_post.h"
#include "platform/transfer_log.h"

namespace vx::platform {
namespace {

std::string LocalHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

// "name" or "name:port" becomes an SMTP URL whose path is the name this host greets with.
std::string MailUrl(const std::string& host) {
  std::string url = host.find("://") == std::string::npos ? "smtp://" + host : host;
  const std::size_t scheme_end = url.find("://") + 3;
  if (url.find('/', scheme_end) == std::string::npos) url += "/" + LocalHostName();
  return url;
}

// Collects the server's replies (for the caller and the log) while libcurl talks.
struct Conversation {
  TransferLog* log = nullptr;
  TransferProgress* progress = nullptr;
  int reply_code = 0;
  std::string reply_text;
  bool reply_open = false;  // the last line was a "250-" continuation of a longer reply
  // The last error reply: libcurl says good-bye after a refusal, so the last reply is 221.
  int error_code = 0;
  std::string error_text;

  void Received(std::string_view text) {
    log->Received(text);
    while (!text.empty()) {
      std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0]))) {
        if (!reply_open) reply_text.clear();
        if (!reply_text.empty()) reply_text += ' ';
        reply_text.append(line);
        reply_code = std::atoi(std::string(line.substr(0, 3)).c_str());
        reply_open = line.size() > 3 && line[3] == '-';
        if (reply_code >= 400) {
          error_code = reply_code;
          error_text = reply_text;
        }
      }
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }
};

int OnDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  auto& talk = *static_cast<Conversation*>(user);
  const std::string_view text(data, size);
  switch (type) {
    case CURLINFO_HEADER_IN:
      talk.Received(text);
      break;
    case CURLINFO_HEADER_OUT:
      talk.log->Sent(text);
      break;
    case CURLINFO_TEXT:
      talk.log->Note(text);
      break;
    default:
      break;  // the message itself is not logged
  }
  return 0;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t total, curl_off_t now) {
  auto& talk = *static_cast<Conversation*>(user);
  if (talk.progress == nullptr) return 0;
  talk.progress->bytes_total = static_cast<std::uint32_t>(total);
  talk.progress->bytes_processed = static_cast<std::uint32_t>(now);
  return talk.progress->cancel.load() != 0 ? 1 : 0;
}

struct Reader {
  const std::string* message;
  std::size_t offset = 0;
};

std::size_t OnRead(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto& reader = *static_cast<Reader*>(user);
  const std::size_t n = std::min(size * count, reader.message->size() - reader.offset);
  std::memcpy(buffer, reader.message->data() + reader.offset, n);
  reader.offset += n;
  return n;
}

TransferFailure FailureOf(CURLcode code, bool connected) {
  switch (code) {
    case CURLE_OK:
      return TransferFailure::None;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return TransferFailure::BadArguments;
    case CURLE_FAILED_INIT:
      return TransferFailure::StartFailed;
    case CURLE_COULDNT_RESOLVE_HOST:
      return TransferFailure::ResolveFailed;
    case CURLE_COULDNT_CONNECT:
      return TransferFailure::ConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
      return connected ? TransferFailure::ReceiveFailed : TransferFailure::ConnectFailed;
    case CURLE_SEND_ERROR:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return TransferFailure::SendFailed;
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
      return TransferFailure::ReceiveFailed;
    case CURLE_OUT_OF_MEMORY:
      return TransferFailure::OutOfMemory;
    case CURLE_ABORTED_BY_CALLBACK:
      return TransferFailure::Cancelled;
    default:
      return TransferFailure::Unknown;
  }
}

class CurlMailTransport final : public MailTransport {
 public:
  TransferOutcome SendMail(const TransferSettings& settings, const MailEnvelope& envelope,
                           const std::string& message) override {
    TransferOutcome outcome;
    if (settings.host.empty() || envelope.recipients.empty()) {
      outcome.failure = TransferFailure::BadArguments;
      return outcome;
    }
    const CurlLibrary* api = LoadCurlLibrary();
    if (!api) {
      outcome.failure = TransferFailure::StartFailed;
      return outcome;
    }
    std::unique_ptr<CURL, void (*)(CURL*)> curl(api->easy_init(), api->easy_cleanup);
    if (!curl) {
      outcome.failure = TransferFailure::StartFailed;
      return outcome;
    }
    curl_slist* recipients = nullptr;
    for (const std::string& to : envelope.recipients)
      recipients = api->slist_append(recipients, to.c_str());
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> recipient_list(recipients,
                                                                      api->slist_free_all);

    TransferLog log(settings.debug_file);
    Conversation talk{&log, settings.progress};
    Reader reader{&message};
    const std::string url = MailUrl(settings.host);
    CURL* h = curl.get();
    api->easy_setopt(h, CURLOPT_URL, url.c_str());
    api->easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    api->easy_setopt(h, CURLOPT_USE_SSL,
                     static_cast<long>(CURLUSESSL_TRY));  // STARTTLS when offered
    api->easy_setopt(h, CURLOPT_MAIL_FROM, envelope.sender.c_str());
    api->easy_setopt(h, CURLOPT_MAIL_RCPT, recipients);
    if (!settings.user.empty()) {
      api->easy_setopt(h, CURLOPT_USERNAME, settings.user.c_str());
      api->easy_setopt(h, CURLOPT_PASSWORD, settings.password.c_str());
    }
    api->easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(settings.connect_timeout.count()));
    api->easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.total_timeout.count()));
    api->easy_setopt(h, CURLOPT_UPLOAD, 1L);
    api->easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    api->easy_setopt(h, CURLOPT_READFUNCTION, OnRead);
    api->easy_setopt(h, CURLOPT_READDATA, &reader);
    api->easy_setopt(h, CURLOPT_VERBOSE, 1L);  // the replies reach OnDebug, logged or not
    api->easy_setopt(h, CURLOPT_DEBUGFUNCTION, OnDebug);
    api->easy_setopt(h, CURLOPT_DEBUGDATA, &talk);
    api->easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    api->easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    api->easy_setopt(h, CURLOPT_XFERINFODATA, &talk);

    const CURLcode code = api->easy_perform(h);
    curl_off_t connect_time = 0;
    api->easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connect_time);
    const bool connected = talk.reply_code != 0 || connect_time > 0;
    outcome.reply_code = talk.reply_code;
    outcome.reply_text = talk.reply_text;
    if (code == CURLE_OK) return outcome;
    log.Note(api->easy_strerror(code));
    // An error reply from the server says more than libcurl's own code for it.
    if (code != CURLE_ABORTED_BY_CALLBACK && talk.error_code != 0) {
      outcome.failure = TransferFailure::ServerRefused;
      outcome.reply_code = talk.error_code;
      outcome.reply_text = talk.error_text;
    } else {
      outcome.failure = FailureOf(code, connected);
    }
    return outcome;
  }

  TransferOutcome PostArticle(const TransferSettings& settings,
                              const std::string& article) override {
    return PostNewsArticle(settings, article);
  }
};

}  // namespace

MailTransport& SystemMailTransport() {
  static CurlMailTransport transport;
  return transport;
}

}  // namespace vx::platform
