// The holiday list and form on a real HOLIDAYS table: date order, insert, change and delete
// through the form, the required date, the Easter dates and the single window per program.
#include "program/schedule/holiday_windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/windows/open_windows.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::Shown;

struct Holiday {
  std::int32_t date;
  std::string name;
  std::string type;
};

class HolidayWindowsTest : public test::WindowTest {
 protected:
  void Add(std::int32_t date, std::string_view name, std::string_view type = "Annual") {
    ASSERT_EQ(ACCESS_HOLIDAYS->Open(), 0);
    HOL.HolidayDate = date;
    HOL.Holiday = name;
    HOL.HolidayType = type;
    ASSERT_EQ(ACCESS_HOLIDAYS->Insert(), 0);
    ACCESS_HOLIDAYS->Close();
  }
  // The table in date order, read on the test's thread.
  std::vector<Holiday> Stored() {
    std::vector<Holiday> out;
    EXPECT_EQ(ACCESS_HOLIDAYS->Open(), 0);
    ACCESS_HOLIDAYS->Set(HOL_KEYHOLIDAYDATE);
    while (ACCESS_HOLIDAYS->TryNext() == 0)
      out.push_back({HOL.HolidayDate, HOL.Holiday.str(), HOL.HolidayType.str()});
    ACCESS_HOLIDAYS->Close();
    return out;
  }
  DriverWindow StartBrowse() {
    ui_.Start([] { BrowseHolidays(); });
    return ui_.WaitWindow("Holidays");
  }
};

TEST_F(HolidayWindowsTest, ListsInDateOrderAndKeepsTheTableThroughTheForm) {
  Add(DATE(12, 25, 2026), "Christmas Day");
  Add(DATE(7, 4, 2026), "Independence Day");
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(3);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.Cell(1, 1), Shown(DATE(7, 4, 2026)));
  EXPECT_EQ(list.Cell(1, 2), "Independence Day");
  EXPECT_EQ(list.Cell(2, 2), "Christmas Day");

  // New: primed with today and "Annual"; saved and highlighted in its place.
  w.Control("New").Press();
  DriverWindow form = ui_.WaitWindow("New Holiday");
  EXPECT_EQ(form.Control("Date").Value(), Shown(DATE(6, 12, 2026)));
  EXPECT_EQ(form.Control("Holiday Type").Choice(), 1);  // "Annual"
  form.Control("Date").Type(Shown(DATE(11, 26, 2026)));
  form.Control("Description").Type("Thanksgiving");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.Cell(2, 2), "Thanksgiving");
  EXPECT_EQ(list.Choice(), 2);

  // A second holiday on a date already taken is refused and the form stays open.
  w.Control("New").Press();
  form = ui_.WaitWindow("New Holiday");
  form.Control("Date").Type(Shown(DATE(12, 25, 2026)));
  form.Control("Description").Type("Another");
  form.Control("OK").Press();
  EXPECT_TRUE(form.Open());
  EXPECT_EQ(reporter_.shown.size(), 1u);
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);

  // Edit the highlighted one.
  list.ChooseRow(3);
  w.Control("Edit").Press();
  form = ui_.WaitWindow("Edit Holiday");
  EXPECT_EQ(form.Control("Description").Value(), "Christmas Day");
  form.Control("Description").Type("Christmas");
  form.Control("Holiday Type").Choose("Once");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(list.Cell(3, 2), "Christmas");

  // Delete: the form shows the record greyed; OK deletes after the confirmation.
  list.ChooseRow(1);
  w.Control("Delete").Press();
  form = ui_.WaitWindow("Delete Holiday");
  EXPECT_TRUE(form.Control("Description").Disabled());
  EXPECT_TRUE(form.Control("...").Disabled());
  EXPECT_EQ(form.Control("Close").Text(), "Cl&ose");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(list.Rows(), 2u);
  w.Close();
  ui_.Finish();

  const std::vector<Holiday> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].name, "Thanksgiving");
  EXPECT_EQ(stored[0].type, "Annual");
  EXPECT_EQ(stored[1].name, "Christmas");
  EXPECT_EQ(stored[1].type, "Once");
}

TEST_F(HolidayWindowsTest, AHeaderClickSortsTheHolidaysAndTheListOpensAsItWasLeft) {
  Add(DATE(12, 25, 2026), "Christmas Day");
  Add(DATE(7, 4, 2026), "Independence Day");
  Add(DATE(1, 1, 2026), "New Year");
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(3);
  EXPECT_EQ(list.Cell(1, 2), "New Year");
  list.ClickHeader(2);
  EXPECT_EQ(list.Cell(1, 2), "Christmas Day");
  EXPECT_EQ(list.Cell(3, 2), "New Year");
  EXPECT_TRUE(list.HeaderUnderlined(2));
  list.ClickHeader(2);
  EXPECT_EQ(list.Cell(1, 2), "New Year");
  EXPECT_EQ(list.Cell(2, 2), "Independence Day");
  // A double click on a header is the list's own, never the Edit button's.
  list.DoubleClickBorder(2);
  EXPECT_FALSE(ui_.HasWindow("Edit Holiday"));
  list.DragHeader(2, 1);
  EXPECT_EQ(list.Header(1), "Description");
  w.Close();
  ui_.Finish();
  EXPECT_EQ(IniFile(".\\POSITION.INI").Get("BrowseHolidays", "XploreAscDesc-?Browse:1"), "1");

  w = StartBrowse();
  list = w.ControlNumber(3);
  EXPECT_EQ(list.Header(1), "Description");
  EXPECT_TRUE(list.HeaderUnderlined(1));
  EXPECT_EQ(list.Cell(1, 1), "New Year");
  EXPECT_EQ(list.Cell(3, 1), "Christmas Day");
  w.Close();
  ui_.Finish();
}

