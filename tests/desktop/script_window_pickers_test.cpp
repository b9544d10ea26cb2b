// The step editor's window pickers on a real X display: a plain X client's window is offered
// among the open windows, and the texts of the windows inside it among the contents to look for.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "datadll/dictionary/scripting_table.h"
#include "framework/request_globals.h"
#include "program/script_engine/window_search.h"
#include "program/scripts/script_windows.h"
#include "tests/program/window_fixture.h"
// Last: Xlib's macros None and Bool would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "platform/x11_display.h"
#include "tests/platform/x11_test_display.h"

namespace vx {
namespace {

class ScriptWindowPickersTest : public test::WindowTest {
 protected:
  void SetUp() override {
    VX_REQUIRE_DISPLAY();
    WindowTest::SetUp();
    display_ = platform::OpenX11Display();
    ASSERT_NE(display_, nullptr);
    title_ = "Picker target " + std::to_string(getpid());
    label_ = "Label inside " + std::to_string(getpid());
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display_, window_, title_.c_str());
    XClassHint hint{const_cast<char*>("target"), const_cast<char*>("VxPickerTarget")};
    XSetClassHint(display_, window_, &hint);
    const ::Window inner = XCreateSimpleWindow(display_, window_, 10, 10, 80, 20, 0, 0, 0);
    XStoreName(display_, inner, label_.c_str());
    XMapWindow(display_, inner);
    XSelectInput(display_, window_, StructureNotifyMask);
    XMapWindow(display_, window_);
    for (XEvent e; XNextEvent(display_, &e), e.type != MapNotify;) {
    }
    XSync(display_, False);
  }
  void TearDown() override {
    if (display_ != nullptr) {
      XDestroyWindow(display_, window_);
      XCloseDisplay(display_);
      display_ = nullptr;
      WindowTest::TearDown();
    }
  }

  Display* display_ = nullptr;
  ::Window window_ = 0;
  std::string title_, label_;
};

TEST_F(ScriptWindowPickersTest, TheFocusPageOffersTheWindowAndItsTexts) {
  ui_.Start([] {
    SCH.ID = 4;
    SCR = SCRIPTING_RECORD{};
    SetCurrentRequest(InsertRecord);
    UpdateScripting();
  });
  DriverWindow w = ui_.WaitWindow("New Script Action");
  w.Control("Action").Choose("Set Focus");
  DriverControl title = w.Control("Focus on window");
  EXPECT_NE(("|" + title.Get(Prop::From) + "|").find("|" + title_ + "|"), std::string::npos)
      << title.Get(Prop::From);
  title.Choose(title_);
  w.ControlNumber(title.Number() + 1).Press();  // "Advanced" beside the title
  DriverWindow picker = ui_.WaitWindow("Advanced Settings");
  DriverControl contents = picker.Control("Window must contain this text");
  EXPECT_EQ(contents.Get(Prop::From), label_);
  contents.Choose(label_);
  picker.Control("Close").Press();
  ui_.WaitClosed(picker);
  w.Control("Cancel").Press();
  ui_.Finish();
}

}  // namespace
}  // namespace vx
