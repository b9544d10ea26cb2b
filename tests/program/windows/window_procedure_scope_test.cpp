// The window-procedure scope as a window lives through it: the name in the error object (and
// the outer one back afterwards), the place restored before the window opens, kept when it
// closes and, when asked, each time the user moves it; a window that never opened keeps none.
#include "program/windows/window_procedure_scope.h"

#include <gtest/gtest.h>

#include <string>

#include "datadll/dictionary/vx_files.h"
#include "framework/window_manager.h"
#include "program/windows/program_errors.h"
#include "runtime/ini_file.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

class WindowProcedureScopeTest : public test::WindowTest {
 protected:
  static std::string Place(std::string_view procedure) {
    const IniFile& positions = *IniInUse();
    return positions.Get(procedure, "XPos") + " " + positions.Get(procedure, "YPos") + " " +
           positions.Get(procedure, "Width") + " " + positions.Get(procedure, "Height");
  }
  static void StorePlace(std::string_view procedure, long x, long y, long width, long height) {
    IniFile& positions = *IniInUse();
    positions.Put(procedure, "XPos", std::to_string(x));
    positions.Put(procedure, "YPos", std::to_string(y));
    positions.Put(procedure, "Width", std::to_string(width));
    positions.Put(procedure, "Height", std::to_string(height));
  }
};

TEST_F(WindowProcedureScopeTest, TheWindowOpensAtItsStoredPlaceAndKeepsTheNewOneWhenItCloses) {
  StorePlace("Probe", 40, 50, 320, 200);
  ui_.Start([] {
    Window window("Probe");
    const int close = window.Button("Close");
    WindowManager manager(window);
    const WindowProcedureScope scope("Probe", manager);
    manager.CancelControl = close;
    manager.Run();
  });
  DriverWindow w = ui_.WaitWindow("Probe");
  EXPECT_EQ(w.Get(Prop::X) + " " + w.Get(Prop::Y) + " " + w.Get(Prop::Width), "40 50 320");
  w.Move(70, 80, 400, 300);
  EXPECT_EQ(Place("Probe"), "40 50 320 200");  // a plain window keeps its place when it closes
  w.Control("Close").Press();
  ui_.Finish();
  EXPECT_EQ(Place("Probe"), "70 80 400 300");
}

TEST_F(WindowProcedureScopeTest, AListKeepsItsPlaceEachTimeItIsMoved) {
  ui_.Start([] {
    Window window("Probe");
    WindowManager manager(window);
    const WindowProcedureScope scope("Probe", manager);
    scope.KeepPlaceWhenMoved();
    manager.Run();
  });
  DriverWindow w = ui_.WaitWindow("Probe");
  w.Move(5, 6, 300, 200);
  EXPECT_EQ(Place("Probe"), "5 6 300 200");
  w.Close();
  ui_.Finish();
}

TEST_F(WindowProcedureScopeTest, AWindowThatNeverOpenedKeepsNoPlace) {
  ui_.Start([] {
    Window window("Probe");
    window.Set(Prop::Width, 300L);
    window.Set(Prop::Height, 200L);
    WindowManager manager(window);
    const WindowProcedureScope scope("Probe", manager);
    manager.Dead = true;  // as a second start of a single-instance list
    manager.Run();
  });
  ui_.Finish();
  EXPECT_EQ(Place("Probe"), "   ");
}

TEST_F(WindowProcedureScopeTest, AFormRunFromAListLeavesTheListsNameInTheErrorObject) {
  std::string during_form, after_form, after_list = "?";
  ui_.Start([&] {
    Window list("List");
    WindowManager manager(list);
    {
      const WindowProcedureScope scope("BrowseProbe", manager);
      {
        Window form("Form");
        WindowManager form_manager(form);
        const WindowProcedureScope form_scope("UpdateProbe", form_manager);
        during_form = ProgramErrors().GetProcedureName();
      }
      after_form = ProgramErrors().GetProcedureName();
    }
    after_list = ProgramErrors().GetProcedureName();
  });
  ui_.Finish();
  EXPECT_EQ(during_form, "UpdateProbe");
  EXPECT_EQ(after_form, "BrowseProbe");
  EXPECT_EQ(after_list, "");
}

}  // namespace
}  // namespace vx