TEST_F(HolidayWindowsTest, EnterAndADoubleClickOpenTheHighlightedHolidayForEditing) {
  Add(DATE(7, 4, 2026), "Independence Day");
  Add(DATE(12, 25, 2026), "Christmas Day");
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(3);
  list.ChooseRow(2);
  list.PressKey(EnterKey);
  DriverWindow form = ui_.WaitWindow("Edit Holiday");
  EXPECT_EQ(form.Control("Description").Value(), "Christmas Day");
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  list.ActivateRow(1);
  form = ui_.WaitWindow("Edit Holiday");
  EXPECT_EQ(form.Control("Description").Value(), "Independence Day");
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
}

TEST_F(HolidayWindowsTest, TheFormsPromptsStandBesideTheirFieldsAndTheCalendarBesideTheDate) {
  DriverWindow w = StartBrowse();
  w.Control("New").Press();
  DriverWindow form = ui_.WaitWindow("New Holiday");
  const DriverControl description = form.Control("Description");
  const DriverControl description_prompt = form.ControlNumber(description.Number() - 1);
  EXPECT_EQ(description_prompt.Text(), "De&scription:");
  EXPECT_EQ(description.ContainerLayout(), "form");
  EXPECT_EQ(description_prompt.Row(), description.Row());
  EXPECT_EQ(description_prompt.Column(), 1);
  EXPECT_EQ(description.Column(), 2);

  // The date and its calendar button share the row beside "Date:", the date first.
  const DriverControl date = form.Control("Date");
  const DriverControl date_row = form.ControlNumber(date.Container());
  const DriverControl date_prompt = form.ControlNumber(date_row.Number() - 1);
  EXPECT_EQ(date_prompt.Text(), "&Date:");
  EXPECT_EQ(date.ContainerLayout(), "row");
  EXPECT_EQ(date_row.Row(), date_prompt.Row());
  EXPECT_EQ(date_row.Column(), 2);
  EXPECT_LT(date_row.Row(), description.Row());
  const DriverControl calendar = form.Control("...");
  EXPECT_EQ(calendar.Container(), date_row.Number());
  EXPECT_EQ(calendar.Column(), date.Column() + 1);
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
}

TEST_F(HolidayWindowsTest, AHolidayWithoutADateIsNotSaved) {
  DriverWindow w = StartBrowse();
  w.Control("New").Press();
  DriverWindow form = ui_.WaitWindow("New Holiday");
  form.Control("Date").Type("");
  form.Control("Description").Type("Someday");
  form.Control("OK").Press();
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Missing Information");
  EXPECT_EQ(box.text, "\"Holiday Date\" must be entered.");
  EXPECT_EQ(form.Get(Prop::Focus), std::to_string(form.Control("Date").Number()));
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
  EXPECT_TRUE(Stored().empty());
}

TEST_F(HolidayWindowsTest, ViewingShowsTheHolidayWithoutAWayToChangeIt) {
  ui_.Start([] {
    HOL.HolidayDate = DATE(12, 25, 2026);
    HOL.Holiday = "Christmas Day";
    HOL.HolidayType = "Annual";
    SetCurrentRequest(ViewRecord);
    UpdateHolidays();
  });
  DriverWindow form = ui_.WaitWindow("View Holiday");
  EXPECT_EQ(form.Control("Date").Value(), Shown(DATE(12, 25, 2026)));
  for (const char* field : {"Date", "Description", "Holiday Type", "..."}) {
    EXPECT_TRUE(form.Control(field).Disabled()) << field;
  }
  EXPECT_TRUE(form.Control("OK").Hidden());
  form.Control("Close").Press();
  ui_.Finish();
  EXPECT_TRUE(Stored().empty());
}

