// The window utilities: date keys on date fields, proportional resizing of a free area, the
// sheet-tab popup and its hit test, and a long text word-wrapped over list rows.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "datadll/addons/addon_keys.h"
#include "datadll/addons/entry_locator_class.h"
#include "datadll/addons/quicken_date_class.h"
#include "datadll/addons/reget_view_manager.h"
#include "datadll/addons/resize_window_class.h"
#include "datadll/addons/tab_popup.h"
#include "datadll/addons/wrap_browse.h"
#include "framework/window_manager.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "support/fixed_clock.h"
#include "support/test_driver.h"

namespace vx {
namespace {

using addons::DateAfterKey;

TEST(DateKeys, StepTheDateAsEachKeySays) {
  const test::FixedClock clock(DATE(6, 15, 2025), 1);
  const test::ScopedClock scoped(clock);
  struct Case {
    int key;
    std::int32_t from, to;
    const char* what;
  } cases[] = {
      {'M', DATE(3, 1, 2025), DATE(2, 1, 2025), "M on the first: the first of the month before"},
      {'M', DATE(3, 2, 2025), DATE(3, 1, 2025), "M: the first of the month"},
      {'M', DATE(1, 1, 2025), DATE(12, 1, 2024), "M across the year"},
      {'H', DATE(1, 31, 2025), DATE(2, 28, 2025), "H on the last: the end of February"},
      {'H', DATE(1, 31, 2024), DATE(2, 29, 2024), "H on the last, a leap year"},
      {'H', DATE(1, 15, 2025), DATE(1, 31, 2025), "H: the last of the month"},
      {'H', DATE(12, 31, 2025), DATE(1, 31, 2026), "H across the year"},
      {'Y', DATE(1, 1, 2025), DATE(1, 1, 2024), "Y on 1 January"},
      {'Y', DATE(5, 5, 2025), DATE(1, 1, 2025), "Y"},
      {'R', DATE(12, 31, 2025), DATE(12, 31, 2026), "R on 31 December"},
      {'R', DATE(5, 5, 2025), DATE(12, 31, 2025), "R"},
      {addons::PadPlus, DATE(2, 28, 2025), DATE(3, 1, 2025), "+"},
      {addons::PadMinus, DATE(3, 1, 2025), DATE(2, 28, 2025), "-"},
      {'T', DATE(3, 1, 2020), DATE(6, 15, 2025), "T"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateAfterKey(c.key, c.from), c.to) << c.what;
}

// A window with a date entry, a read-only date entry and a text entry, its date keys taken.
void DateKeysWindow(std::atomic<int>* taken) {
  std::int32_t due = DATE(3, 1, 2025), fixed = DATE(3, 1, 2025);
  String<20> name("Ann");
  Window window("Dates");
  window.Prompt("&Due:");
  const int due_entry = window.Entry(due, "@D6");
  window.Prompt("&Fixed:");
  window.Entry(fixed, "@D6").ReadOnly();
  window.Prompt("&Name:");
  window.Entry(name, "@s20");
  const int close = window.Button("Close");
  MH::QUICKENDATECLASS keys;
  keys.INIT(window);
  while (window.Accept()) {
    if (keys.TAKEEVENT() == 5) ++*taken;
    if (ACCEPTED() == due_entry) window.Status(1, "accepted " + std::to_string(due));
    if (ACCEPTED() == close) break;
  }
}

TEST(DateKeys, WorkOnEditableDateFieldsOnlyAndCountAsTyped) {
  TestDriver ui;
  std::atomic<int> taken{0};
  ui.Start([&] { DateKeysWindow(&taken); });
  DriverWindow w = ui.WaitWindow("Dates");
  DriverControl due = w.Control("&Due:");
  EXPECT_NE(due.Get(Prop::Alert).find("77"), std::string::npos) << "M is alerted";
  EXPECT_EQ(w.Control("&Fixed:").Get(Prop::Alert), "") << "a read-only date field";
  EXPECT_EQ(w.Control("&Name:").Get(Prop::Alert), "") << "not a date field";
  due.PressKey('M');
  EXPECT_EQ(due.Value(), FORMAT(DATE(2, 1, 2025), "@D6"));
  EXPECT_EQ(taken.load(), 1);
  EXPECT_EQ(w.Status(1), "accepted " + std::to_string(DATE(2, 1, 2025))) << "as if typed";
  due.PressKey('Q');
  EXPECT_EQ(taken.load(), 1) << "another key is left to the window";
  w.Control("Close").Press();
  ui.Finish();
}

// A free area 200 x 100 with a list that grows with it and a button that keeps to its right.
struct ResizeFixture {
  Window window{"Resize"};
  Control& area = window.Free();
  int list = area.List("40L~A~@s10@").Place(10, 10, 100, 60);
  int button = area.Button("&Go").Place(150, 10, 40, 14);
  MH::RESIZEFRAMECLASS frame;
  MH::RESIZEWINDOWCLASS resize;
  ResizeFixture() { area.Place(0, 0, 200, 100); }
  std::string PlaceOf(int control) {
    const Control& c = window[control];
    return std::to_string(c.GetNumber(Prop::X)) + " " + std::to_string(c.GetNumber(Prop::Y)) + " " +
           std::to_string(c.GetNumber(Prop::Width)) + " " +
           std::to_string(c.GetNumber(Prop::Height));
  }
};

TEST(ProportionalResize, MovesAndSizesControlsByTheirSharesOfTheChange) {
  ResizeFixture f;
  f.frame.MEASURE(f.area);
  ASSERT_TRUE(f.resize.INIT(f.frame, f.area, 200, 100, true, true, true, false));
  f.resize.ADDCONTROL(f.list, 0, 0, 1, 1);
  f.resize.ADDCONTROL(f.button, 1, 0, 0, 0);
  f.resize.ADDCONTROL(f.button + 100, 1, 1, 1, 1);  // no such control: ignored
  f.resize.RESIZE(260, 130);
  EXPECT_EQ(f.PlaceOf(f.list), "10 10 160 90");
  EXPECT_EQ(f.PlaceOf(f.button), "210 10 40 14");
  f.resize.RESIZE(230, 90);  // higher than started: the start is the least
  EXPECT_EQ(f.PlaceOf(f.list), "10 10 130 60");
  EXPECT_EQ(f.PlaceOf(f.button), "180 10 40 14");

  // The same size again moves nothing, even a control the program has moved since.
  f.window[f.button].Place(5, 5, 40, 14);
  f.resize.RESIZE(230, 90);
  EXPECT_EQ(f.PlaceOf(f.button), "5 5 40 14");
}

TEST(ProportionalResize, ThePlaceOfAControlCanBeTakenAgainAtTheStartingScale) {
  ResizeFixture f;
  f.frame.MEASURE(f.area);
  ASSERT_TRUE(f.resize.INIT(f.frame, f.area, 200, 100, true, true, false, false));
  f.resize.ADDCONTROL(f.button, 1, 0, 0, 0);
  f.resize.RESIZE(400, 100);
  EXPECT_EQ(f.PlaceOf(f.button), "350 10 40 14");
  f.window[f.button].Place(300, 10, 40, 14);  // moved by the program at twice the width
  f.resize.UPDATECONTROL(f.button, "X");
  f.resize.RESIZE(200, 100);
  EXPECT_EQ(f.PlaceOf(f.button), "150 10 40 14") << "300 at 400 wide is 150 at 200";
}

// The window placed over its frame (200 x 100, median 4) from 100,50 at its starting 60 x 20.
TEST(ProportionalResize, TheWindowIsPlacedOverItsFrameAsEachDirectionSays) {
  struct Case {
    const char *horizontal, *vertical;
    int a, b;
    long x, y, width, height;
  } cases[] = {
      {"Full", "", 0, 0, 30, 50, 200, 20},
      {"Left", "Top", 0, 0, 30, 10, 60, 20},
      {"Right", "Bottom", 0, 0, 170, 90, 60, 20},
      {"Left-Half", "Top-Half", 0, 0, 30, 10, 96, 41},
      {"Right-Half", "Bottom-Half", 0, 0, 134, 69, 96, 41},
      {"Left-Half", "Full", 40, 20, 50, 20, 60, 80},  // no room beside: as "Left"
      {"Right-Half", "Top-Half", 40, 60, 150, 40, 60, 20},
      {"Middle", "", 0, 0, 100, 50, 60, 20},  // unknown words leave the window alone
  };
  for (const Case& c : cases) {
    ResizeFixture f;
    f.window.Set(Prop::X, 100L).Set(Prop::Y, 50L);
    f.frame.INIT(4);
    f.frame.MEASURE(f.area);
    ASSERT_TRUE(f.resize.INIT(f.frame, f.area, 60, 20, true, true, false, false));
    f.resize.ADDCONTROL(f.button, 0, 0, 1, 0);
    f.resize.SETINITIALDIMENSIONS(false, c.horizontal, c.vertical, c.a, c.b);
    const std::string what = std::string(c.horizontal) + "/" + c.vertical;
    EXPECT_EQ(f.window.GetNumber(Prop::X), c.x) << what;
    EXPECT_EQ(f.window.GetNumber(Prop::Y), c.y) << what;
    EXPECT_EQ(f.resize.LASTWINW, c.width) << what;
    EXPECT_EQ(f.resize.LASTWINH, c.height) << what;
    EXPECT_EQ(f.window[f.button].GetNumber(Prop::Width), 40 + c.width - 60) << what;
  }
  ResizeFixture f;
  f.frame.MEASURE(f.area);
  ASSERT_TRUE(f.resize.INIT(f.frame, f.area, 60, 20, true, true, false, false));
  f.resize.SETINITIALDIMENSIONS(true, "Full", "Full", 0, 0);
  EXPECT_TRUE(f.window.GetNumber(Prop::Maximize) != 0);
  EXPECT_EQ(f.resize.LASTWINW, 60) << "a maximised window is not placed";
}

// INITIALRESIZE fixes the least size first, then places the window through the overridable
// SETINITIALDIMENSIONS.
TEST(ProportionalResize, TheInitialResizeFixesTheLeastSizeAndPlacesTheWindow) {
  struct Placing final : MH::RESIZEWINDOWCLASS {
    void SETINITIALDIMENSIONS(bool, const std::string& h, const std::string& v, int, int) override {
      placed = h + "/" + v;
    }
    std::string placed;
  };
  struct Case {
    bool width, height, least, border;
    long min_width, min_height;  // 0: not fixed
  } cases[] = {
      {false, true, false, false, 60, 0},  // a fixed width
      {true, false, false, false, 0, 20},
      {true, true, true, false, 60, 20},  // never below the start
      {true, true, true, true, 0, 0},     // ... unless the border may go beyond it
      {true, true, false, false, 0, 0},
  };
  for (const Case& c : cases) {
    ResizeFixture f;
    Placing resize;
    f.frame.MEASURE(f.area);
    ASSERT_TRUE(resize.INIT(f.frame, f.area, 60, 20, c.width, c.height, c.least, c.border));
    resize.INITIALRESIZE(false, "Left", "Top", 0, 0);
    EXPECT_EQ(f.window.GetNumber(Prop::MinWidth), c.min_width);
    EXPECT_EQ(f.window.GetNumber(Prop::MinHeight), c.min_height);
    EXPECT_EQ(resize.placed, "Left/Top");
  }
}

// The window manager is reset when the lists that grow with the window have room for another
// number of rows, so that they fill to their new height; other sizes and controls leave it.
TEST(ProportionalResize, ListsThatGainOrLoseRowsMakeTheWindowRefillThem) {
  struct Counting final : WindowManager {
    using WindowManager::WindowManager;
    void Reset(bool force) override {
      EXPECT_TRUE(force);
      ++resets;
    }
    int resets = 0;
  };
  ResizeFixture f;
  Counting manager(f.window);
  f.frame.MEASURE(f.area);
  ASSERT_TRUE(f.resize.INIT(f.frame, f.area, 200, 100, true, true, false, false));
  f.resize.WINDOWMANAGER = &manager;
  f.resize.ADDCONTROL(f.list, 0, 0, 1, 1);    // 60 high: 6 rows
  f.resize.ADDCONTROL(f.button, 0, 0, 0, 1);  // grows too, but holds no rows
  f.resize.RESIZE(200, 106);
  EXPECT_EQ(manager.resets, 0) << "66 high still holds 6 rows";
  f.resize.RESIZE(300, 110);
  EXPECT_EQ(manager.resets, 1);
  f.resize.RESIZE(250, 110);
  EXPECT_EQ(manager.resets, 1) << "only wider";
  f.resize.RESIZE(250, 90);
  EXPECT_EQ(manager.resets, 2);
}

// A mistake of the program built on the class is reported and refused, and the program goes on.
TEST(ProportionalResize, AFrameNotMeasuredOrInAnotherFontIsReportedAndRefused) {
  TestDriver ui;
  std::atomic<int> results{-1};
  ui.Start([&] {
    ResizeFixture f;
    const bool unmeasured = f.resize.INIT(f.frame, f.area, 200, 100, true, true, false, false);
    f.frame.MEASURE(f.area);
    f.window.Set(Prop::FontName, "Courier New");
    const bool other_font = f.resize.INIT(f.frame, f.area, 200, 100, true, true, false, false);
    f.window.Set(Prop::FontName, "");
    const bool fine = f.resize.INIT(f.frame, f.area, 200, 100, true, true, false, false);
    results = (unmeasured ? 1 : 0) + (other_font ? 2 : 0) + (fine ? 4 : 0);
    Window after("Still Running");
    const int close = after.Button("Close");
    while (after.Accept() && ACCEPTED() != close) {
    }
  });
  const SeenRequest first = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(first.caption, "Programmer Error");
  EXPECT_EQ(first.text,
            "Programmer Error:  mhResizeWindow.Init called before mhResizeFrame.Measure!");
  EXPECT_EQ(ui.WaitMessage(BUTTON_OK).text,
            "Programmer Error:  Window font does not match Frame font!");
  DriverWindow after = ui.WaitWindow("Still Running");
  EXPECT_EQ(results.load(), 4) << "both mistakes answered false, the right use true";
  after.Control("Close").Press();
  ui.Finish();
}

TEST(TabPopup, FindsTheTabsUnderTheMouseOnEachSide) {
  using addons::TabSide;
  // A sheet at (10, 20), 100 x 80.
  struct Case {
    TabSide side;
    int rows;
    long x, y;
    bool over;
    const char* what;
  } cases[] = {
      {TabSide::Above, 1, 50, 25, true, "top strip"},
      {TabSide::Above, 1, 50, 32, false, "below one row of tabs"},
      {TabSide::Above, 2, 50, 40, true, "the second row of tabs"},
      {TabSide::Below, 1, 50, 95, true, "bottom strip"},
      {TabSide::Below, 1, 50, 25, false, "top, tabs below"},
      {TabSide::Left, 1, 20, 90, true, "left strip"},
      {TabSide::Left, 1, 40, 90, false, "right of the left strip"},
      {TabSide::Right, 1, 100, 30, true, "right strip"},
      {TabSide::None, 1, 60, 90, true, "no tabs: the whole sheet"},
      {TabSide::Above, 1, 5, 25, false, "left of the sheet"},
      {TabSide::Above, 1, 50, 100, false, "below the sheet"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(addons::TabsUnderMouse(10, 20, 100, 80, c.side, c.rows, 20, c.x, c.y), c.over)
        << c.what;
  }
}

TEST(TabPopup, ARightClickOnTheTabsOffersThemAndChoosesOne) {
  TestDriver ui;
  ui.Start([] {
    Window window("Pages");
    Control& area = window.Free();
    area.Place(0, 0, 200, 120);
    Control& sheet = area.Sheet();
    sheet.Place(10, 10, 180, 100);
    sheet.Tab("&General");
    sheet.Tab("Det|ails");
    sheet.Tab("&Notes");
    const int close = area.Button("Close").Place(10, 112, 40, 8);
    MH::TABPOPUP popup;
    popup.INIT(window);
    popup.ADDSHEET(sheet);
    popup.PREPAREWINDOW(1);
    while (window.Accept()) {
      popup.TAKEEVENT();
      if (EVENT() == EVENT_NewSelection && FIELD() == sheet.Number())
        window.Status(1, "tab " + std::to_string(sheet.Choice()));
      if (ACCEPTED() == close) break;
    }
  });
  DriverWindow w = ui.WaitWindow("Pages");
  DriverControl sheet = w.ControlNumber(2);
  sheet.Choose("&General");
  ui.AnswerPopup(3);
  sheet.RightClickAt(100, 15);
  EXPECT_EQ(ui.Requests().back().text, "+&General|Det ails|&Notes");
  EXPECT_EQ(sheet.Choice(), 3);
  EXPECT_EQ(w.Status(1), "tab 3");
  const std::size_t asked = ui.Requests().size();
  sheet.RightClickAt(100, 80);  // on a page, not its tab
  EXPECT_EQ(ui.Requests().size(), asked);
  w.Control("Close").Press();
  ui.Finish();
}

// Which sheets offer the popup without `all`: one whose tabs scroll, set by PREPAREWINDOW's
// style 1 or by the program itself, or one marked by style 2, which leaves the tabs as they are.
TEST(TabPopup, OnlyScrollingOrMarkedSheetsOfferTheirTabs) {
  struct Case {
    int style;
    bool program_scrolls;
    const char* scroll_tabs;
    bool offered;
  } cases[] = {
      {0, false, "", false},
      {1, false, "1", true},
      {2, false, "", true},
      {0, true, "1", true},
  };
  for (const Case& c : cases) {
    TestDriver ui;
    ui.Start([&c] {
      Window window("Pages");
      Control& area = window.Free();
      area.Place(0, 0, 200, 120);
      Control& sheet = area.Sheet();
      sheet.Place(10, 10, 180, 100);
      if (c.program_scrolls) sheet.Set(Prop::ScrollTabs, true);
      sheet.Tab("One");
      sheet.Tab("Two");
      const int close = area.Button("Close").Place(10, 112, 40, 8);
      MH::TABPOPUP popup;
      popup.INIT(window);
      popup.ADDSHEET(sheet);
      popup.PREPAREWINDOW(c.style);
      while (window.Accept() && ACCEPTED() != close) popup.TAKEEVENT();
    });
    DriverWindow w = ui.WaitWindow("Pages");
    DriverControl sheet = w.ControlNumber(2);
    EXPECT_EQ(sheet.Get(Prop::ScrollTabs), c.scroll_tabs) << "style " << c.style;
    ui.AnswerPopup(0);
    sheet.RightClickAt(100, 15);
    EXPECT_EQ(!ui.Requests().empty(), c.offered) << "style " << c.style;
    w.Control("Close").Press();
    ui.Finish();
  }
}

// With the headless text measure every letter is half the font's size wide, so a column 40
// dialog units wide holds 10 letters of the list's font.
TEST(WrapBrowse, FillsRowsLineByLineAtBreaksAndWordsAndCutsOverlongWords) {
  Window window("Wrap");
  Control& list = window.List("40L~Text~@s40@");
  std::string rows[3];
  MH::WRAPBROWSE wrap;
  wrap.INIT(list);
  for (std::string& row : rows) wrap.ADDROW(1, row);
  struct Case {
    const char* text;
    const char* first;
    const char* second;
    const char* third;
  } cases[] = {
      {"one\r\ntwo", "one", "two", ""},
      {"  the quick brown fox", "the quick", "brown fox", ""},
      {"abcdefghijklmnop", "abcdefghij", "klmnop", ""},
      {"a\r\n\r\nb", "a", "", "b"},
      {"one two three four five six seven", "one two", "three four", "five six"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    rows[0] = rows[1] = rows[2] = "stale";
    wrap.WRAP(c.text);
    EXPECT_EQ(rows[0], c.first) << c.text;
    EXPECT_EQ(rows[1], c.second) << c.text;
    EXPECT_EQ(rows[2], c.third) << c.text;
  }
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

// Five names, read as a view; "gone" marks records deleted after the view's read.
class Names final : public BrowseView {
 public:
  void Reset(int) override {
    next = 0;
    ++resets;
  }
  bool Next() override {
    if (next >= names.size()) return false;
    buffer = names[next++];
    return true;
  }
  long Position() const override { return static_cast<long>(next); }
  bool Fetch(long position) override {
    if (gone.count(position)) return false;
    buffer = names[static_cast<std::size_t>(position - 1)] + " (read again)";
    return true;
  }
  std::vector<std::string> names = {"Ann", "Bob", "Cy", "Di", "Ed"};
  std::set<long> gone = {2, 5};
  std::size_t next = 0;
  int resets = 0;
  std::string buffer;
};

TEST(RegetView, ReadsEachRecordAgainAndSkipsThoseGoneSince) {
  Names names;
  MH::VIEWMANAGER view(names, [&] { names.buffer.clear(); });
  view.OPEN(1);
  view.OPEN(1);
  EXPECT_EQ(names.resets, 1) << "opened once";
  EXPECT_EQ(view.NEXT(true), 0);
  EXPECT_EQ(names.buffer, "Ann (read again)");
  EXPECT_EQ(view.NEXT(true), 5);
  EXPECT_EQ(names.buffer, "") << "a record gone is cleared";
  EXPECT_EQ(view.NEXT(false), 0);
  EXPECT_EQ(names.buffer, "Cy") << "not read again";
  std::vector<std::string> seen;
  view.Reset(1);
  while (view.Next()) seen.push_back(names.buffer);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Ann (read again)", "Cy (read again)", "Di (read again)"}));
  view.KILL();
  view.OPEN(1);
  EXPECT_EQ(names.resets, 3);
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

class Towns final : public ListSource {
 public:
  std::size_t Records() const override { return towns.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return {towns[row]}; }
  std::vector<std::string> towns = {"Aston", "Bath", "barnet", "Crewe"};
};

TEST(EntryLocator, EnterInTheEntryGoesToTheFirstRowBeginningWithItsText) {
  TestDriver ui;
  ui.Start([] {
    String<20> find;
    Window window("Towns");
    window.Prompt("&Find:");
    Control& entry = window.Entry(find, "@s20");
    Control& list = window.List("60L~Town~@s20@");
    Towns towns;
    list.From(&towns);
    const int close = window.Button("Close");
    MH::ENTRYLOCATORCLASS locator;
    locator.INIT(entry, list, 1);
    while (window.Accept() && ACCEPTED() != close) {
      locator.TAKEEVENT();
      if (EVENT() == EVENT_NewSelection && FIELD() == list.Number())
        window.Status(1, "row " + std::to_string(list.Choice()));
    }
  });
  DriverWindow w = ui.WaitWindow("Towns");
  DriverControl entry = w.Control("&Find:");
  entry.TypeKeys("BAR");
  entry.PressKey(EnterKey);
  EXPECT_EQ(w.Status(1), "row 3") << "letter case aside";
  entry.TypeKeys("cr");
  entry.PressKey(EnterKey);
  EXPECT_EQ(w.Status(1), "row 4");
  entry.TypeKeys("zz");
  entry.PressKey(EnterKey);
  EXPECT_EQ(w.Status(1), "row 4") << "nothing begins with it: the row stays";
  w.Control("Close").Press();
  ui.Finish();
}

}  // namespace
}  // namespace vx
