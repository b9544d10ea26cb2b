// A shell opener that opens nothing: it records each request and answers with a set result.
#pragma once

#include <vector>

#include "platform/shell_open.h"

namespace vx::test {

class FakeShellOpener final : public platform::ShellOpener {
 public:
  int Open(const platform::ShellOpenRequest& request) override {
    requests.push_back(request);
    return result;
  }

  int result = platform::SHELL_OPENED;               // what every open answers
  std::vector<platform::ShellOpenRequest> requests;  // every open asked for, in order
};

}  // namespace vx::test
