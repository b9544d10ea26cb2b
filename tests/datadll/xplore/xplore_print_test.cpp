// Printing a list from its popup: Print All with the totals of the columns that have them (the
// stored values summed, not the text their picture shows), Print Page with the rows in view
// only, the columns that do not fit the page left out from the right, and the preview hook a
// browse must supply.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/pictures.h"
#include "runtime/report/page_image.h"
#include "runtime/text_functions.h"
#include "tests/datadll/xplore/people_browse.h"

namespace vx::test {
namespace {

constexpr long kPrintAll = 1;
constexpr long kPrintPage = 2;

// The people's cities as an amount column (field 3 of the browse's rows), totalled.
constexpr const char* kAmounts = "80L(2)M|~Name~@s20@60R(2)|~Amount~@n-13.2@#3#";

void TotalTheCities(XPLORECLASS& xplore) {
  for (XPGQ& column : xplore.FQ) {
    if (column.QNOS == 3) column.TOTALOK = true;
  }
}

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class XplorePrintTest : public XploreTest {
 protected:
  // Chooses a print item on the list's popup and answers the texts of every page printed.
  static std::vector<std::string> Print(TestDriver& ui, long item,
                                        const std::function<void(DriverControl&)>& before = {}) {
    ui.Start(BrowsePeople);
    DriverWindow w = ui.WaitWindow("People");
    DriverControl list = w.ControlNumber(1);
    if (before) before(list);
    ui.AnswerPopup(item);
    list.RightClickCell(1, 1);
    w.Close();
    ui.Finish();
    std::vector<std::string> texts;
    for (const SeenRequest& print : ui.Prints()) {
      for (const report::PageImage& page : print.pages->pages) {
        for (const std::string& text : page.Texts()) texts.push_back(text);
      }
    }
    return texts;
  }
};

TEST_F(XplorePrintTest, PrintAllTotalsTheStoredValuesNotTheTextTheListShows) {
  const struct {
    std::vector<std::string> stored;
    const char* total;
  } cases[] = {
      // Read back from "1,234.00" each would add up as 1.
      {{"1234", "2000", "5"}, "3,239.00"},
      {{"1234.5", "0.25", "-10"}, "1,224.75"},
      {{"12", "", "abc"}, "12.00"},  // what is not a number adds nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.total);
    g_setup.format = kAmounts;
    g_setup.configure = [](XPLORECLASS& xplore) {
      TotalTheCities(xplore);
      xplore.ALLPREVIEW = 0;  // straight to the printer
    };
    for (std::size_t i = 0; i < g_people.size(); ++i) g_people[i].city = c.stored[i];
    TestDriver ui;
    const std::vector<std::string> texts = Print(ui, kPrintAll);
    ASSERT_EQ(ui.Prints().size(), 1u);
    EXPECT_EQ(ui.Prints()[0].pages->title, "People");
    for (const char* shown : {"People", "Name", "Amount", "walter", "Anna", "Bert", "Total"})
      EXPECT_TRUE(Holds(texts, shown)) << shown;
    EXPECT_TRUE(Holds(texts, c.total)) << ::testing::PrintToString(texts);
    EXPECT_TRUE(Holds(texts, CLIP(LEFT(FORMAT(c.stored[0], "@n-13.2")))));
  }
}

TEST_F(XplorePrintTest, PrintPageHoldsOnlyTheRowsInViewAndNoTotals) {
  g_setup.format = kAmounts;
  g_setup.configure = TotalTheCities;
  g_people.clear();
  for (int i = 1; i <= 8; ++i) g_people.push_back({i, "Person " + std::to_string(i), 0, "100"});
  const std::vector<std::string> texts =
      Print(ui_, kPrintPage, [](DriverControl& list) { list.ShowRows(3, 4); });
  // Without its preview flag the page prints at once.
  ASSERT_EQ(ui_.Prints().size(), 1u);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(Holds(texts, "Person " + std::to_string(i)), i >= 3 && i <= 6) << i;
  }
  EXPECT_TRUE(Holds(texts, "4 Records"));
  EXPECT_FALSE(Holds(texts, "Total"));
  EXPECT_FALSE(Holds(texts, "400.00"));
}

TEST_F(XplorePrintTest, ColumnsThatDoNotFitThePageAreLeftOutFromTheRight) {
  g_setup.format = "80L(2)M|~Name~@s100@50L(2)M|~Born~@d6@60L(2)M~City~@s80@";
  g_setup.configure = [](XPLORECLASS& xplore) { xplore.ALLPREVIEW = 0; };
  g_people[0].name = std::string(100, 'n');
  g_people[0].city = std::string(80, 'c');
  const std::vector<std::string> texts = Print(ui_, kPrintAll);
  EXPECT_TRUE(Holds(texts, "Name"));
  EXPECT_TRUE(Holds(texts, "Born"));
  EXPECT_FALSE(Holds(texts, "City"));
  EXPECT_FALSE(Holds(texts, "Bergen"));
}

TEST_F(XplorePrintTest, WithoutAPreviewerOfTheBrowsesOwnNothingPrints) {
  ui_.AnswerMessage(BUTTON_OK);
  Print(ui_, kPrintAll);
  EXPECT_TRUE(ui_.Prints().empty());
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].caption, "Xplore.MyPreview Base Method");
}

}  // namespace
}  // namespace vx::test
