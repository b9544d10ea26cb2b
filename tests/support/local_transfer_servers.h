// File servers on 127.0.0.1 for the transfer tests, each on a port free when it starts and ended
// with the object:
//   LocalFtpServer   pyftpdlib (Debian's python3-pyftpdlib) serving a folder to one user, who
//                    may write to it;
//   LocalHttpServer  Python's own http.server serving a folder.
// Up() says whether the server answers; a test without the server skips.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/process.h"

namespace vx::test {

inline constexpr const char* kPython = "/usr/bin/python3";

// A port nobody listens on right now.
inline int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t size = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  close(s);
  return ntohs(address.sin_port);
}

inline bool Listening(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(s);
  return ok;
}

// A server program started for one test and ended with it; argv_for makes its command line for
// the port chosen.
class LocalServer {
 public:
  template <typename MakeArgv>
  explicit LocalServer(MakeArgv argv_for) : port_(FreePort()) {
    platform::ProcessRequest request;
    request.argv = argv_for(port_);
    const platform::StartResult started = platform::SystemProcesses().Start(request);
    handle_ = started.handle;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (handle_ != 0 && !Listening(port_) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~LocalServer() {
    if (handle_ != 0) {
      platform::SystemProcesses().Kill(handle_, std::chrono::seconds(2));
      platform::SystemProcesses().Release(handle_);
    }
  }
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  bool Up() const { return handle_ != 0 && Listening(port_); }
  // "127.0.0.1:port", as an FTP host or the start of an address.
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int port_;
  platform::ProcessHandle handle_ = 0;
};

class LocalFtpServer : public LocalServer {
 public:
  LocalFtpServer(const std::filesystem::path& folder, const std::string& user,
                 const std::string& password)
      : LocalServer([&](int port) {
          return std::vector<std::string>{
              kPython, "-m", "pyftpdlib",     "-i", "127.0.0.1", "-p", std::to_string(port),
              "-w",    "-d", folder.string(), "-u", user,        "-P", password};
        }) {}
};

class LocalHttpServer : public LocalServer {
 public:
  explicit LocalHttpServer(const std::filesystem::path& folder)
      : LocalServer([&](int port) {
          return std::vector<std::string>{
              kPython,  "-m",        "http.server", std::to_string(port),
              "--bind", "127.0.0.1", "--directory", folder.string()};
        }) {}
  // The address of a file of the served folder.
  std::string Url(const std::string& name) const { return "http://" + Host() + "/" + name; }
};

}  // namespace vx::test
