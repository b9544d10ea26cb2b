// A private Xvfb server for one test: tests that write properties of the root window must not
// disturb (or be disturbed by) other tests sharing the session's display.
#pragma once

#include <sys/types.h>
#include <string>

namespace vx::test {

class PrivateXServer {
 public:
  PrivateXServer();  // starts Xvfb; ok() tells whether it came up
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  bool ok() const { return !name_.empty(); }
  const std::string& name() const { return name_; }  // ":N"
  // Kills the server as a crash would (SIGKILL): its clients' connections break.
  void Crash();

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace vx::test
