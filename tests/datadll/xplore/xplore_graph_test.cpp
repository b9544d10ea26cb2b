// The bar graph of a list column: the rows counted by category and drawn in their own window,
// the messages when there is nothing to draw or too much, and the date and hour groupings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/datadll/xplore/people_browse.h"

namespace vx::test {
namespace {

constexpr long kGraphItem = 5;  // "&Output", "Graph on ..."

class XploreGraphTest : public XploreTest {
 protected:
  void Graph(DriverControl& list, int column) {
    ui_.AnswerPopup(kGraphItem);
    list.RightClickCell(1, column);
  }
};

TEST_F(XploreGraphTest,
       EachCategoryIsABarWithItsCountShareAndColourAndThePictureGoesToTheClipboard) {
  g_people = {{1, "B", 0, "Oslo"}, {2, "A", 0, "Bergen"}, {3, "B", 0, "Oslo"}, {4, "C", 0, "Alta"}};
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  Graph(list, 1);
  DriverWindow graph = ui_.WaitWindow("Graph");
  DriverControl bars = graph.ControlNumber(1);
  EXPECT_EQ(bars.Kind(), ControlType::BarGraph);
  // By name, each with its count, its share and the next of the graph colours.
  EXPECT_EQ(bars.Get(Prop::Value), "A\t1\t25.00\t128\nB\t2\t50.00\t32896\nC\t1\t25.00\t8388608\n");
  EXPECT_EQ(bars.Get(Prop::Text), "3 Categories of Field: Name (4 rows)\nFilter: ")
      << "the title counts the bars, not the rows";

  graph.Control("&To Clipboard").Press();
  EXPECT_EQ(graph.PicturesCopied(), 1);
  EXPECT_TRUE(graph.Control("OK").Hidden()) << "the picture is taken without the buttons";
  ui_.WaitUntil([&] { return !graph.Control("OK").Hidden(); }, "the buttons to come back");
  // Print Screen and Alt+Print Screen do the same.
  bars.PressKey(PrintScreenKey);
  EXPECT_EQ(graph.PicturesCopied(), 2);
  ui_.WaitUntil([&] { return !graph.Control("OK").Hidden(); }, "the buttons to come back");
  bars.PressKey(AltPrintScreen);
  EXPECT_EQ(graph.PicturesCopied(), 3);
  ui_.WaitUntil([&] { return !graph.Control("OK").Hidden(); }, "the buttons to come back");
  EXPECT_EQ(IniFile(g_setup.ini).Get("XplorePreferences", "FontSize", "none"), "none");
  EXPECT_EQ(bars.Get(Prop::FontSize), "12") << "the preferences' default size";

  // The preferences reorder the colours: the first bar takes the new first colour.
  graph.Control("Pre&ferences").Press();
  DriverWindow preferences = ui_.WaitWindow("Preferences");
  preferences.ControlNumber(2).ChooseRow(1);
  preferences.Control("Move Down").Press();
  EXPECT_EQ(preferences.ControlNumber(2).Cell(1, 1), "Olive");
  preferences.Control("OK").Press();
  ui_.WaitClosed(preferences);
  EXPECT_EQ(bars.Get(Prop::Value).substr(0, 12), "A\t1\t25.00\t32");
  EXPECT_EQ(IniFile(g_setup.ini).Get("XplorePreferences", "Col01"), "Olive");
  EXPECT_EQ(IniFile(g_setup.ini).Get("XplorePreferences", "Col02"), "Maroon");
  graph.Control("OK").Press();
  ui_.WaitClosed(graph);
  CloseAll(w);
}

TEST_F(XploreGraphTest, OneCategoryOrMoreThan150AreNotDrawn) {
  for (Person& p : g_people) p.name = "Same";
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Graph(list, 1);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, "There is only one category to Graph of 'Name'");
  EXPECT_EQ(ui_.Messages()[0].icon, MessageIcon::Information);
  EXPECT_FALSE(ui_.HasWindow("Graph"));
  CloseAll(w);

  for (int extra : {150, 151}) {
    g_people.clear();
    for (int i = 0; i < extra; ++i) g_people.push_back({i + 1, "Name " + std::to_string(i), 0, ""});
    w = Open();
    list = w.ControlNumber(1);
    const std::size_t before = ui_.Messages().size();
    ui_.AnswerMessage(BUTTON_OK);
    Graph(list, 1);
    if (extra == 150) {
      DriverWindow graph = ui_.WaitWindow("Graph");
      EXPECT_EQ(ui_.Messages().size(), before);
      graph.Close();
      ui_.WaitClosed(graph);
    } else {
      ASSERT_EQ(ui_.Messages().size(), before + 1);
      EXPECT_EQ(ui_.Messages().back().text,
                "Too complex to graph - exceeds max number of categories: 150 - 'Name");
    }
    CloseAll(w);
  }
}

// The list's window shows the busy pointer while its rows are counted (the too-complex message
// comes from inside the count) and the normal one once the count has given up.
TEST_F(XploreGraphTest, TheListShowsTheBusyPointerWhileItsRowsAreCounted) {
  g_people.clear();
  for (int i = 0; i < 151; ++i) g_people.push_back({i + 1, "Name " + std::to_string(i), 0, ""});
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  EXPECT_EQ(w.Get(Prop::Cursor), "");
  Graph(list, 1);
  ui_.WaitUntil([&] { return !ui_.Messages().empty(); }, "the too-complex message");
  EXPECT_EQ(w.Get(Prop::Cursor), "Wait");
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text.rfind("Too complex to graph", 0), 0u);
  ui_.WaitUntil([&] { return w.Get(Prop::Cursor).empty(); }, "the normal pointer back");
  CloseAll(w);
}

TEST(XploreGraphGroups, MonthsDaysAndHourBands) {
  EXPECT_EQ(XPLORECLASS::GETMONTHNAME(1), " 1 =January");
  EXPECT_EQ(XPLORECLASS::GETMONTHNAME(12), "12 =December");
  EXPECT_EQ(XPLORECLASS::GETDAYNAME(7), " 7 =Saturday");
  const struct {
    const char* time;
    const char* six;
    const char* four;
  } cases[] = {
      {"00:00", "00:00-05:59", "00:00-03:59"}, {"03:59", "00:00-05:59", "00:00-03:59"},
      {"04:00", "00:00-05:59", "04:00-07:59"}, {"05:59", "00:00-05:59", "04:00-07:59"},
      {"06:00", "06:00-11:59", "04:00-07:59"}, {"12:30", "12:00-17:59", "12:00-15:59"},
      {"23:59", "18:00-23:59", "20:00-23:59"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(XPLORECLASS::GET6HRSTRING(c.time), c.six) << c.time;
    EXPECT_EQ(XPLORECLASS::GET4HRSTRING(c.time), c.four) << c.time;
  }
  EXPECT_EQ(XPLORECLASS::COLORSTRINGTOLONG("Navy", 7), 0x800000);
  EXPECT_EQ(XPLORECLASS::COLORSTRINGTOLONG("None", 7), -1);
  EXPECT_EQ(XPLORECLASS::COLORSTRINGTOLONG("Mauve", 7), 7);
}

}  // namespace
}  // namespace vx::test
