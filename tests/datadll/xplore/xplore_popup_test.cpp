// The list popup the extension adds to a browse: its nested items for the program's popup mask,
// the filters by the highlighted cell (quoted for the evaluator, so an apostrophe is just a
// letter), sorting, hiding, showing and moving columns, and the CSV and HTML exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/csv.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "tests/datadll/xplore/people_browse.h"

namespace vx::test {
namespace {

// A date as a cell of the list shows it: under its picture, without the leading blank.
std::string Shown(std::int32_t date) { return CLIP(LEFT(FORMAT(date, "@d6"))); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The popup's items are numbered from 1 through every submenu, separators and titles aside.
enum Item : long {
  kPrintAll = 1,
  kPrintPage,
  kExportAscii,
  kExportHtml,
  kGraph,
  kResetToDefault,
  kBestFit,
  kListProperties,
  kSortOn,
  kFilterEqual,
  kFilterNotEqual,
  kFilterLess,
  kFilterGreater,
  kFilterEquality,
  kCancelFilter,
};

class XplorePopupTest : public XploreTest {
 protected:
  // Right click on a cell, choosing an item of the popup; answers the popup's text.
  std::string Choose(DriverControl& list, long row, int column, long item) {
    ui_.AnswerPopup(item);
    list.RightClickCell(row, column);
    return ui_.Requests().back().text;
  }
};

TEST_F(XplorePopupTest, TheProgramsMaskGivesOutputListAndFilterMenus) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  list.ChooseRow(2);
  const std::string menu = Choose(list, 2, 1, 0);
  EXPECT_EQ(menu,
            "{&Output|Print All|Print Page|Export to ASCII (XPort.CSV)|Export to HTML "
            "(XPort.HTM)|Graph on Name}|"
            "{&List|Reset to Default|Best-fit Column Widths|List Properties|Sort on Name|"
            "{&Filter|Add Filter of (Name = Anna)|Add Filter of (Name <> Anna)|-|Add Filter of "
            "(Name < Anna)|"
            "Add Filter of (Name > Anna)|Add = to Filter|-|~Cancel Filter}}");
  // The column under the mouse: the city column has no field, so it can be neither sorted on
  // nor filtered by.
  const std::string city = Choose(list, 2, 3, 0);
  EXPECT_NE(city.find("~Sort on City"), std::string::npos) << city;
  EXPECT_NE(city.find("~Add Filter of (City = Bergen)"), std::string::npos) << city;
  CloseAll(w);
}

TEST_F(XplorePopupTest, AMaskOfNoneLeavesOutListPropertiesAndTheXploreMenu) {
  g_setup.mask = 0;
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  const std::string menu = Choose(list, 1, 1, 0);
  EXPECT_EQ(menu.find("List Properties"), std::string::npos);
  EXPECT_EQ(menu.find("{&Xplore"), std::string::npos);
  EXPECT_NE(menu.find("{&Filter"), std::string::npos);
  CloseAll(w);

  g_setup.mask = 0x2000 | 0x20000;
  w = Open();
  list = w.ControlNumber(1);
  EXPECT_NE(Choose(list, 1, 1, 0).find("{&Xplore|Move Left|Move Right|-|"), std::string::npos);
  CloseAll(w);
}

TEST_F(XplorePopupTest, EachFilterTakesTheHighlightedCellAndCancelShowsEveryRowAgain) {
  g_people.push_back({4, "O'Brien", DATE(7, 4, 1985), "Cork"});
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  const struct {
    long row;
    int column;
    long item;
    bool equality;
    std::vector<std::string> names;
  } cases[] = {
      {2, 1, kFilterEqual, false, {"Anna"}},
      {2, 1, kFilterNotEqual, false, {"walter", "Bert", "O'Brien"}},
      {4, 1, kFilterEqual, false, {"O'Brien"}},      // an apostrophe in the cell is only a letter
      {4, 1, kFilterLess, false, {"Anna", "Bert"}},  // text without regard to case
      {3, 1, kFilterGreater, false, {"walter", "O'Brien"}},
      {3, 1, kFilterGreater, true, {"walter", "Bert", "O'Brien"}},  // "Add = to Filter": >=
      {2, 2, kFilterEqual, false, {"Anna", "O'Brien"}},             // dates by their value
      {1, 2, kFilterLess, false, {"Anna", "O'Brien"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.row) + " column " + std::to_string(c.column) + " item " +
                 std::to_string(c.item));
    list.ChooseRow(c.row);
    if (c.equality) Choose(list, c.row, c.column, kFilterEquality);
    Choose(list, c.row, c.column, c.item);
    EXPECT_EQ(Column(list, 1), c.names);
    if (c.equality) Choose(list, 1, c.column, kFilterEquality);
    Choose(list, 1, c.column, kCancelFilter);
    EXPECT_EQ(list.Rows(), 4u);
  }
  // Two filters on different columns both hold; a header sort keeps them.
  list.ChooseRow(2);
  Choose(list, 2, 2, kFilterEqual);  // born 4 July 1985
  list.ChooseRow(1);
  Choose(list, 1, 1, kFilterNotEqual);  // not Anna
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"O'Brien"}));
  list.ClickHeader(1);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"O'Brien"}));
  CloseAll(w);
}

