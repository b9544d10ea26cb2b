// The list extension on a browse, driven as a user drives it: a click on a header sorts on that
// column and a second click reverses it, with the column marked; a header dragged onto another
// moves its column; the layout is kept in the INI file and restored, but not when the window's
// list was changed since, nor when it names fields the list does not have.
#include "datadll/xplore/xplore_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/datadll/xplore/people_browse.h"

namespace vx::test {
namespace {

TEST_F(XploreTest, AHeaderClickSortsBothWaysAndMarksTheSortedColumn) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"walter", "Anna", "Bert"}))
      << "the browse's own order first";
  EXPECT_FALSE(list.HeaderUnderlined(1));

  list.ClickHeader(1);  // text without regard to case
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "Bert", "walter"}));
  EXPECT_EQ(w.Get(Prop::Cursor), "") << "the busy pointer of the re-sort is gone again";
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
  EXPECT_EQ(ParseListFormat(Ini("XploreFormatString-?List1"))[0].header, "Name")
      << "kept without the mark";
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

TEST_F(XploreTest, AKeptLayoutWithANumberOutOfRangeIsIgnored) {
  // Each kept layout names the list's own fields but holds a number out of range: a field
  // number whose following fields cannot be counted, or a width, indent or colour too large.
  const std::vector<std::string> hostile = {
      "80L~Name~@s20@#2147483647#50L~Born~@d6@#2#",
      "80L*I~Name~@s20@#2147483644#50L~Born~@d6@#2#",
      "80L~Name~@s20@#99999999999#50L~Born~@d6@#2#",
      "80L~Name~@s20@#1#50L~Born~@d6@#70000#",
      "99999999999L~Name~@s20@#1#50L~Born~@d6@#2#",
      "80L(99999999999)~Name~@s20@#1#50L~Born~@d6@#2#",
      "80L~Name~R(4294967297)@s20@#1#50L~Born~@d6@#2#",
      "80L~Name~@s20@#1#E(99999999999999999999,0,0,0)50L~Born~@d6@#2#",
  };
  for (const std::string& kept : hostile) {
    IniFile(g_setup.ini).Put("BrowsePeople", "XploreOrigFormatString-?List", kFormat);
    IniFile(g_setup.ini).Put("BrowsePeople", "XploreFormatString-?List1", kept);
    DriverWindow w = Open();
    DriverControl list = w.ControlNumber(1);
    EXPECT_EQ(list.Columns(), 3u) << kept;
    if (list.Columns() == 3u) {
      EXPECT_EQ(list.Header(2), "Born") << kept;
      EXPECT_EQ(list.Cell(1, 3), "Oslo") << kept;
    }
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

// Lists of one design share what is made of that design; each keeps its own layout and sort.
TEST_F(XploreTest, TwoListsOfOneDesignEachGetTheirOwnKeptLayout) {
  g_setup.second_list = true;
  DriverWindow w = Open();
  w.ControlNumber(1).DragHeader(3, 1);  // City to the front
  w.ControlNumber(1).ClickHeader(3);    // sorted on Born
  w.ControlNumber(2).ResizeColumn(1, 120);
  CloseAll(w);

  w = Open();
  DriverControl first = w.ControlNumber(1);
  DriverControl second = w.ControlNumber(2);
  EXPECT_EQ(first.Header(1), "City");
  EXPECT_EQ(first.Header(3), "Born");
  EXPECT_TRUE(first.HeaderUnderlined(3));
  EXPECT_EQ(Column(first, 2), (std::vector<std::string>{"Anna", "walter", "Bert"}));
  EXPECT_EQ(ParseListFormat(first.Get(Prop::Format))[1].width, 80);
  EXPECT_EQ(second.Header(1), "Name");
  EXPECT_EQ(second.Header(3), "City");
  EXPECT_FALSE(second.HeaderUnderlined(3));
  EXPECT_EQ(Column(second, 1), (std::vector<std::string>{"walter", "Anna", "Bert"}));
  EXPECT_EQ(ParseListFormat(second.Get(Prop::Format))[0].width, 120);
  CloseAll(w);
}

// A window of a list starts from the list's design, whatever an earlier window of the same
// design did to its columns, and the labels it was given count as much as the design.
TEST_F(XploreTest, AWindowStartsFromItsDesignAndItsOwnLabels) {
  g_setup.visual = ">Header";
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  list.ClickHeader(2);
  list.ClickHeader(2);
  list.DragHeader(1, 3);
  list.ResizeColumn(1, 90);
  EXPECT_EQ(list.Header(1), "<Born");
  CloseAll(w);
  ASSERT_TRUE(IniFile(g_setup.ini).DeleteSection("BrowsePeople"));

  // The same design, but the born field unlabelled: it cannot be ordered on now.
  g_setup.fields = {"PER:Name", "", "", "PER:ID"};
  w = Open();
  list = w.ControlNumber(1);
  for (int column = 1; column <= 3; ++column) {
    EXPECT_EQ(list.Header(column), ParseListFormat(kFormat)[column - 1].header);
    EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[column - 1].width,
              ParseListFormat(kFormat)[column - 1].width);
  }
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"walter", "Anna", "Bert"}));
  ui_.AnswerMessage(BUTTON_OK);
  list.ClickHeader(2);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, "Data cannot be ordered on column: Born()");
  list.ClickHeader(1);
  EXPECT_EQ(list.Header(1), ">Name") << "a first click orders ascending";
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "Bert", "walter"}));
  CloseAll(w);
}

