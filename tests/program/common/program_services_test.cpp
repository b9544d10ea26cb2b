// The one scoped install of the program services: a scope replaces what it names and keeps the
// rest, and puts back exactly what it found when it ends.
#include "program/common/program_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_keyboard.h"
#include "program/common/task_log.h"

namespace vx {
namespace {

TEST(ScopedProgramServicesTest, NestedScopesReplaceOneServiceAndRestoreWhatTheyFound) {
  std::vector<std::string> lines;
  test::FakeKeyboard keyboard;
  EXPECT_EQ(CurrentProgramServices().script_keyboard, nullptr);
  {
    const ScopedProgramServices log(
        &ProgramServices::task_log, [&](std::string_view text, std::string_view label) {
          lines.push_back(std::string(label) + ": " + std::string(text));
        });
    {
      const ScopedProgramServices keys(&ProgramServices::script_keyboard, &keyboard);
      EXPECT_EQ(CurrentProgramServices().script_keyboard, &keyboard);
      TaskLog("Water the plants", "Message");  // the outer scope's writer is kept
    }
    EXPECT_EQ(CurrentProgramServices().script_keyboard, nullptr);
    TaskLog("Call Anna", "Message");
  }
  TaskLog("dropped", "Message");  // no writer installed: the line goes nowhere
  EXPECT_EQ(lines, (std::vector<std::string>{"Message: Water the plants", "Message: Call Anna"}));
}

}  // namespace
}  // namespace vx
