#include "framework/process_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"

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

// A pass of unknown length shows a bar without a range (work going on) and, below it, what the
// pass reports instead of a percentage.
TEST(ProcessWindow, AnUncountedPassShowsWhatItReports) {
  TestDriver ui;
  ui.Start([] {
    ProcessWindow progress("Pass", "Passing");
    progress.OpenUncounted();
    for (int i = 0; i < 3; ++i) progress.Advance();
    progress.Report("3 Found");
    MESSAGE("held");
    progress.Close();
  });
  ui.WaitUntil([&] { return !ui.Messages().empty(); }, "the pass to be held");
  DriverWindow window = ui.WaitWindow("Passing");
  EXPECT_EQ(window.ControlNumber(3).Text(), "3 Found") << "in place of the percentage";
  EXPECT_EQ(window.ControlNumber(2).Kind(), ControlType::Progress);
  EXPECT_EQ(window.ControlNumber(2).Get(Prop::RangeHigh), "0");
  ui.WaitMessage(BUTTON_OK);
  ui.WaitClosed(window);
  ui.Finish();
}

// Closing down takes the window away; the pass still runs to its end, so that no half-done
// work is left behind.
TEST(ProcessWindow, ClosingDownEndsTheWindowButNotThePass) {
  TestDriver ui;
  int advanced = 0;
  ui.Start([&] {
    ProcessWindow progress("Pass", "Passing");
    progress.Open(3);
    MESSAGE("held");
    for (int i = 0; i < 3; ++i) {
      SleepFor(std::chrono::milliseconds(60));  // long enough for the window to take its events
      progress.Advance();
      ++advanced;
    }
    MESSAGE("done");
    progress.Close();
  });
  ui.WaitUntil([&] { return !ui.Messages().empty(); }, "the pass to be held");
  DriverWindow window = ui.WaitWindow("Passing");
  window.Post(EVENT_CloseDown);
  ui.WaitMessage(BUTTON_OK);
  ui.WaitUntil([&] { return ui.Messages().size() == 2; }, "the pass to end");
  EXPECT_FALSE(window.Open());
  EXPECT_TRUE(ui.OpenTitles().empty());  // not opened again by the later records
  ui.WaitMessage(BUTTON_OK);
  ui.Finish();
  EXPECT_EQ(advanced, 3);
}

// A press that starts a pass returns once the pass is over: the pass's window taking its
// events between records is no sign that the press was handled.
TEST(ProcessWindow, APressThatStartsAPassReturnsWhenThePassIsDone) {
  std::atomic<int> advanced{0};
  TestDriver ui;
  ui.Start([&] {
    Window main("Main");
    auto& start = main.Button("&Start");
    while (main.Accept()) {
      if (ACCEPTED() != start) continue;
      ProcessWindow progress("Pass", "Passing");
      progress.Open(5);
      for (int i = 0; i < 5; ++i) {
        SleepFor(std::chrono::milliseconds(60));  // each record lets the window take its events
        progress.Advance();
        ++advanced;
      }
      progress.Close();
    }
  });
  DriverWindow main = ui.WaitWindow("Main");
  main.Control("Start").Press();
  EXPECT_EQ(advanced, 5) << "the press returned before the pass was done";
  main.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
