// The small OK/Cancel dialog as a user drives it: OK stores what was typed and closes unless
// the OK action refuses; Cancel and the close box answer cancelled and run no OK action.
#include "program/windows/small_dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "runtime/fixed_string.h"
#include "support/test_driver.h"

namespace vx {
namespace {

struct Outcome {
  long response = 0;
  int ok_runs = 0;
  std::string seen;  // the variable as the OK action saw it
};

// "Name" with OK and Cancel; the OK action refuses an empty name.
void RunNameDialog(Outcome& outcome) {
  String<20> name;
  Window window("Name");
  window.Prompt("&Name:");
  window.Entry(name, "@s20");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  SmallDialog manager(window, ok, cancel);
  manager.OnOk([&] {
    ++outcome.ok_runs;
    outcome.seen = name.str();
    return !name.blank();
  });
  outcome.response = manager.Run();
}

TEST(SmallDialog, OkStoresTheTypedTextAndClosesUnlessTheActionRefuses) {
  TestDriver ui;
  Outcome outcome;
  ui.Start([&] { RunNameDialog(outcome); });
  DriverWindow w = ui.WaitWindow("Name");
  w.Control("&OK").Press();  // refused: nothing typed
  EXPECT_TRUE(w.Open());
  w.Control("&Name:").Type("Ada");
  w.Control("&OK").Press();
  ui.WaitClosed(w);
  ui.Finish();
  EXPECT_EQ(outcome.ok_runs, 2);
  EXPECT_EQ(outcome.seen, "Ada");
  EXPECT_EQ(outcome.response, RequestCompleted);
}

TEST(SmallDialog, CancelAndTheCloseBoxAnswerCancelledWithoutTheOkAction) {
  for (const bool close_box : {false, true}) {
    TestDriver ui;
    Outcome outcome;
    ui.Start([&] { RunNameDialog(outcome); });
    DriverWindow w = ui.WaitWindow("Name");
    w.Control("&Name:").Type("Ada");
    if (close_box) {
      w.Close();
    } else {
      w.Control("Cancel").Press();
    }
    ui.Finish();
    EXPECT_EQ(outcome.ok_runs, 0) << close_box;
    EXPECT_EQ(outcome.response, RequestCancelled) << close_box;
  }
}

}  // namespace
}  // namespace vx
