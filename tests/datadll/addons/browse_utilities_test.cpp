// Cell editors and drag and drop, worked through the test driver: the action codes each key
// gives a list that edits in place, and which drops reach a pair of controls.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "datadll/addons/addon_keys.h"
#include "datadll/addons/drag_and_drop_class.h"
#include "datadll/addons/edit_in_place.h"
#include "runtime/events.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

// A list with a cell editor over its first column; the status bar says what the editor's
// TAKEEVENT answered and what the edited variable holds. The editor refuses "bad".
class Picky : public SBRW::EDITENTRYCLASS {
 public:
  int TAKEACCEPTED() override { return *USEVAR == "bad" ? 1 : 0; }
};

template <class Editor>
void CellWindow() {
  std::string cell = "old";
  Window window("Cells");
  Control& list = window.List("40L~Name~@s20@");
  const int close = window.Button("Close");
  Editor edit;
  edit.INIT(1, list, cell);
  while (window.Accept() && ACCEPTED() != close) {
    const int code = edit.TAKEEVENT();
    if (EVENT() == EVENT_AlertKey) window.Status(1, std::to_string(code) + " " + cell);
  }
}

TEST(CellEditor, EachKeyGivesItsActionCodeAndEscKeepsNothing) {
  TestDriver ui;
  ui.Start(CellWindow<Picky>);
  DriverWindow w = ui.WaitWindow("Cells");
  DriverControl editor = w.ControlNumber(3);
  EXPECT_EQ(editor.Get(Prop::EditList), "1") << "over the list";
  EXPECT_EQ(editor.Get(Prop::EditColumn), "1");
  struct Case {
    const char* typed;
    int key;
    const char* status;
  } cases[] = {
      {"esc", EscKey, "4 old"},  // nothing copied
      {"tab", addons::TabKey, "1 tab"},
      {"back", addons::ShiftTab, "2 back"},
      {"enter", EnterKey, "3 enter"},
      {"down", addons::DownKey, "5 down"},
      {"up", addons::UpKey, "6 up"},
      {"bad", addons::TabKey, "0 bad"},  // refused: the cell stays open
      {"bad", EnterKey, "0 bad"},
      {"bad", addons::UpKey, "0 bad"},
      {"bad", addons::DownKey, "0 bad"},
      {"bad", EscKey, "4 bad"},
  };
  for (const Case& c : cases) {
    editor.TypeKeys(c.typed);
    editor.PressKey(c.key);
    EXPECT_EQ(w.Status(1), c.status) << c.typed << " " << c.key;
  }
  w.Control("Close").Press();
  ui.Finish();
}

TEST(CellEditor, TheNoUpDownFamilyLeavesUpAndDownToItsControl) {
  TestDriver ui;
  ui.Start(CellWindow<SBRW::EDITSPINCLASS>);
  DriverWindow w = ui.WaitWindow("Cells");
  DriverControl editor = w.ControlNumber(3);
  EXPECT_EQ(editor.Kind(), ControlType::Spin);
  const std::string alerted = "|" + editor.Get(Prop::Alert) + "|";
  EXPECT_EQ(alerted.find("|" + std::to_string(addons::DownKey) + "|"), std::string::npos);
  EXPECT_NE(alerted.find("|" + std::to_string(addons::TabKey) + "|"), std::string::npos);
  w.Control("Close").Press();
  ui.Finish();
}

// A lookup editor whose button hook answers 7: the status bar counts the hook's calls and shows
// the code TAKEEVENT gave the list for the button's event.
class Looking : public SBRW::EDITENTRYLUCLASS {
 public:
  int TAKEBUTTONACCEPTED() override {
    ++presses;
    return 7;
  }
  int presses = 0;
};

void LookupWindow() {
  std::string cell = "old";
  Window window("Lookup");
  Control& list = window.List("40L~Name~@s20@");
  const int close = window.Button("Close");
  Looking edit;
  edit.INIT(1, list, cell);
  while (window.Accept() && ACCEPTED() != close) {
    const int code = edit.TAKEEVENT();
    if (EVENT() == EVENT_Rejected)
      window.Status(1, std::to_string(edit.presses) + " " + std::to_string(code));
  }
}

