#include "framework/process_window.h"

#include <gtest/gtest.h>

#include "runtime/window/dialogs.h"
#include "runtime/window/test_driver.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

TEST(ProcessWindow, OffARuntimeThreadThePassRunsWithoutAWindow) {
  ProcessWindow progress("Pass", "Passing");
  progress.Open(2);
  progress.Advance();
  progress.Advance();
  progress.Close();
  SUCCEED();
}

// More records than counted (rows added while the pass runs) stay at 100%.
TEST(ProcessWindow, ThePercentageNeverPassesAHundred) {
  TestDriver ui;
  ui.Start([] {
    ProcessWindow progress("Pass", "Passing");
    progress.Open(2);
    for (int i = 0; i < 3; ++i) progress.Advance();
    MESSAGE("held");
    progress.Close();
  });
  ui.WaitUntil([&] { return !ui.Messages().empty(); }, "the pass to be held");
  DriverWindow window = ui.WaitWindow("Passing");
  EXPECT_EQ(window.Control("100% Completed").Kind(), ControlType::String);
  ui.WaitMessage(BUTTON_OK);
  ui.WaitClosed(window);
  ui.Finish();
}

}  // namespace
}  // namespace vx