TEST_F(XplorePopupTest, SortOnHideAndShowAColumnAndBestFit) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  Choose(list, 1, 2, kSortOn);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Anna", "walter", "Bert"}));
  EXPECT_TRUE(list.HeaderUnderlined(2));

  Choose(list, 1, 2, kBestFit);
  const std::vector<ListColumn> fitted = ParseListFormat(list.Get(Prop::Format));
  ASSERT_EQ(fitted.size(), 3u);
  EXPECT_EQ(fitted[0].width, 6 * 4 + 2 + 1) << "\"walter\": six letters, the indent and one";
  CloseAll(w);

  g_setup.mask = 0x2000;
  w = Open();
  list = w.ControlNumber(1);
  // The "&Xplore" items follow the filter's ("List Properties" is not offered under this mask):
  // "Move Left" on the first column keeps the layout, "Move Right" moves it.
  const long move_left = kCancelFilter, move_right = kCancelFilter + 1;
  ASSERT_NE(Choose(list, 1, 1, 0).find("~Cancel Filter}|{&Xplore|Move Left|Move Right"),
            std::string::npos);
  Choose(list, 1, 1, move_left);
  EXPECT_EQ(list.Header(1), "Name");
  Choose(list, 1, 1, move_right);
  EXPECT_EQ(list.Header(1), "Born");
  EXPECT_EQ(list.Header(2), "Name");
  EXPECT_EQ(list.Cell(1, 2), "Anna")
      << "the names moved with their column (the sort on Born was kept)";
  CloseAll(w);
}

TEST_F(XplorePopupTest, TheCsvExportCountsRowsAndQuotesCellsAsItsReadersExpect) {
  InFolder();
  test::FakeShellOpener opener;
  g_setup.opener = &opener;
  g_people = {{1, "Smith, John", DATE(3, 1, 1990), "Oslo"},
              {2, "The \"Boss\", Ann", DATE(7, 4, 1985), "Bergen"},
              {3, "Say \"hi\"", DATE(1, 15, 2001), ""}};
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 1, 1, kExportAscii);
  const std::string expected =
      "# Records=0000003\r\n"
      "Name,Born,City\r\n"
      "\"Smith, John\"," +
      Shown(DATE(3, 1, 1990)) +
      ",Oslo\r\n"
      "\"The \"\"Boss\"\", Ann\"," +
      Shown(DATE(7, 4, 1985)) +
      ",Bergen\r\n"
      "\"Say \"\"hi\"\"\"," +
      Shown(DATE(1, 15, 2001)) + ",\r\n";
  EXPECT_EQ(ReadFile(folder_ / "XPort.CSV"), expected);
  ASSERT_EQ(opener.requests.size(), 1u);
  EXPECT_EQ(opener.requests[0].target, (folder_ / "XPort.CSV").string());
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text,
            "The list was exported to " + (folder_ / "XPort.CSV").string() + " and opened.");
  CloseAll(w);

  // An empty list: the count in seven zeros and the header line only.
  g_people.clear();
  w = Open();
  list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 0, 0, kExportAscii);
  EXPECT_EQ(ReadFile(folder_ / "XPort.CSV"), "# Records=0000000\r\nName,Born,City\r\n");
  CloseAll(w);
}

