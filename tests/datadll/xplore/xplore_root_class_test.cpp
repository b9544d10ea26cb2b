// The list extension on a browse, driven as a user drives it: a click on a header sorts on that
// column and a second click reverses it, with the column marked; a header dragged onto another
// moves its column; the layout is kept in the INI file and restored, but not when the window's
// list was changed since, nor when it names fields the list does not have.
#include "datadll/xplore/xplore_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/utility/zq_browse_class.h"
#include "framework/window_manager.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/window/test_driver.h"
#include "runtime/window/window.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

struct Person {
  long id = 0;
  std::string name;
  long born = 0;
  std::string city;
};
Person PER;

class PeopleView final : public BrowseView {
 public:
  explicit PeopleView(std::vector<Person>& people) : people_(people) {}
  void Reset(int) override { next_ = 0; }
  bool Next() override {
    if (next_ >= people_.size()) return false;
    PER = people_[next_++];
    return true;
  }
  long Position() const override { return PER.id; }
  bool Fetch(long position) override {
    for (const Person& p : people_) {
      if (p.id == position) {
        PER = p;
        return true;
      }
    }
    return false;
  }

 private:
  std::vector<Person>& people_;
  std::size_t next_ = 0;
};

struct PeopleBrowse final : ZQBROWSECLASS {
  void SetQueueRecord() override { Q = {PER.name, std::to_string(PER.born), PER.city, std::to_string(PER.id)}; }
};

constexpr const char* kFormat = "80L(2)M|~Name~@s20@50L(2)M|~Born~@d6@60L(2)M~City~@s20@";

struct Setup {
  std::string ini;
  std::string format = kFormat;
  std::string visual = "Underline";
  bool second_list = false;
};
Setup g_setup;
std::vector<Person> g_people;

void BrowsePeople() {
  Window window("People");
  Control& list = window.List(g_setup.format);
  Control* other = g_setup.second_list ? &window.List(kFormat) : nullptr;
  const int close = window.Button("Cl&ose");
  PeopleBrowse browse, other_browse;
  PeopleView view(g_people), other_view(g_people);
  WindowManager manager(window);
  manager.CancelControl = close;
  browse.Init(list, view, manager);
  browse.AddSortOrder();
  XPLORECLASS xplore, other_xplore;
  // The city column has no field label, so it cannot be ordered on.
  xplore.INIT(manager, browse, list, "BrowsePeople", "?List", {"PER:Name", "PER:Born", "", "PER:ID"},
              g_setup.visual, g_setup.ini);
  if (other) {
    other_browse.Init(*other, other_view, manager);
    other_browse.AddSortOrder();
    other_xplore.INIT(manager, other_browse, *other, "BrowsePeople", "?Other", {"PER:Name", "PER:Born", "", "PER:ID"},
                      g_setup.visual, g_setup.ini);
  }
  manager.Run();
}

std::vector<std::string> Column(const DriverControl& list, int column) {
  std::vector<std::string> out;
  for (std::size_t r = 1; r <= list.Rows(); ++r) out.push_back(list.Cell(static_cast<long>(r), column));
  return out;
}

class XploreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setup = {};
    g_setup.ini = (folder_ / "POSITION.INI").string();
    g_people = {{1, "walter", DATE(3, 1, 1990), "Oslo"},
                {2, "Anna", DATE(7, 4, 1985), "Bergen"},
                {3, "Bert", DATE(1, 15, 2001), "Alta"}};
  }
  DriverWindow Open() {
    ui_.Start(BrowsePeople);
    return ui_.WaitWindow("People");
  }
  void CloseAll(DriverWindow& w) {
    w.Close();
    ui_.Finish();
  }
  std::string Ini(std::string_view key) const { return IniFile(g_setup.ini).Get("BrowsePeople", key); }

  test_support::TempFolder folder_{"vx_xplore"};
  TestDriver ui_;
};

TEST_F(XploreTest, AHeaderClickSortsBothWaysAndMarksTheSortedColumn) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"walter", "Anna", "Bert"})) << "the browse's own order first";
  EXPECT_FALSE(list.HeaderUnderlined(1));

  list.ClickHeader(1);  // text without regard to case
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "Bert", "walter"}));
  EXPECT_TRUE(list.HeaderUnderlined(1));
  EXPECT_FALSE(list.HeaderUnderlined(2));

  list.ClickHeader(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"walter", "Bert", "Anna"}));
  EXPECT_TRUE(list.HeaderUnderlined(1));

  // Another column starts ascending, by its value (dates as days, not as the text shown).
  list.ClickHeader(2);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "walter", "Bert"}));
  EXPECT_FALSE(list.HeaderUnderlined(1));
  EXPECT_TRUE(list.HeaderUnderlined(2));
  list.ClickHeader(2);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Bert", "walter", "Anna"}));

  // A column without a field cannot be ordered on: the message, and nothing changes.
  ui_.AnswerMessage(BUTTON_OK);
  list.ClickHeader(3);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].caption, "Re-Order Option");
  EXPECT_EQ(ui_.Messages()[0].text, "Data cannot be ordered on column: City()");
  EXPECT_EQ(ui_.Messages()[0].icon, MessageIcon::Information);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Bert", "walter", "Anna"}));
  EXPECT_TRUE(list.HeaderUnderlined(2));

  // The header's right click offers the key sequence back.
  ui_.AnswerPopup(2);
  list.RightClickHeader(2);
  EXPECT_EQ(ui_.Requests().back().text, "Cancel|Key Sequence|File Sequence");
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"walter", "Anna", "Bert"}));
  EXPECT_FALSE(list.HeaderUnderlined(2));
  CloseAll(w);
}