// The columns are taken again from the list's own format whenever it changes, unless a number
// in it does not fit its place; each format is judged on its own text.
TEST_F(XploreTest, TheListsFormatIsTakenOnlyWhenEveryNumberFits) {
  struct Case {
    std::string format;
    bool taken;
  };
  // Formats of one length, some with a width too large, judged one after the other.
  static const std::vector<Case> cases = {
      {"80L~Name~@s20@#1#50L~Born~@d6@#70000#", false},
      {"80L~Name~@s20@#1#50L~Born~@d6@#2#", true},
      {"99999999999L~Born~@d6@#2#50L~Name~@s20@#1#", false},
      {"00000000080L~Born~@d6@#2#50L~Name~@s20@#1#", true},
      {"99999999999L~Name~@s20@#1#50L~Born~@d6@#2#", false},
      {"80L~Name~@s20@#1#50L~Born~@d6@#2#", true},
      {"99999999999L~Born~@d6@#2#50L~Name~@s20@#1#", false},
  };
  static std::vector<std::vector<std::string>> headers;
  headers.clear();
  ui_.Start([] {
    Window window("Formats");
    Control& list = window.List(kFormat);
    PeopleBrowse browse;
    PeopleView view(g_people);
    WindowManager manager(window);
    browse.Init(list, view, manager);
    XPLORECLASS xplore;
    xplore.INIT(manager, browse, list, "Formats", "?List", {"PER:Name", "PER:Born", "", "PER:ID"},
                "Underline", g_setup.ini);
    window.Open();
    for (const Case& c : cases) {
      list.Format(c.format);
      xplore.GETCOLUMNINFO();
      headers.emplace_back();
      for (const XPGQ& q : xplore.SQ) headers.back().push_back(q.HEADER);
    }
    window.Close();
  });
  ui_.Finish();
  ASSERT_EQ(headers.size(), cases.size());
  std::vector<std::string> expected = {"Name", "Born", "City"};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    if (cases[i].taken) {
      expected.clear();
      for (const ListColumn& c : ParseListFormat(cases[i].format)) expected.push_back(c.header);
    }
    EXPECT_EQ(headers[i], expected) << cases[i].format;
  }
}

TEST_F(XploreTest, FileSequenceShowsTheRecordsInTheOrderTheyWereStored) {
  g_people = {{3, "walter", DATE(3, 1, 1990), "Oslo"},
              {1, "Bert", DATE(7, 4, 1985), "Bergen"},
              {2, "Anna", DATE(1, 15, 2001), "Alta"}};
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  list.ClickHeader(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "Bert", "walter"}));
  ui_.AnswerPopup(3);
  list.RightClickHeader(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Bert", "Anna", "walter"}));
  EXPECT_FALSE(list.HeaderUnderlined(1));
  ui_.AnswerPopup(2);  // "Key Sequence": the browse's own order again
  list.RightClickHeader(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"walter", "Bert", "Anna"}));
  CloseAll(w);
}

// A layout longer than a list format may be is refused with a message and the list keeps the
// one it had, never a format cut short in the middle of a column.
TEST_F(XploreTest, ALayoutPastTheFormatsLimitIsRefusedWithAMessage) {
  struct Outcome {
    bool reformatted = true;
    std::string before, after;
  };
  static Outcome outcome;
  outcome = {};
  ui_.AnswerMessage(BUTTON_OK);
  ui_.Start([] {
    Window window("Wide");
    Control& list = window.List(kFormat);
    PeopleBrowse browse;
    PeopleView view(g_people);
    WindowManager manager(window);
    browse.Init(list, view, manager);
    browse.AddSortOrder();
    XPLORECLASS xplore;
    xplore.INIT(manager, browse, list, "Wide", "?List", {"PER:Name", "PER:Born", "", "PER:ID"},
                "Underline", g_setup.ini);
    window.Open();
    outcome.before = list.Get(Prop::Format);
    // Forty copies of the name column with the longest header a column may have.
    const XPGQ name = xplore.SQ.front();
    for (int i = 0; i < 40; ++i) {
      xplore.SQ.push_back(name);
      xplore.SQ.back().HEADER = std::string(25, 'h');
    }
    outcome.reformatted = xplore.REFORMATLISTBOX();
    outcome.after = list.Get(Prop::Format);
    window.Close();
  });
  ui_.Finish();
  EXPECT_FALSE(outcome.reformatted);
  EXPECT_EQ(outcome.after, outcome.before);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_NE(ui_.Messages()[0].text.find("1024"), std::string::npos) << ui_.Messages()[0].text;
}

}  // namespace
}  // namespace vx::test
