// The size grip in the model: made in the window's lower right corner, outside the form's
// rows, moved to the new corner after each resize and its place noted in ".\DEBUG.INI".
#include "datadll/utility/grab_corner_class.h"

#include <gtest/gtest.h>

#include <atomic>

#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "test_support.h"

namespace vx {
namespace {

std::atomic<long> g_grip{0};

void GripWindow() {
  String<20> name;
  Window window("Grip");
  window.Set(Prop::Width, 300L).Set(Prop::Height, 200L);
  window.Prompt("&Name:");
  window.Entry(name, "@s20");
  GRABCORNERCLASS grip;
  grip.INIT(window);
  g_grip = grip.FEQ;
  window.Open();
  while (window.Accept()) {
    // The driver reports a new place and size as a move.
    if (EVENT() == EVENT_Sized || EVENT() == EVENT_Moved) grip.TAKERESIZE();
  }
  grip.KILL();
}

TEST(GrabCornerClass, TheGripStaysInTheCornerAsTheWindowIsResized) {
  const test::InFreshFolder folder;
  TestDriver ui;
  ui.Start(GripWindow);
  DriverWindow window = ui.WaitWindow("Grip");
  DriverControl grip = window.ControlNumber(static_cast<int>(g_grip.load()));
  EXPECT_EQ(grip.Kind(), ControlType::SizeGrip);
  EXPECT_EQ(grip.Row(), 0) << "outside the form's rows";
  EXPECT_EQ(grip.Get(Prop::X), "280");
  EXPECT_EQ(grip.Get(Prop::Y), "180");
  EXPECT_EQ(grip.Get(Prop::Width), "20");
  EXPECT_EQ(window.Control("&Name:").Row(), 1);

  window.Move(40, 30, 420, 260);
  ui.WaitUntil([&] { return grip.Get(Prop::X) == "400"; }, "the grip moved");
  EXPECT_EQ(grip.Get(Prop::Y), "240");
  EXPECT_EQ(GETINI("Position", "X", "", ".\\DEBUG.INI"), "400");
  EXPECT_EQ(GETINI("Position", "Y", "", ".\\DEBUG.INI"), "240");
  window.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
