#include "platform/news_post.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "platform/transfer_log.h"

namespace vx::platform {
namespace {

using Clock = std::chrono::steady_clock;

struct HostPort {
  std::string host;
  std::string port = "119";
};

HostPort SplitHost(std::string text) {
  if (const std::size_t scheme = text.find("://"); scheme != std::string::npos)
    text.erase(0, scheme + 3);
  if (const std::size_t slash = text.find('/'); slash != std::string::npos) text.erase(slash);
  HostPort out;
  const std::size_t colon = text.rfind(':');
  if (colon != std::string::npos && text.find(':') == colon) {
    out.port = text.substr(colon + 1);
    text.erase(colon);
  }
  out.host = text;
  return out;
}

class Connection {
 public:
  Connection(const TransferSettings& settings, TransferLog& log)
      : settings_(settings), log_(log), deadline_(Clock::now() + settings.total_timeout) {}
  ~Connection() {
    if (fd_ >= 0) ::close(fd_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  TransferFailure Open() {
    const HostPort where = SplitHost(settings_.host);
    if (where.host.empty()) return TransferFailure::BadArguments;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(where.host.c_str(), where.port.c_str(), &hints, &found) != 0 ||
        found == nullptr) {
      return TransferFailure::ResolveFailed;
    }
    const auto connect_deadline = std::min(deadline_, Clock::now() + settings_.connect_timeout);
    TransferFailure failure = TransferFailure::ConnectFailed;
    for (addrinfo* a = found; a != nullptr && fd_ < 0; a = a->ai_next) {
      const int fd =
          ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
      if (fd < 0) continue;
      if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ||
          (errno == EINPROGRESS && Wait(fd, POLLOUT, connect_deadline))) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
          fd_ = fd;
          failure = TransferFailure::None;
          break;
        }
      }
      ::close(fd);
    }
    ::freeaddrinfo(found);
    return failure;
  }

  // Sends one command line (CR LF added) or the article block.
  bool Send(std::string_view text) {
    while (!text.empty()) {
      if (Cancelled()) return false;
      if (!Wait(fd_, POLLOUT, deadline_)) return false;
      const ssize_t n = ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL);
      if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (n > 0) text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  bool Command(const std::string& line) {
    log_.Sent(line);
    return Send(line + "\r\n");
  }

  // Reads one reply line; false when the connection ends, the time is up or sending is cancelled.
  bool Reply(int& code, std::string& text) {
    while (true) {
      if (const std::size_t end = buffer_.find("\r\n"); end != std::string::npos) {
        text = buffer_.substr(0, end);
        buffer_.erase(0, end + 2);
        log_.Received(text);
        code = text.size() >= 3 ? std::atoi(text.substr(0, 3).c_str()) : 0;
        return true;
      }
      if (Cancelled() || !Wait(fd_, POLLIN, deadline_)) return false;
      char chunk[1024];
      const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
      if (n == 0) return false;
      if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (n > 0) buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }

  bool Cancelled() const {
    return settings_.progress != nullptr && settings_.progress->cancel.load() != 0;
  }

 private:
  // Waits for the socket in slices, so that a cancel is seen within a fifth of a second.
  bool Wait(int fd, short events, Clock::time_point until) const {
    while (true) {
      if (Cancelled()) return false;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      if (left <= 0) return false;
      pollfd p{fd, events, 0};
      const int r = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 200)));
      if (r > 0) return true;
      if (r < 0 && errno != EINTR) return false;
    }
  }

  const TransferSettings& settings_;
  TransferLog& log_;
  Clock::time_point deadline_;
  int fd_ = -1;
  std::string buffer_;
};

}  // namespace

std::string DotStuffed(const std::string& article) {
  std::string out;
  out.reserve(article.size() + 16);
  bool line_start = true;
  for (const char c : article) {
    if (line_start && c == '.') out += '.';
    out += c;
    line_start = c == '\n';
  }
  if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
  out += ".\r\n";
  return out;
}

TransferOutcome PostNewsArticle(const TransferSettings& settings, const std::string& article) {
  TransferLog log(settings.debug_file);
  Connection server(settings, log);
  TransferOutcome outcome;
  outcome.failure = server.Open();
  if (!outcome.sent()) return outcome;

  // A failed step: a cancel, a silence or drop, or a reply other than the one expected.
  const auto failed = [&](bool answered, TransferFailure silent) {
    outcome.failure = server.Cancelled() ? TransferFailure::Cancelled
                      : answered         ? TransferFailure::ServerRefused
                                         : silent;
    return outcome;
  };
  const auto expect = [&](std::initializer_list<int> codes) {
    if (!server.Reply(outcome.reply_code, outcome.reply_text)) return false;
    for (const int c : codes) {
      if (outcome.reply_code == c) return true;
    }
    return false;
  };
  const auto answered = [&] { return outcome.reply_code != 0; };

  if (!expect({200})) return failed(answered(), TransferFailure::ReceiveFailed);
  if (!settings.user.empty()) {
    outcome.reply_code = 0;
    if (!server.Command("AUTHINFO USER " + settings.user))
      return failed(false, TransferFailure::SendFailed);
    if (!expect({281, 381})) return failed(answered(), TransferFailure::ReceiveFailed);
    if (outcome.reply_code == 381) {
      outcome.reply_code = 0;
      if (!server.Command("AUTHINFO PASS " + settings.password))
        return failed(false, TransferFailure::SendFailed);
      if (!expect({281})) return failed(answered(), TransferFailure::ReceiveFailed);
    }
  }
  outcome.reply_code = 0;
  if (!server.Command("POST")) return failed(false, TransferFailure::SendFailed);
  if (!expect({340})) return failed(answered(), TransferFailure::ReceiveFailed);
  const std::string block = DotStuffed(article);
  if (settings.progress != nullptr)
    settings.progress->bytes_total = static_cast<std::uint32_t>(block.size());
  outcome.reply_code = 0;
  if (!server.Send(block)) return failed(false, TransferFailure::SendFailed);
  if (settings.progress != nullptr)
    settings.progress->bytes_processed = static_cast<std::uint32_t>(block.size());
  if (!expect({240})) return failed(answered(), TransferFailure::ReceiveFailed);
  // The article is posted; the good-bye is a courtesy whose answer does not matter.
  int code = 0;
  std::string text;
  if (server.Command("QUIT")) server.Reply(code, text);
  outcome.failure = TransferFailure::None;
  return outcome;
}

}  // namespace vx::platform
