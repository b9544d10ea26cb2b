// Runs a command line of a test's own through the shell and gathers what it printed, for the
// tests that run the built helper programs as a user's shell would.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace vx::test {

struct CommandRun {
  int status = -1;     // the exit status; -1 when it did not exit
  std::string output;  // its standard output (and whatever the command line sends there)
};

inline CommandRun RunCommandLine(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) run.output += chunk;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace vx::test