// Long cells and rows are written whole: a comma-separated reader gets back every cell the list
// shows, however long, with its commas, quotes and line breaks.
TEST_F(XplorePopupTest, TheCsvExportReadsBackEqualToTheList) {
  InFolder();
  test::FakeShellOpener opener;
  g_setup.opener = &opener;
  g_setup.format = "80L(2)M|~Name, full~@s400@50L(2)M|~Born~@d6@60L(2)M~City~@s3000@";
  std::string long_cell(300, 'n');
  long_cell.replace(100, 3, ",\"\"");
  std::string long_city;
  while (long_city.size() < 2960) long_city += "Tromsø, \"North\"\r\nline ";
  g_people = {{1, long_cell, DATE(3, 1, 1990), "Oslo"},
              {2, "Ann \"The Boss\", Jr " + std::string(80, 'a'), DATE(7, 4, 1985), long_city},
              {3, "", DATE(1, 15, 2001), ","}};
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 1, 1, kExportAscii);
  const std::vector<CsvRecord> records = ReadCsvText(ReadFile(folder_ / "XPort.CSV"));
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].fields.size(), 1u);
  EXPECT_EQ(records[0].fields[0].text, "# Records=0000003");
  std::vector<std::vector<std::string>> read;
  for (std::size_t r = 1; r < records.size(); ++r) {
    read.emplace_back();
    for (const CsvField& field : records[r].fields) read.back().push_back(field.text);
  }
  // The cells as the list shows them, each without its leading and trailing blanks.
  std::vector<std::vector<std::string>> shown = {{"Name, full", "Born", "City"}};
  for (long r = 1; r <= static_cast<long>(list.Rows()); ++r) {
    shown.emplace_back();
    for (int c = 1; c <= 3; ++c) shown.back().push_back(CLIP(LEFT(list.Cell(r, c))));
  }
  EXPECT_EQ(read, shown);
  EXPECT_EQ(read[1][0], long_cell);
  EXPECT_GT(read[2][0].size() + read[2][2].size(), 3000u);
  EXPECT_EQ(read[2][2], CLIP(long_city));
  CloseAll(w);
}

TEST_F(XplorePopupTest, TheHtmlExportShowsMarkupAsTextAndDeclaresUtf8) {
  InFolder();
  test::FakeShellOpener opener;
  g_setup.opener = &opener;
  g_people = {{1, "<script>", DATE(3, 1, 1990), "Tromsø & Co"},
              {2, "\"Ann\"", DATE(7, 4, 1985), ""}};
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 1, 1, kExportHtml);
  const std::string html = ReadFile(folder_ / "XPort.HTM");
  EXPECT_EQ(html.find("<script>"), std::string::npos) << html;
  EXPECT_NE(html.find("<TD>&lt;script&gt;</TD>"), std::string::npos) << html;
  EXPECT_NE(html.find("<TD>Tromsø &amp; Co</TD>"), std::string::npos);
  EXPECT_NE(html.find("<TD>&quot;Ann&quot;</TD> <TD>" + Shown(DATE(7, 4, 1985)) +
                      "</TD> <TD>&nbsp</TD> </TR>"),
            std::string::npos)
      << html;
  EXPECT_EQ(
      html.rfind(
          "<HTML>\n<HEAD><META CHARSET=\"UTF-8\"><TITLE>People</TITLE></HEAD>\n<H1>People</H1><P>\n"
          "<TABLE BORDER=2>\n<TR> <TD>Name</TD> <TD>Born</TD> <TD>City</TD> </TR>\n",
          0),
      0u)
      << html;
  EXPECT_EQ(html.substr(html.size() - 17), "</TABLE>\n</HTML>\n");
  CloseAll(w);
}

TEST_F(XplorePopupTest, AnExportThatCannotBeWrittenIsReportedAndNothingIsOpened) {
  InFolder();
  test::FakeShellOpener opener;
  g_setup.opener = &opener;
  // A folder stands where the export goes: it cannot be replaced by the file.
  std::filesystem::create_directory(folder_ / "XPort.CSV");
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 1, 1, kExportAscii);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].caption, "Xplore");
  EXPECT_NE(ui_.Messages()[0].text.find("could not be exported"), std::string::npos)
      << ui_.Messages()[0].text;
  EXPECT_TRUE(opener.requests.empty()) << "nothing is opened as if it were the new export";
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    ++files;
  EXPECT_EQ(files, 1) << "the folder only: no half-written file is left";

  CloseAll(w);
}

