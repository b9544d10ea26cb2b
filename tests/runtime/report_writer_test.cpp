// The page engine: bands laid out into pages with the fixed text metric (10 point: a character
// 69 units wide, a line 167 units high).
#include "runtime/report/report_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/dates.h"
#include "runtime/fixed_string.h"

namespace vx::report {
namespace {

constexpr long kLine = 167;

// The texts of every page, each page's texts top to bottom.
std::vector<std::vector<std::string>> TextsOf(const PageImageQueue& queue) {
  std::vector<std::vector<std::string>> out;
  for (const PageImage& page : queue.pages) out.push_back(page.Texts());
  return out;
}

// A page's texts that start with `prefix`.
std::vector<std::string> Starting(const std::vector<std::string>& texts, std::string_view prefix) {
  std::vector<std::string> out;
  for (const std::string& t : texts) {
    if (t.starts_with(prefix)) out.push_back(t);
  }
  return out;
}

// A layout on a small paper: room for eight lines between a one-line header and footer.
ReportLayout SmallPaper() {
  ReportLayout layout;
  layout.paper_height = 2200;
  layout.top = layout.bottom = 250;
  layout.page_header.Text("Heading", 0, 0);
  layout.page_footer.Text("Page", 0, 0).PageNumber("<<<#", 400, 0, 300);
  return layout;
}

TEST(ReportWriter, DetailsFillPagesBetweenHeaderAndFooterAndNumberThem) {
  ReportLayout layout = SmallPaper();
  String<20> name;
  layout.detail.String(name, "@s20", 0, 0, 2000);
  ReportWriter writer(layout);
  for (int i = 1; i <= 13; ++i) {
    name = "Row " + std::to_string(i);
    writer.PrintDetail();
  }
  const PageImageQueue queue = writer.End();

  // The 1366 units between header and footer take 8 rows of 167: 13 rows make two pages.
  ASSERT_EQ(queue.size(), 2u);
  std::vector<std::string> rows;
  for (std::size_t p = 0; p < queue.size(); ++p) {
    const std::vector<std::string> texts = queue.pages[p].Texts();
    EXPECT_EQ(texts.front(), "Heading");
    EXPECT_EQ(texts[texts.size() - 2], "Page");
    EXPECT_EQ(texts.back(), std::to_string(p + 1));
    for (const std::string& row : Starting(texts, "Row ")) rows.push_back(row);
    for (const PageItem& item : queue.pages[p].items) {
      if (item.text.starts_with("Row ")) {
        EXPECT_LE(item.y + item.height, 2200 - 250 - kLine);
      }
    }
  }
  ASSERT_EQ(rows.size(), 13u);  // every row once, in order
  for (int i = 1; i <= 13; ++i) EXPECT_EQ(rows[i - 1], "Row " + std::to_string(i));
  EXPECT_EQ(Starting(queue.pages[0].Texts(), "Row ").size(), 8u);
}

TEST(ReportWriter, MemoWrapsWithinItsWidthAndGoesOnOverTheNextPages) {
  ReportLayout layout = SmallPaper();
  std::string message;
  layout.detail.Text("Task", 0, 0).Memo(message, 1000, 0, 10 * 69);  // ten characters a line
  ReportWriter writer(layout);
  message = "one";
  writer.PrintDetail();
  // 24 words of 4 letters ("waxy wbxy ... wxxy"): two words a line, 12 lines, more than the 7
  // left on the page.
  message.clear();
  for (char letter = 'a'; letter < 'a' + 24; ++letter) {
    if (!message.empty()) message += ' ';
    message += std::string("w") + letter + "xy";
  }
  writer.PrintDetail();
  const PageImageQueue queue = writer.End();

  ASSERT_EQ(queue.size(), 2u);
  const auto pages = TextsOf(queue);
  const std::vector<std::string> first = Starting(pages[0], "w"), second = Starting(pages[1], "w");
  EXPECT_EQ(first.size(), 7u);  // the first task's line took one of the eight
  EXPECT_EQ(second.size(), 5u);
  EXPECT_EQ(first.front(), "waxy wbxy");
  EXPECT_EQ(second.back(), "wwxy wxxy");
  EXPECT_EQ(pages[1].front(), "Heading");
  EXPECT_EQ(Starting(pages[1], "Task").size(), 0u);  // the band's other items print once
  for (const PageImage& page : queue.pages) {
    for (const PageItem& item : page.items) {
      if (item.text.starts_with("w")) {
        EXPECT_LE(item.width, 10 * 69);
      }
    }
  }
}

TEST(ReportWriter, BandThatDoesNotFitStartsANewPageWhole) {
  ReportLayout layout = SmallPaper();
  layout.detail.Text("Top", 0, 0).Text("Bottom", 0, 600);
  ReportWriter writer(layout);
  for (int i = 0; i < 3; ++i) writer.PrintDetail();  // 767 each: one a page
  const PageImageQueue queue = writer.End();
  ASSERT_EQ(queue.size(), 3u);
  for (const auto& texts : TextsOf(queue)) {
    EXPECT_EQ(Starting(texts, "Top").size(), 1u);
    EXPECT_EQ(Starting(texts, "Bottom").size(), 1u);
  }
}

struct GroupCase {
  const char* name;
  bool new_page;
  std::vector<std::vector<std::string>> pages;
};

TEST(ReportWriter, GroupBreaksPrintFootersThenHeadersWhenTheKeyChanges) {
  const std::vector<std::pair<std::string, std::string>> records = {
      {"Home", "Paint"}, {"Home", "Sweep"}, {"Work", "Call"}, {"Zoo", "Feed"}};
  const GroupCase cases[] = {
      {"on one page",
       false,
       {{"Heading", "[Home]", "Paint", "Sweep", "end Work", "[Work]", "Call", "end Zoo", "[Zoo]",
         "Feed", "end Zoo", "Total", "Page", "1"}}},
      {"a page each",
       true,
       {{"Heading", "[Home]", "Paint", "Sweep", "end Work", "Page", "1"},
        {"Heading", "[Work]", "Call", "end Zoo", "Page", "2"},
        {"Heading", "[Zoo]", "Feed", "end Zoo", "Total", "Page", "3"}}},
  };
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReportLayout layout = SmallPaper();
    layout.paper_height = 5000;
    std::string category, task;
    GroupBreak& group = layout.groups.emplace_back();
    group.key = [&] { return category; };
    group.new_page = c.new_page;
    group.header.String([&] { return "[" + category + "]"; }, "", 0, 0, 1000);
    // A footer reads the buffers as they are: the record that broke the group.
    group.footer.String([&] { return "end " + category; }, "", 0, 0, 1000);
    layout.detail.String(task, "", 200, 0, 1000);
    layout.closing.Text("Total", 0, 0);
    ReportWriter writer(layout);
    for (const auto& [cat, name] : records) {
      category = cat;
      task = name;
      writer.PrintDetail();
    }
    EXPECT_EQ(TextsOf(writer.End()), c.pages);
  }
}

TEST(ReportWriter, ValuesShowUnderTheirPicturesAndCheckBoxesFollowTheirValue) {
  ReportLayout layout;
  std::int32_t date = DATE(3, 15, 2024);
  long count = 1234567;
  std::uint8_t done = 1, off = 0;
  layout.detail.String(date, "@d3", 0, 0, 1400)
      .String(count, "@n12", 1500, 0, 1200, Align::Right)
      .Check("Done", done, 3000, 0)
      .Check("Off", off, 4000, 0)
      .Line(0, 200, 7500, 200)
      .Box(0, 0, 7500, 250);
  layout.SetDatePictures("@d6");  // the user's date picture
  ReportWriter writer(layout);
  writer.PrintDetail();
  const PageImageQueue queue = writer.End();
  ASSERT_EQ(queue.size(), 1u);
  EXPECT_EQ(queue.pages[0].Texts(), (std::vector<std::string>{"15/03/2024", "1,234,567"}));
  std::vector<std::pair<std::string, bool>> checks;
  int lines = 0, boxes = 0;
  for (const PageItem& item : queue.pages[0].items) {
    if (item.kind == PageItem::Kind::Check) checks.emplace_back(item.text, item.checked);
    lines += item.kind == PageItem::Kind::Line;
    boxes += item.kind == PageItem::Kind::Box;
    if (item.text == "1,234,567") {
      EXPECT_EQ(item.align, Align::Right);
      EXPECT_EQ(item.width, 1200);
      EXPECT_EQ(item.x, 500 + 1500);  // from the left margin
    }
  }
  EXPECT_EQ(checks, (std::vector<std::pair<std::string, bool>>{{"Done", true}, {"Off", false}}));
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(boxes, 1);
}

TEST(ReportWriter, EmptyRunMakesNoPageUnlessItsClosingBandPrints) {
  ReportLayout layout = SmallPaper();
  layout.detail.Text("Row", 0, 0);
  EXPECT_TRUE(ReportWriter(layout).End().empty());
  layout.closing = Band(10);  // a blank closing band: the headers on one page
  const PageImageQueue queue = ReportWriter(layout).End();
  ASSERT_EQ(queue.size(), 1u);
  EXPECT_EQ(queue.pages[0].Texts(), (std::vector<std::string>{"Heading", "Page", "1"}));
}

struct WrapCase {
  const char* text;
  int characters;  // the line's width in characters of the fixed metric
  std::vector<std::string> lines;
};

TEST(WrapText, BreaksAtLineBreaksAndBlanksAndCutsLongWords) {
  const WrapCase cases[] = {
      {"", 10, {}},
      {"short", 10, {"short"}},
      {"one two three four", 9, {"one two", "three", "four"}},
      {"a\r\nb\nc\rd", 10, {"a", "b", "c", "d"}},
      {"first\n\nthird\n", 10, {"first", "", "third"}},
      {"abcdefghijkl", 5, {"abcde", "fghij", "kl"}},
      {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}},  // never inside a letter
      {"word    next", 6, {"word", "next"}},
  };
  const FixedTextMeasure measure;
  const ReportFont font;
  for (const WrapCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(WrapText(c.text, c.characters * 69, font, measure), c.lines);
  }
}

TEST(PageImage, TextFormReadsBackTheSamePage) {
  PageImage page;
  page.width = 11000;
  page.height = 8500;
  PageItem text;
  text.text = "tab\there\nline two \\ end";
  text.font = {.face = "Courier New", .size = 8.5, .bold = true, .underline = true};
  text.align = Align::Center;
  text.x = 10;
  text.y = 20;
  text.width = 300;
  text.height = 118;
  PageItem check;
  check.kind = PageItem::Kind::Check;
  check.checked = true;
  check.text = "Done";
  page.items = {text, check};
  const auto read = ReadPageImageText(PageImageText(page));
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, page);
  EXPECT_FALSE(ReadPageImageText("not a page"));
  EXPECT_FALSE(ReadPageImageText("page\t1\t2\n9\t0"));
}

TEST(PageImage, SheetsLeaveThePrinterCollatedOrPageByPage) {
  EXPECT_EQ(SheetOrder(3, 2, true), (std::vector<std::size_t>{0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(SheetOrder(3, 2, false), (std::vector<std::size_t>{0, 0, 1, 1, 2, 2}));
  EXPECT_EQ(SheetOrder(2, 0, true), (std::vector<std::size_t>{0, 1}));
}

}  // namespace
}  // namespace vx::report
