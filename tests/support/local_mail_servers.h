// Servers on 127.0.0.1 for the mail and news tests, each on a free port the system picks and
// gone when the object is destroyed:
//   LocalSmtpServer  a real SMTP server (local_smtp_server.py, Debian's python3-aiosmtpd) that
//                    keeps every mail it receives, raw and decoded by Python's mail parser;
//   SilentServer     takes connections and never says a word;
//   ClosedPort       a port nobody listens on;
//   NewsResponder    a small NNTP server that takes one POST.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace vx::test {

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A listening socket on 127.0.0.1 with a port of the system's choosing.
inline int ListenOnFreePort(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 4) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) ::close(fd);
    port = 0;
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

// The server script beside this header. __FILE__ names it relative to the build folder, so it is
// made absolute while the test program still runs in the folder it was started in.
inline const std::filesystem::path kSmtpServerScript = std::filesystem::absolute(
    std::filesystem::path(__FILE__).parent_path() / "local_smtp_server.py");

struct ReceivedMail {
  std::string sender;
  std::vector<std::string> recipients;
  std::string raw;  // the message as it arrived, dots unstuffed
  std::filesystem::path base;

  // A decoded header ("subject", "from", "to", "cc", "bcc"); nullopt when the mail has none.
  std::optional<std::string> Header(const std::string& name) const {
    const std::filesystem::path file = base.string() + "." + name;
    if (!std::filesystem::exists(file)) return std::nullopt;
    return ReadWholeFile(file);
  }
  std::string Body() const { return ReadWholeFile(base.string() + ".body"); }
  int AttachmentCount() const {
    int n = 0;
    while (std::filesystem::exists(base.string() + ".attachment." + std::to_string(n) + ".name"))
      ++n;
    return n;
  }
  std::string AttachmentName(int k) const {
    return ReadWholeFile(base.string() + ".attachment." + std::to_string(k) + ".name");
  }
  std::string AttachmentData(int k) const {
    return ReadWholeFile(base.string() + ".attachment." + std::to_string(k) + ".data");
  }
};

class LocalSmtpServer {
 public:
  // credentials "user:password": the server then asks every client to log in. starttls: it
  // offers STARTTLS with a self-signed certificate and takes mail only after it.
  explicit LocalSmtpServer(const std::string& credentials = {}, bool starttls = false) {
    const char* root = std::getenv("VX_SOURCE_DIR");
    const std::filesystem::path script =
        root != nullptr ? std::filesystem::path(root) / "tests/support/local_smtp_server.py"
                        : kSmtpServerScript;
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<std::string> args = {"/usr/bin/python3", script.string(), folder_.path().string()};
    if (!credentials.empty()) {
      args.push_back("--auth");
      args.push_back(credentials);
    }
    if (starttls) args.push_back("--starttls");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    stdin_ = in[1];
    // The first line the server prints is its port.
    std::string line;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    port_ = std::atoi(line.c_str());
  }
  ~LocalSmtpServer() {
    if (stdin_ >= 0) ::close(stdin_);  // the server ends when its input closes
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  LocalSmtpServer(const LocalSmtpServer&) = delete;
  LocalSmtpServer& operator=(const LocalSmtpServer&) = delete;

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

  // The mails received so far, waiting up to `timeout` for at least `count` of them.
  std::vector<ReceivedMail> Mails(
      std::size_t count = 1, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (Count() < count && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<ReceivedMail> mails;
    for (std::size_t n = 1; n <= Count(); ++n) {
      ReceivedMail mail;
      mail.base = folder_.path() / std::to_string(n);
      std::istringstream envelope(ReadWholeFile(mail.base.string() + ".env"));
      std::getline(envelope, mail.sender);
      for (std::string to; std::getline(envelope, to);) mail.recipients.push_back(to);
      mail.raw = ReadWholeFile(mail.base.string() + ".eml");
      mails.push_back(std::move(mail));
    }
    return mails;
  }
  std::size_t Count() const {
    std::size_t n = 0;
    while (std::filesystem::exists(folder_.path() / (std::to_string(n + 1) + ".env"))) ++n;
    return n;
  }

 private:
  TempFolder folder_{"vx_smtp"};
  pid_t pid_ = 0;
  int stdin_ = -1;
  int port_ = 0;
};

// Listens and never accepts: the connection is made (by the system's backlog) and stays silent.
class SilentServer {
 public:
  SilentServer() : fd_(ListenOnFreePort(port_)) {}
  ~SilentServer() {
    if (fd_ >= 0) ::close(fd_);
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int port_ = 0;
  int fd_ = -1;
};

// A port that was free a moment ago and has nobody listening now.
inline std::string ClosedPortHost() {
  int port = 0;
  const int fd = ListenOnFreePort(port);
  if (fd >= 0) ::close(fd);
  return "127.0.0.1:" + std::to_string(port);
}

// Answers one NNTP client: greeting 200, AUTHINFO (when credentials are given), POST, the
// article up to its end mark, QUIT. `post_reply` is what it says to the article.
class NewsResponder {
 public:
  explicit NewsResponder(std::string post_reply = "240 article posted ok",
                         std::string credentials = {})
      : fd_(ListenOnFreePort(port_)) {
    thread_ =
        std::thread([this, post_reply = std::move(post_reply),
                     credentials = std::move(credentials)] { Serve(post_reply, credentials); });
  }
  ~NewsResponder() {
    ::shutdown(fd_, SHUT_RDWR);
    thread_.join();
    ::close(fd_);
  }
  NewsResponder(const NewsResponder&) = delete;
  NewsResponder& operator=(const NewsResponder&) = delete;

  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  // Every line the client sent, the article's lines as on the wire (still dot-stuffed).
  std::vector<std::string> Lines() {
    thread_.join();
    thread_ = std::thread([] {});
    return lines_;
  }

 private:
  void Serve(const std::string& post_reply, const std::string& credentials) {
    const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    timeval patience{10, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    std::string pending;
    const auto say = [&](const std::string& line) {
      const std::string text = line + "\r\n";
      ::send(client, text.data(), text.size(), MSG_NOSIGNAL);
    };
    const auto hear = [&](std::string& line) {
      while (true) {
        if (const std::size_t end = pending.find("\r\n"); end != std::string::npos) {
          line = pending.substr(0, end);
          pending.erase(0, end + 2);
          lines_.push_back(line);
          return true;
        }
        char chunk[512];
        const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        pending.append(chunk, static_cast<std::size_t>(n));
      }
    };
    say("200 news responder ready, posting allowed");
    std::string line;
    while (hear(line)) {
      if (line.rfind("AUTHINFO USER ", 0) == 0) {
        say("381 password required");
      } else if (line.rfind("AUTHINFO PASS ", 0) == 0) {
        const std::string user = lines_.size() >= 2 ? lines_[lines_.size() - 2].substr(14) : "";
        say(user + ":" + line.substr(14) == credentials ? "281 welcome" : "481 rejected");
      } else if (line == "POST") {
        say("340 send article");
        while (hear(line) && line != ".") {
        }
        say(post_reply);
      } else if (line == "QUIT") {
        say("205 bye");
        break;
      } else {
        say("500 what?");
      }
    }
    ::close(client);
  }

  int port_ = 0;
  int fd_ = -1;
  std::thread thread_;
  std::vector<std::string> lines_;
};

}  // namespace vx::test
