// Where the window model puts each control: form rows, rows, grids and panes, the cells the test
// driver reads back, and the list format a window was designed with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/threads.h"
#include "runtime/window/layout.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

struct Placed {
  ControlType type;
  int row, column;
};

TEST(WindowLayout, FormRowsPutPromptsBesideTheirFieldsAndButtonsInOneRow) {
  // Each line: what is made next and the cell it gets.
  const std::vector<Placed> cases = {
      {ControlType::Prompt, 1, 1},
      {ControlType::Entry, 1, 2},  // "Name:" [....]
      {ControlType::Prompt, 2, 1},
      {ControlType::Prompt, 3, 1},    // a prompt without a field keeps
                                      // its row
      {ControlType::DropList, 3, 2},  // and the next prompt pairs normally
      {ControlType::Check, 4, 1},     // no prompt: a row of its own
      {ControlType::Entry, 5, 1},     // a field without a prompt too
      {ControlType::Prompt, 6, 1},
      {ControlType::Check, 7, 1},  // a check is no field of a prompt
      {ControlType::Button, 8, 1},
      {ControlType::Button, 8, 2},
      {ControlType::Button, 8, 3},
      {ControlType::List, 9, 1},  // a list ends the button row
      {ControlType::Button, 10, 1},
      {ControlType::Prompt, 11, 1},
      {ControlType::Region, 11, 2},
  };
  LayoutCursor cursor;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const LayoutCell cell = cursor.Place(cases[i].type);
    EXPECT_EQ(cell.row, cases[i].row) << "control " << i + 1;
    EXPECT_EQ(cell.column, cases[i].column) << "control " << i + 1;
  }
}

TEST(WindowLayout, RowsGridsAndPanesFillTheirCellsInOrder) {
  struct Case {
    std::string layout;
    std::vector<LayoutCell> cells;  // of the first controls made
  };
  const std::vector<Case> cases = {
      {"row", {{1, 1}, {1, 2}, {1, 3}}},     {"beside", {{1, 1}, {1, 2}}},
      {"stacked", {{1, 1}, {2, 1}, {3, 1}}}, {"grid 3", {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}}},
      {"GRID 0", {{1, 1}, {2, 1}}},  // a grid without a width is one column
  };
  for (const Case& c : cases) {
    LayoutCursor cursor(Layout::Parse(c.layout));
    for (std::size_t i = 0; i < c.cells.size(); ++i) {
      const LayoutCell cell = cursor.Place(ControlType::Button);
      EXPECT_EQ(cell.row, c.cells[i].row) << c.layout << " control " << i + 1;
      EXPECT_EQ(cell.column, c.cells[i].column) << c.layout << " control " << i + 1;
    }
  }
  for (const char* text : {"form", "row", "grid 7", "beside", "stacked"})
    EXPECT_EQ(Layout::Parse(text).Text(), text);
  EXPECT_EQ(Layout::Parse("").Text(), "form");
  EXPECT_EQ(Layout::Parse("rows").Text(), "form");  // an unknown word is the default
}

TEST(WindowLayout, TheModelPlacesControlsInTheirOwnContainersAndTheDriverReadsTheCells) {
  TestDriver ui;
  ui.Start([] {
    std::string name, from;
    Window w("Placed");
    w.Arrange(Arrangement::Stacked);
    Control& form = w.FormRows();
    form.Prompt("&Name:");
    form.Entry(name, "@s20");
    Control& group = w.Group("Range");
    group.Arrange(Arrangement::Row);
    group.Prompt("From:");
    group.Entry(from, "@s10");
    Control& buttons = w.Row();
    buttons.Button("&OK");
    buttons.Button("Cancel");
    w.Menubar().Menu("&File").Item("E&xit");
    w.Status(1, "Ready");
    while (w.Accept()) {
    }
  });
  DriverWindow w = ui.WaitWindow("Placed");
  EXPECT_EQ(w.Get(Prop::Layout), "stacked");
  DriverControl name = w.Control("Name");  // the field after the prompt
  EXPECT_EQ(name.ContainerLayout(), "form");
  EXPECT_EQ(name.Row(), 1);
  EXPECT_EQ(name.Column(), 2);
  EXPECT_EQ(w.Control("Range").Row(), 2);  // the group, second in the stack
  EXPECT_EQ(w.Control("From").ContainerLayout(), "row");
  EXPECT_EQ(w.Control("From").Column(), 2);
  EXPECT_EQ(w.Control("Cancel").Row(), 1);
  EXPECT_EQ(w.Control("Cancel").Column(), 2);
  EXPECT_EQ(w.ControlNumber(w.Control("Cancel").Container()).Row(), 3);
  // Bars and menus belong to the frame, not to the window's layout.
  EXPECT_EQ(w.Control("File").Row(), 0);
  EXPECT_EQ(w.Control("Exit").Row(), 0);
  w.Close();
  ui.Finish();
}

TEST(WindowLayout, ChangingAContainersLayoutPlacesItsControlsAgain) {
  Window w("Later");
  Control& a = w.Button("A");
  Control& b = w.Button("B");
  Control& c = w.Button("C");
  EXPECT_EQ(c.Cell().row, 1);  // one button row
  w.Arrange(Arrangement::Grid, 2);
  EXPECT_EQ(a.Cell().column, 1);
  EXPECT_EQ(b.Cell().column, 2);
  EXPECT_EQ(c.Cell().row, 2);
  EXPECT_EQ(c.Cell().column, 1);
  EXPECT_EQ(w.Button("D").Cell().column, 2);  // and goes on from there
}

TEST(WindowLayout, AListKeepsTheFormatItWasDesignedWith) {
  TestDriver ui;
  ui.Start([] {
    Window w("Designed");
    Control& list = w.List("40L~Date~@d6@");
    list.Format("48L~Date~@d17@80L~Text~@s30@");  // set while building: still the design
    EXPECT_EQ(list.DesignColumns().size(), 2u);
    while (w.Accept()) {
      if (EVENT() == EVENT_OpenWindow) {
        list.Format("90L~Date~@d17@");  // a user's layout after opening
        EXPECT_EQ(list.Columns().size(), 1u);
        EXPECT_EQ(list.DesignFormat(), "48L~Date~@d17@80L~Text~@s30@");
        list.ResetFormat();
        EXPECT_EQ(list.Columns().size(), 2u);
        EXPECT_EQ(list.Columns()[0].width, 48);
        break;
      }
    }
  });
  ui.Finish();
}

}  // namespace
}  // namespace vx