// Wherever the export went, the user is told where it lies: also when no program opens it, or
// when the list's owner asked for no opening at all.
TEST_F(XplorePopupTest, AnExportSaysWhereItIsAndWhyNothingOpenedIt) {
  InFolder();
  test::FakeShellOpener opener;
  g_setup.opener = &opener;
  opener.result = platform::SHELL_NO_ASSOCIATION;
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 1, 1, kExportHtml);
  const std::string html = (folder_ / "XPort.HTM").string();
  ASSERT_EQ(ui_.Messages().size(), 1u);
  const SeenRequest failed = ui_.Messages()[0];
  EXPECT_EQ(failed.caption, "Export");
  EXPECT_EQ(failed.icon, MessageIcon::Exclamation);
  EXPECT_EQ(
      failed.text.rfind("The list was exported to " + html + ", but no program opened it.\n\n" +
                            platform::ShellOpenFailure(platform::SHELL_NO_ASSOCIATION),
                        0),
      0u)
      << failed.text;
  EXPECT_NE(failed.text.find("\".HTM\" files"), std::string::npos) << failed.text;
  EXPECT_EQ(failed.text.find('|'), std::string::npos) << "lines break at line ends only";
  EXPECT_TRUE(std::filesystem::is_regular_file(html)) << "the file stays for the user to open";
  CloseAll(w);

  // A list whose owner opens nothing still says where the file went.
  g_setup.shell_execute = false;
  w = Open();
  list = w.ControlNumber(1);
  ui_.AnswerMessage(BUTTON_OK);
  Choose(list, 1, 1, kExportAscii);
  ASSERT_EQ(ui_.Messages().size(), 2u);
  EXPECT_EQ(ui_.Messages()[1].text,
            "The list was exported to " + (folder_ / "XPort.CSV").string() + ".");
  EXPECT_EQ(opener.requests.size(), 1u) << "nothing opened this time";
  CloseAll(w);
}

TEST_F(XplorePopupTest, ListPropertiesHideShowAndColourColumns) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  Choose(list, 1, 1, kListProperties);
  DriverWindow properties = ui_.WaitWindow("List Properties");
  DriverControl shown = properties.ControlNumber(2);
  DriverControl all = properties.ControlNumber(3);
  ASSERT_EQ(shown.Rows(), 3u);
  EXPECT_EQ(all.CellDetail(2, 1).icon, "~XpCheck.ICO");
  // A right click on a shown column hides it; on a field of the list shows it again, last.
  shown.ChooseRow(2);
  shown.RightClick();
  EXPECT_EQ(list.Columns(), 2u);
  EXPECT_EQ(list.Header(2), "City");
  EXPECT_EQ(all.CellDetail(2, 1).icon, "");
  all.ChooseRow(2);
  properties.Control("Add Column to display list").Press();
  ASSERT_EQ(list.Columns(), 3u);
  EXPECT_EQ(list.Header(3), "Born");
  EXPECT_EQ(list.Cell(1, 3), FORMAT(DATE(3, 1, 1990), "@d6"));
  // The last column shown cannot be hidden.
  shown.ChooseRow(1);
  properties.Control("Hide column from display list").Press();
  properties.Control("Hide column from display list").Press();
  properties.Control("Hide column from display list").Press();
  EXPECT_EQ(list.Columns(), 1u);

  // Colours of the current column, applied at once; "&Default" brings the design back.
  properties.Control("C&olors").Press();
  DriverWindow colours = ui_.WaitWindow("Column Colors");
  // Each colour is offered with a sample of itself; "None" has none.
  DriverControl normal_text = colours.ControlNumber(4);
  ASSERT_EQ(normal_text.Kind(), ControlType::DropList);
  for (long row = 1; row <= static_cast<long>(normal_text.Rows()); ++row) {
    const ListCell item = normal_text.CellDetail(row, 1);
    EXPECT_EQ(item.swatch, XPLORECLASS::COLORSTRINGTOLONG(item.text, -1)) << item.text;
  }
  EXPECT_EQ(normal_text.CellDetail(1, 1).text, "None");
  EXPECT_EQ(normal_text.CellDetail(1, 1).swatch, -1);
  normal_text.Choose("Red");  // normal text
  EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[0].normal_fg, 0x0000FF);
  colours.Control("&Reset").Press();
  EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[0].normal_fg, -1);
  colours.Control("OK").Press();
  ui_.WaitClosed(colours);
  properties.Control("&Default").Press();
  EXPECT_EQ(list.Columns(), 3u);
  EXPECT_EQ(list.Header(1), "Name");
  // Alt+Up moves the current column right, Alt+Left hides it.
  shown.ChooseRow(1);
  shown.PressKey(0x426);
  EXPECT_EQ(list.Header(1), "Born");
  EXPECT_EQ(list.Header(2), "Name");
  EXPECT_EQ(shown.Choice(), 2) << "the moved column stays the current one";
  shown.PressKey(0x425);
  EXPECT_EQ(list.Columns(), 2u);
  properties.Control("&Close").Press();
  ui_.WaitClosed(properties);
  CloseAll(w);
}

