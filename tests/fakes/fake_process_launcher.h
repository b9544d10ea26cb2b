// A process launcher that starts nothing: it records each request and plays back the outcome
// set for the program, so callers of the launcher are tested without real children.
#pragma once

#include <cerrno>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace vx::test {

class FakeProcessLauncher final : public platform::ProcessLauncher {
 public:
  // What starting one program (matched by argv[0]) does. Programs without an outcome start and
  // end at once with exit code 0.
  struct Outcome {
    int start_error = 0;         // errno that stops the start; 0 starts it
    long exit_code = 0;          // code once it has ended
    bool keeps_running = false;  // runs until it is terminated or killed
  };

  void SetOutcome(const std::string& program, Outcome outcome) { outcomes_[program] = outcome; }

  // Ends a program that keeps running, with the given code.
  void Finish(platform::ProcessHandle handle, long exit_code) {
    if (auto it = children_.find(handle); it != children_.end()) {
      it->second->running = false;
      it->second->exit_code = exit_code;
    }
  }

  bool IsRunning(platform::ProcessHandle handle) const {
    const auto it = children_.find(handle);
    return it != children_.end() && it->second->running;
  }

  platform::StartResult Start(const platform::ProcessRequest& request) override {
    requests.push_back(request);
    Outcome outcome;
    if (!request.argv.empty()) {
      if (const auto it = outcomes_.find(request.argv.front()); it != outcomes_.end())
        outcome = it->second;
    } else {
      outcome.start_error = ENOENT;
    }
    platform::StartResult result;
    if (outcome.start_error != 0) {
      result.error = outcome.start_error;
      return result;
    }
    result.handle = ++last_handle_;
    children_[result.handle] = std::make_shared<Child>(
        Child{outcome.keeps_running, outcome.exit_code, 10000 + result.handle});
    return result;
  }

  std::optional<long> ExitCode(platform::ProcessHandle handle) override {
    const auto it = children_.find(handle);
    if (it == children_.end()) return std::nullopt;
    return it->second->running ? platform::STILL_ACTIVE : it->second->exit_code;
  }

  bool Wait(platform::ProcessHandle handle, std::chrono::milliseconds) override {
    waited.push_back(handle);
    const auto it = children_.find(handle);
    return it != children_.end() && !it->second->running;
  }

  bool Terminate(platform::ProcessHandle handle) override {
    terminated.push_back(handle);
    const auto it = children_.find(handle);
    if (it == children_.end()) return false;
    if (it->second->running) Finish(handle, 128 + 15);
    return true;
  }

  bool Kill(platform::ProcessHandle handle, std::chrono::milliseconds) override {
    killed.push_back(handle);
    const auto it = children_.find(handle);
    if (it == children_.end()) return false;
    if (it->second->running) Finish(handle, 128 + 15);
    return true;
  }

  void Release(platform::ProcessHandle handle) override {
    released.push_back(handle);
    children_.erase(handle);
  }

  // The new handle shares the child's state, so ending it through either handle shows in both.
  platform::ProcessHandle Share(platform::ProcessHandle handle) override {
    const auto it = children_.find(handle);
    if (it == children_.end()) return 0;
    const platform::ProcessHandle shared = ++last_handle_;
    children_[shared] = it->second;
    return shared;
  }

  pid_t ProcessId(platform::ProcessHandle handle) override {
    const auto it = children_.find(handle);
    return it != children_.end() ? it->second->pid : 0;
  }

  std::vector<platform::ProcessRequest> requests;  // every start asked for, in order
  std::vector<platform::ProcessHandle> waited, terminated, killed, released;

 private:
  struct Child {
    bool running = false;
    long exit_code = 0;
    pid_t pid = 0;
  };
  std::map<std::string, Outcome> outcomes_;
  std::map<platform::ProcessHandle, std::shared_ptr<Child>> children_;  // unreleased handles
  platform::ProcessHandle last_handle_ = 0;
};

}  // namespace vx::test
