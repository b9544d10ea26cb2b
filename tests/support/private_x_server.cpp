#include "support/private_x_server.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace vx::test {

PrivateXServer::PrivateXServer() {
  int fds[2];
  if (pipe(fds) != 0) return;
  // Xvfb picks a free display number and writes it to the descriptor given by -displayfd.
  const std::string fd_text = std::to_string(fds[1]);
  std::vector<std::string> args = {"Xvfb", "-displayfd", fd_text,     "-screen",
                                   "0",    "320x240x24", "-nolisten", "tcp"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0, 0);
  const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    pid_ = -1;
    close(fds[0]);
    return;
  }
  std::string number;
  pollfd pfd{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&pfd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

PrivateXServer::~PrivateXServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

void PrivateXServer::Crash() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

}  // namespace vx::test