TEST_F(XplorePopupTest, TheKeysAndTheAttributeWindowsChangeTheListAtOnceAndItsFontIsKept) {
  g_setup.mask = 0x400 | 0x800 | 0x100000;
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  // "&Xplore" after the filter: "Width" then "Header Text".
  const long width_item = kCancelFilter + 1, header_item = kCancelFilter + 2;
  ASSERT_NE(Choose(list, 1, 2, 0).find("{&Xplore|Width|Header Text|-|-}"), std::string::npos);
  ui_.AnswerPopup(width_item);
  list.RightClickCell(1, 2);
  DriverWindow attribute = ui_.WaitWindow("Attribute");
  attribute.ControlNumber(2).Type("90");
  EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[1].width, 90)
      << "applied before the window closes";
  attribute.Control("OK").Press();
  ui_.WaitClosed(attribute);

  ui_.AnswerPopup(header_item);
  list.RightClickCell(1, 2);
  attribute = ui_.WaitWindow("Attribute");
  attribute.Control("Header Text").Type("Birthday");
  attribute.Control("OK").Press();
  ui_.WaitClosed(attribute);
  EXPECT_EQ(list.Header(2), "Birthday");

  list.PressKey(AltF11);  // best fit: the widest name, "walter", with its indent
  EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[0].width, 6 * 4 + 2 + 1);
  EXPECT_EQ(w.Get(Prop::Cursor), "") << "the busy pointer of the measuring is put back";
  list.PressKey(AltF12);  // the window's own layout
  EXPECT_EQ(list.Header(2), "Born");
  EXPECT_EQ(ParseListFormat(list.Get(Prop::Format))[1].width, 50);

  Choose(list, 1, 1, kListProperties);
  DriverWindow properties = ui_.WaitWindow("List Properties");
  properties.Control("F&ont").Press();
  DriverWindow font = ui_.WaitWindow("Font");
  font.Control("Typeface").Type("DejaVu Sans Mono");
  font.Control("Size").Type("14");
  font.Control("Style").Choose("Bold");
  font.Control("OK").Press();
  ui_.WaitClosed(font);
  EXPECT_EQ(list.Get(Prop::FontName), "DejaVu Sans Mono");
  EXPECT_EQ(list.Get(Prop::FontStyle), "700");
  EXPECT_EQ(list.Get(Prop::FontSize), "14");
  properties.Control("&Close").Press();
  ui_.WaitClosed(properties);
  CloseAll(w);

  w = Open();
  EXPECT_EQ(w.ControlNumber(1).Get(Prop::FontName), "DejaVu Sans Mono");
  EXPECT_EQ(w.ControlNumber(1).Get(Prop::FontSize), "14");
  w.ControlNumber(1).PressKey(AltF12);  // the window's own layout: the design's font again
  EXPECT_EQ(w.ControlNumber(1).Get(Prop::FontName), "");
  EXPECT_EQ(w.ControlNumber(1).Get(Prop::FontSize), "0");
  CloseAll(w);
}

