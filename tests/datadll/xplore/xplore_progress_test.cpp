#include "datadll/xplore/xplore_progress.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "runtime/events.h"
#include "runtime/message_box.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "support/test_driver.h"

namespace vx {
namespace {

// A long pass: rows until the user stops it (or far longer than any test waits).
void LongPass(const std::string& question, std::atomic<long>& rows) {
  XploreProgress progress(question);
  progress.Open(100000);
  while (rows < 100000 && progress.Step()) {
    ++rows;
    SleepFor(std::chrono::milliseconds(1));
  }
  progress.Close();
  MESSAGE(progress.Stopped() ? "stopped" : "done");
}

// Escape asks the pass's question; No goes on where the pass was, Yes stops it.
TEST(XploreProgress, EscapeAsksAndNoGoesOnWhileYesStops) {
  std::atomic<long> rows{0};
  TestDriver ui;
  ui.Start([&] { LongPass("Are you sure you want to quit this Graphing Procedure?", rows); });
  DriverWindow progress = ui.WaitWindow("Progress...");
  EXPECT_EQ(progress.Control("Cancel").Get(Prop::Icon), "cancel.ico");
  progress.PressKey(EscKey);
  const SeenRequest asked = ui.WaitMessage(BUTTON_NO);
  EXPECT_EQ(asked.text, "Are you sure you want to quit this Graphing Procedure?");
  EXPECT_EQ(asked.caption, "Xplore");
  EXPECT_EQ(asked.buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_EQ(asked.default_button, BUTTON_NO);
  const long at_no = rows;
  ui.WaitUntil([&] { return rows > at_no + 5; }, "the pass to go on after No");
  progress.Control("Cancel").Press();
  ui.WaitMessage(BUTTON_YES);
  EXPECT_EQ(ui.WaitMessage(BUTTON_OK).text, "stopped");
  EXPECT_LT(rows, 100000);
  EXPECT_FALSE(progress.Open());
  ui.Finish();
}

// Without a question the Cancel button, and the close box, stop the pass at once.
TEST(XploreProgress, WithoutAQuestionCancelStopsAtOnce) {
  for (bool close_box : {false, true}) {
    std::atomic<long> rows{0};
    TestDriver ui;
    ui.Start([&] { LongPass({}, rows); });
    DriverWindow progress = ui.WaitWindow("Progress...");
    if (close_box) {
      progress.Close();
    } else {
      progress.Control("Cancel").Press();
    }
    EXPECT_EQ(ui.WaitMessage(BUTTON_OK).text, "stopped") << close_box;
    EXPECT_EQ(ui.Messages().size(), 1u) << "no question was asked";
    ui.Finish();
  }
}

}  // namespace
}  // namespace vx