TEST_F(XploreTest, TheHeaderVisualCanBeATokenBeforeTheHeader) {
  g_setup.visual = ">Header";
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  list.ClickHeader(2);
  EXPECT_EQ(list.Header(2), ">Born");
  list.ClickHeader(2);
  EXPECT_EQ(list.Header(2), "<Born");
  list.ClickHeader(1);
  EXPECT_EQ(list.Header(1), ">Name");
  EXPECT_EQ(list.Header(2), "Born");
  CloseAll(w);
  EXPECT_EQ(ParseListFormat(Ini("XploreFormatString-?List1"))[0].header, "Name") << "kept without the mark";
}

TEST_F(XploreTest, ADragMovesAColumnAndTheLayoutComesBackWhenTheWindowOpensAgain) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  list.DragHeader(3, 1);  // City to the front
  ASSERT_EQ(list.Columns(), 3u);
  EXPECT_EQ(list.Header(1), "City");
  EXPECT_EQ(list.Header(2), "Name");
  EXPECT_EQ(list.Cell(1, 1), "Oslo");
  EXPECT_EQ(list.Cell(1, 2), "walter");
  // A drag that ends on its own header neither moves nor sorts.
  list.DragHeader(2, 2);
  EXPECT_EQ(list.Header(2), "Name");
  EXPECT_FALSE(list.HeaderUnderlined(2));
  list.ResizeColumn(2, 120);
  list.ClickHeader(2);
  list.ClickHeader(2);  // Name, descending
  CloseAll(w);
  EXPECT_EQ(Ini("XplorePrevCol-?List"), "2");
  EXPECT_EQ(Ini("XploreAscDesc-?List"), "1");
  EXPECT_EQ(Ini("XploreOrigFormatString-?List"), kFormat);

  w = Open();
  list = w.ControlNumber(1);
  EXPECT_EQ(list.Header(1), "City");
  EXPECT_EQ(list.Header(2), "Name");
  EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[1].width, 120);
  EXPECT_TRUE(list.HeaderUnderlined(2));
  EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"walter", "Bert", "Anna"}));
  list.ClickHeader(2);  // the restored sort reverses
  EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"Anna", "Bert", "walter"}));
  CloseAll(w);
}

TEST_F(XploreTest, AKeptLayoutIsIgnoredAfterADesignChangeOrWhenItNamesFieldsTheListLacks) {
  DriverWindow w = Open();
  w.ControlNumber(1).DragHeader(3, 1);
  CloseAll(w);

  // The window's list has a new design: its own layout, and the old one is overwritten.
  g_setup.format = "80L(2)M|~Name~@s20@50L(2)M|~Born~@d6@70L(2)M~City~@s20@";
  w = Open();
  EXPECT_EQ(w.ControlNumber(1).Header(1), "Name");
  CloseAll(w);
  EXPECT_EQ(Ini("XploreOrigFormatString-?List"), g_setup.format);

  // A kept format naming field 9 of a list with four fields, and one past the length limit.
  for (const std::string& kept : {std::string("80L~Name~@s20@#9#50L~Born~@d6@#2#"),
                                  std::string("80L~") + std::string(1100, 'x') + "~@s20@#1#"}) {
    IniFile(g_setup.ini).Put("BrowsePeople", "XploreFormatString-?List1", kept);
    IniFile(g_setup.ini).Put("BrowsePeople", "XplorePrevCol-?List", "0");
    w = Open();
    DriverControl list = w.ControlNumber(1);
    ASSERT_EQ(list.Columns(), 3u);
    EXPECT_EQ(list.Header(1), "Name");
    EXPECT_EQ(list.Cell(1, 3), "Oslo");
    list.ClickHeader(1);
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "Bert", "walter"}));
    CloseAll(w);
  }
}

TEST_F(XploreTest, APressOnOneListIsNeverTheOtherListsClick) {
  g_setup.second_list = true;
  DriverWindow w = Open();
  DriverControl first = w.ControlNumber(1);
  DriverControl second = w.ControlNumber(2);
  // Pressed on the first list's header, released over the second's: the second list saw no
  // press of its own, so it does not sort; nor does the first, which saw no release.
  first.PressHeader(1);
  second.ReleaseHeader(1);
  EXPECT_FALSE(second.HeaderUnderlined(1));
  EXPECT_FALSE(first.HeaderUnderlined(1));
  EXPECT_EQ(Column(second, 1), (std::vector<std::string>{"walter", "Anna", "Bert"}));
  first.ClickHeader(1);
  EXPECT_TRUE(first.HeaderUnderlined(1));
  EXPECT_FALSE(second.HeaderUnderlined(1));
  EXPECT_EQ(Column(second, 1), (std::vector<std::string>{"walter", "Anna", "Bert"}));
  second.ClickHeader(2);
  EXPECT_TRUE(first.HeaderUnderlined(1));
  EXPECT_TRUE(second.HeaderUnderlined(2));
  EXPECT_EQ(Column(first, 1), (std::vector<std::string>{"Anna", "Bert", "walter"}));
  CloseAll(w);
}

}  // namespace
}  // namespace vx