// The extension's keys are alerted on the list once each, those it had before first.
TEST_F(XplorePopupTest, TheListIsAlertedOnceOnEachOfTheExtensionsKeys) {
  struct Case {
    std::vector<int> before;
    std::vector<int> keys;  // the extension's keys among the list's alerts, in order
  };
  const std::vector<Case> cases = {
      {{}, {AltF11, AltF12, CtrlAltR, AltM}},
      {{AltF12}, {AltF12, AltF11, CtrlAltR, AltM}},
      {{AltM, 13, CtrlAltR}, {AltM, CtrlAltR, AltF11, AltF12}},
  };
  static std::vector<int> before;
  for (const Case& c : cases) {
    before = c.before;
    g_setup.configure = [](XPLORECLASS& xplore) {
      for (int key : before) xplore.ListBox()->Alert(key);
    };
    DriverWindow w = Open();
    std::vector<std::string> alerts;
    std::stringstream text(w.ControlNumber(1).Get(Prop::Alert));
    for (std::string key; std::getline(text, key, '|');) alerts.push_back(key);
    std::vector<int> keys;
    for (const std::string& key : alerts) {
      for (int k : {AltF11, AltF12, CtrlAltR, AltM}) {
        if (key == std::to_string(k)) keys.push_back(k);
      }
    }
    EXPECT_EQ(keys, c.keys) << w.ControlNumber(1).Get(Prop::Alert);
    EXPECT_EQ(std::count(alerts.begin(), alerts.end(), "13"), 1) << "Enter, the browse's own";
    CloseAll(w);
  }
}

TEST_F(XplorePopupTest, ListPropertiesOfferAColumnsAttributesOnlyUnderTheirMaskBits) {
  DriverWindow w = Open();
  DriverControl list = w.ControlNumber(1);
  Choose(list, 1, 2, kListProperties);
  DriverWindow properties = ui_.WaitWindow("List Properties");
  EXPECT_TRUE(properties.Control("Te&xt").Disabled()) << "the program's mask offers none of them";
  EXPECT_TRUE(properties.Control("F&ixed").Disabled());
  EXPECT_TRUE(properties.Control("&LineHeight").Disabled());
  EXPECT_TRUE(properties.Control("&Vertical Scroll").Disabled());
  properties.Control("&Close").Press();
  ui_.WaitClosed(properties);
  CloseAll(w);

  g_setup.mask = 0x1FFFFFFF;
  w = Open();
  list = w.ControlNumber(1);
  ui_.AnswerPopup(kListProperties);
  list.RightClickCell(1, 2);
  properties = ui_.WaitWindow("List Properties");
  EXPECT_EQ(properties.Control("Te&xt").Value(), "Born") << "the column under the mouse";
  EXPECT_EQ(std::stol(properties.Control("&Width").Value()), 50);
  properties.Control("Te&xt").Type("Birthday");
  EXPECT_EQ(list.Header(2), "Birthday");
  properties.Control("&Width").Type("75");
  properties.Control("&Field").Choose("Right");
  properties.Control("&Underline").Tick();
  const ListColumn born = ParseListFormat(list.Get(Prop::Format))[1];
  EXPECT_EQ(born.width, 75);
  EXPECT_EQ(born.justify, 'R');
  EXPECT_TRUE(born.underline);

  // The list's line height and scroll bars apply at once and come back with the layout; the
  // window's own layout brings the design's line height back.
  properties.Control("&LineHeight").Type("12");
  properties.Control("&Vertical Scroll").Tick(false);
  EXPECT_EQ(list.Get(Prop::LineHeight), "12");
  EXPECT_EQ(list.Get(Prop::VScroll), "0");
  EXPECT_EQ(list.Get(Prop::HScroll), "");
  properties.Control("&Close").Press();
  ui_.WaitClosed(properties);
  CloseAll(w);
  w = Open();
  list = w.ControlNumber(1);
  EXPECT_EQ(list.Get(Prop::LineHeight), "12");
  EXPECT_EQ(list.Get(Prop::VScroll), "0");
  list.PressKey(AltF12);
  EXPECT_EQ(list.Get(Prop::LineHeight), "0");
  CloseAll(w);
}

}  // namespace
}  // namespace vx::test
