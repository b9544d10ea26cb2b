// The splitter manager: how far a bar may go with the controls attached to it, and a drag
// through the test driver that moves the bar and then the controls.
#include <gtest/gtest.h>

#include <string>

#include "datadll/addons/split_manager_class.h"
#include "runtime/events.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

struct Attached {
  int side;
  bool follow;
  long pos, size;  // along the bar's direction
};

TEST(SplitLimits, KeepResizedControlsAboveTheMarginAndEveryControlInTheArea) {
  using S = JNDSPLITMANAGERCLASS;
  struct Case {
    const char* what;
    bool vertical;
    std::vector<Attached> controls;
    long min, max;
  } cases[] = {
      {"nothing attached: the area's margins", false, {}, 5, 87},
      {"a resized control above shrinks to the margin", false, {{S::Above, false, 10, 40}}, 15, 87},
      {"its gap to the bar is kept", false, {{S::Above, false, 10, 37}}, 18, 87},
      {"a following control above keeps its size", false, {{S::Above, true, 20, 20}}, 35, 87},
      {"a following control below stops at the bottom", false, {{S::Below, true, 54, 20}}, 5, 67},
      {"a resized control below", false, {{S::Below, false, 60, 35}}, 5, 80},
      {"both sides", false, {{S::Above, false, 10, 40}, {S::Below, false, 60, 35}}, 15, 80},
      {"a vertical bar and a resized control left", true, {{S::Left, false, 10, 90}}, 15, 187},
      {"a vertical bar and a following control right", true, {{S::Right, true, 110, 50}}, 5, 131},
  };
  for (const Case& c : cases) {
    // An area 200 wide and 100 high; a bar 4 thick at 50 down (horizontal) or 100 across.
    Window window("Split");
    Control& area = window.Free();
    area.Place(0, 0, 200, 100);
    Control& bar = area.Panel();
    if (c.vertical) {
      bar.Place(100, 0, 4, 100);
    } else {
      bar.Place(0, 50, 200, 4);
    }
    JNDSPLITMANAGERCLASS split;
    split.INIT(area);
    const int number = c.vertical ? split.ADDVERTSPLIT(bar) : split.ADDHORZSPLIT(bar);
    for (const Attached& a : c.controls) {
      Control& field = area.List("40L~A~@s10@");
      if (c.vertical) {
        field.Place(a.pos, 0, a.size, 100);
      } else {
        field.Place(0, a.pos, 200, a.size);
      }
      ASSERT_EQ(a.side == S::Above   ? split.ADDFIELDABOVE(number, field, a.follow)
                : a.side == S::Below ? split.ADDFIELDBELOW(number, field, a.follow)
                : a.side == S::Left  ? split.ADDFIELDLEFT(number, field, a.follow)
                                     : split.ADDFIELDRIGHT(number, field, a.follow),
                0);
    }
    split.SETMOVINGLIMITS(number);
    EXPECT_EQ(split.MINIMUMPOS, c.min) << c.what;
    EXPECT_EQ(split.MAXIMUMPOS, c.max) << c.what;
    EXPECT_EQ(bar.Get(Prop::DragId), "1");
  }
}

// A list above a bar and a text below it, in an area 200 x 100; the status bar shows the places
// of the bar, the list and the text after each event.
void SplitWindow() {
  Window window("Split");
  Control& area = window.Free();
  area.Place(0, 0, 200, 100);
  Control& list = area.List("40L~A~@s10@").Place(0, 10, 200, 40);
  Control& bar = area.Panel().Place(0, 52, 200, 4);
  std::string notes;
  Control& text = area.Text(notes).Place(0, 60, 200, 30);
  const int close = area.Button("Close").Place(150, 92, 40, 8);
  JNDSPLITMANAGERCLASS split;
  split.INIT(area);
  const int number = split.ADDHORZSPLIT(bar);
  split.ADDFIELDABOVE(number, list);
  split.ADDFIELDBELOW(number, text);
  const auto place = [&](const Control& c) {
    return std::to_string(c.GetNumber(Prop::Y)) + "+" + std::to_string(c.GetNumber(Prop::Height));
  };
  while (window.Accept() && ACCEPTED() != close) {
    split.TAKEEVENT();
    window.Status(
        1, place(bar) + " " + place(list) + " " + place(text) + " " + window.Get(Prop::Cursor));
  }
}

TEST(SplitManager, ABarFollowsTheMouseWithinItsLimitsAndTheControlsFollowWhenItIsDropped) {
  TestDriver ui;
  ui.Start(SplitWindow);
  DriverWindow w = ui.WaitWindow("Split");
  DriverControl bar = w.ControlNumber(3);
  bar.BeginDrag(100, 53);
  EXPECT_EQ(w.Status(1), "52+4 10+40 60+30 SizeNS");
  bar.MoveMouse(100, 2);  // above the list's least height
  EXPECT_EQ(w.Status(1), "17+4 10+40 60+30 SizeNS");
  bar.MoveMouse(100, 30);
  EXPECT_EQ(w.Status(1), "30+4 10+40 60+30 SizeNS") << "the controls wait for the drop";
  bar.EndDrag(100, 30, 0);
  EXPECT_EQ(w.Status(1), "30+4 10+18 38+52 ") << "each keeps its gap of 2 and 4";
  // Outside a drag the mouse is not followed; a control that is no bar does not drag.
  bar.MoveMouse(100, 60);
  w.ControlNumber(2).BeginDrag(10, 20);
  w.ControlNumber(2).MoveMouse(10, 70);
  w.ControlNumber(2).EndDrag(10, 70, 0);
  EXPECT_EQ(w.Status(1), "30+4 10+18 38+52 ");
  w.Control("Close").Press();
  ui.Finish();
}

}  // namespace
}  // namespace vx