TEST(CellEditor, TheLookupButtonCallsItsHookAndKeepsTheCellOpen) {
  TestDriver ui;
  ui.Start(LookupWindow);
  DriverWindow w = ui.WaitWindow("Lookup");
  DriverControl editor = w.ControlNumber(3);
  EXPECT_EQ(editor.Kind(), ControlType::Combo);
  EXPECT_EQ(editor.Get(Prop::Icon), "~ST_LKUP.ICO");
  w.Post(EVENT_Rejected, 3);
  EXPECT_EQ(w.Status(1), "1 0") << "the hook's answer is not an action code";
  w.Control("Close").Press();
  ui.Finish();
}

// A source list, a target list that takes "people" and a button that takes "things"; the
// status bar counts DRAG and DROP and shows the window's cursor.
class Counted : public SDD::DRAGANDDROPCLASS {
 public:
  void DRAG() override { ++drags; }
  void DROP() override { ++drops; }
  int drags = 0, drops = 0;
};

void DragWindow(bool cursors) {
  Window window("Drag");
  Control& area = window.Free();
  area.Place(0, 0, 300, 200);
  Control& source = area.List("40L~From~@s20@").Place(10, 10, 100, 100);
  Control& target = area.List("40L~To~@s20@").Place(150, 10, 100, 100);
  Control& other = area.Button("Bin").Place(10, 150, 40, 14);
  other.Set(Prop::DropId, "things");
  const int close = area.Button("Close").Place(60, 150, 40, 14);
  Counted pair;
  if (cursors) {
    pair.INIT(window, source, target, "people", "Cross", "Wait");
  } else {
    pair.INIT(window, source, target, "people");
  }
  while (window.Accept() && ACCEPTED() != close) {
    pair.TAKEEVENT();
    window.Status(1, std::to_string(pair.drags) + " " + std::to_string(pair.drops) + " " +
                         window.Get(Prop::Cursor));
  }
}

TEST(DragAndDrop, OnlyADropOnAControlTakingTheIdentifierReachesThePair) {
  TestDriver ui;
  ui.Start([] { DragWindow(false); });
  DriverWindow w = ui.WaitWindow("Drag");
  DriverControl source = w.ControlNumber(2), target = w.ControlNumber(3);
  EXPECT_EQ(source.Get(Prop::DragId), "people");
  EXPECT_EQ(target.Get(Prop::DropId), "people");
  source.DragOnto(w.Control("Bin"));
  EXPECT_EQ(w.Status(1), "0 0 ") << "another identifier: neither hook";
  source.DragOnto(target);
  EXPECT_EQ(w.Status(1), "1 1 ");
  target.DragOnto(source);
  EXPECT_EQ(w.Status(1), "1 1 ") << "the target carries no drag identifier";
  source.BeginDrag(20, 20);
  source.EndDrag(5, 190, 0);
  EXPECT_EQ(w.Status(1), "1 1 ") << "dropped on nothing";
  w.Control("Close").Press();
  ui.Finish();
}

TEST(DragAndDrop, TheCursorSaysWhetherTheMouseIsOverTheTarget) {
  TestDriver ui;
  ui.Start([] { DragWindow(true); });
  DriverWindow w = ui.WaitWindow("Drag");
  DriverControl source = w.ControlNumber(2), target = w.ControlNumber(3);
  source.BeginDrag(20, 20);
  EXPECT_EQ(w.Status(1), "0 0 Cross");
  source.MoveMouse(200, 50);
  EXPECT_EQ(w.Status(1), "0 0 Wait");
  source.MoveMouse(120, 50);
  EXPECT_EQ(w.Status(1), "0 0 Cross");
  source.MoveMouse(200, 50);
  source.EndDrag(200, 50, target.Number());
  EXPECT_EQ(w.Status(1), "1 1 ") << "the cursor is put back";
  w.Control("Close").Press();
  ui.Finish();
}

}  // namespace
}  // namespace vx
