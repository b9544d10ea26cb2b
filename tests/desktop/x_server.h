// An X server of a test's own (Xvfb on a free display number), for tests that start a window
// manager or a tray host, or that kill the server under the program, without disturbing the
// shared test display.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace vx::test {

class XServer {
 public:
  XServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::vector<std::string> args = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                     "-screen",   "0",          "1024x768x24",
                                     "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0, 0);
    if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // The server writes its display number once it takes connections.
    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    char c = 0;
    while (pid_ != 0 && poll(&pfd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~XServer() { Crash(); }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // ":N", empty when the server could not be started.
  const std::string& name() const { return name_; }
  // Kills the server as a crash would: SIGKILL, no goodbye to its clients.
  void Crash() {
    if (pid_ == 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
  std::string name_;
};

}  // namespace vx::test