TEST_F(HolidayWindowsTest, EasterDatesFollowEasterSundayStillAhead) {
  struct Case {
    const char* what;
    std::int32_t today, date;
    const char* name;
    std::int32_t expected;
  };
  const std::int32_t march1 = DATE(3, 1, 2026);  // Easter Sunday 2026: 5 April; 2027: 28 March
  const Case cases[] = {
      {"Good Friday", march1, DATE(1, 1, 2026), "Good Friday", DATE(4, 3, 2026)},
      {"Easter Monday, any case", march1, DATE(1, 1, 2026), "easter monday", DATE(4, 6, 2026)},
      {"Easter within 30 days still moves", march1, DATE(3, 20, 2026), "Easter", DATE(4, 5, 2026)},
      {"other name within 30 days stays", march1, DATE(3, 20, 2026), "Spring Fair",
       DATE(3, 20, 2026)},
      {"other name long before moves", march1, DATE(1, 1, 2026), "Spring Fair", DATE(4, 5, 2026)},
      {"on Easter Sunday itself", DATE(4, 5, 2026), DATE(1, 1, 2026), "Easter", DATE(4, 5, 2026)},
      {"after Easter: next year's", DATE(4, 10, 2026), DATE(4, 3, 2026), "Good Friday",
       DATE(3, 26, 2027)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EasterHolidayDate(c.date, c.name, c.today), c.expected) << c.what;
  }
}

TEST_F(HolidayWindowsTest, ChoosingEasterInTheFormMovesTheDate) {
  clock_.Set(DATE(3, 1, 2026), MakeTime(9, 0));
  Add(DATE(4, 18, 2025), "Good Friday");
  Add(DATE(4, 20, 2025), "Easter", "Easter");
  DriverWindow w = StartBrowse();
  w.Control("Edit").Press();  // Good Friday, an "Annual" holiday
  DriverWindow form = ui_.WaitWindow("Edit Holiday");
  form.Control("Holiday Type").Choose("Easter");
  EXPECT_EQ(form.Control("Date").Value(), Shown(DATE(4, 3, 2026)));
  form.Control("OK").Press();
  ui_.WaitClosed(form);

  // A holiday that was "Easter" already keeps its date when the type is chosen again.
  w.ControlNumber(3).ChooseRow(1);
  w.Control("Edit").Press();
  form = ui_.WaitWindow("Edit Holiday");
  EXPECT_EQ(form.Control("Description").Value(), "Easter");
  form.Control("Holiday Type").Choose("Once");
  form.Control("Holiday Type").Choose("Easter");
  EXPECT_EQ(form.Control("Date").Value(), Shown(DATE(4, 20, 2025)));
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
  EXPECT_EQ(Stored().back().date, DATE(4, 3, 2026));
}

// Keys as a user at the keyboard presses them: a description typed and not left is saved by
// Alt+O and by Enter; Esc leaves the table alone.
TEST_F(HolidayWindowsTest, TheFormsKeysSaveWhatWasTypedAndEscSavesNothing) {
  DriverWindow w = StartBrowse();
  const struct {
    std::int32_t date;
    const char* name;
    std::function<void(DriverWindow&)> key;
  } forms[] = {
      {DATE(11, 26, 2026), "Thanksgiving", [](DriverWindow& form) { form.PressHotLetter('O'); }},
      {DATE(12, 24, 2026), "Christmas Eve", [](DriverWindow& form) { form.PressKey(EscKey); }},
      {DATE(12, 26, 2026), "Boxing Day", [](DriverWindow& form) { form.PressKey(EnterKey); }},
  };
  for (const auto& f : forms) {
    w.Control("New").Press();
    DriverWindow form = ui_.WaitWindow("New Holiday");
    form.Control("Date").Type(Shown(f.date));
    form.Control("Description").TypeKeys(f.name);
    f.key(form);
    ui_.WaitClosed(form);
  }
  w.Close();
  ui_.Finish();
  const std::vector<Holiday> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].name, "Thanksgiving");
  EXPECT_EQ(stored[1].name, "Boxing Day");
}

TEST_F(HolidayWindowsTest, ASecondStartBringsTheOpenWindowForward) {
  // A launcher on the program's first thread starts the list on a thread of its own, as Main does.
  ui_.Start([] {
    Window launcher("Launcher");
    const int start = launcher.Button("Start");
    launcher.Open();
    while (launcher.Accept()) {
      if (ACCEPTED() == start) START(BrowseHolidays);
    }
  });
  DriverWindow launcher = ui_.WaitWindow("Launcher");
  launcher.Control("Start").Press();
  DriverWindow w = ui_.WaitWindow("Holidays");
  w.Iconize();
  EXPECT_EQ(w.Get(Prop::Iconize), "1");

  // The second start restores the open window and selects its list instead of opening another.
  launcher.Control("Start").Press();
  ui_.WaitUntil([&] { return w.Get(Prop::Iconize) != "1" && w.Get(Prop::Focus) == "3"; },
                "the window restored with its list selected");
  EXPECT_EQ(ui_.OpenTitles().size(), 2u);

  // Once closed, a start opens it again.
  w.Close();
  ui_.WaitClosed(w);
  launcher.Control("Start").Press();
  DriverWindow again = ui_.WaitWindow("Holidays");
  EXPECT_NE(again.Thread(), w.Thread());
  again.Close();
  ui_.WaitClosed(again);
  ui_.WaitThreadEnded(again.Thread());
  launcher.Close();
  ui_.Finish();
  EXPECT_EQ(OPENWINDOWQUEUE.Records(), 0);
}

}  // namespace
}  // namespace vx
