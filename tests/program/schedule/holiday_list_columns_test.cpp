// The holiday list's keys for column work: Ctrl+Alt+R switches the list between choosing rows
// and choosing a column, and Alt+M opens the list popup under the column chosen, working on it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/xplore/xplore_class.h"
#include "program/schedule/holiday_windows.h"
#include "runtime/dates.h"
#include "support/popup_menu.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

class HolidayListColumns : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_EQ(ACCESS_HOLIDAYS->Open(), 0);
    HOL.HolidayDate = DATE(12, 25, 2026);
    HOL.Holiday = "Christmas Day";
    HOL.HolidayType = "Annual";
    ASSERT_EQ(ACCESS_HOLIDAYS->Insert(), 0);
    ACCESS_HOLIDAYS->Close();
  }
};

DriverControl FirstList(const DriverWindow& window) {
  for (int number = 1; number < 60; ++number) {
    DriverControl control = window.ControlNumber(number);
    if (control.Kind() == ControlType::List) return control;
  }
  throw std::runtime_error("no list in " + window.Title());
}

TEST_F(HolidayListColumns, CtrlAltRChoosesAColumnAndAltMOpensThePopupUnderIt) {
  ui_.Start(BrowseHolidays);
  DriverWindow w = ui_.WaitWindow("Holidays");
  DriverControl list = FirstList(w);
  list.ChooseRow(1);
  const std::size_t asked = ui_.Requests().size();
  list.PressKey(AltM);
  EXPECT_EQ(ui_.Requests().size(), asked) << "choosing rows: no column to open it under";

  list.PressKey(CtrlAltR);
  EXPECT_EQ(list.Get(Prop::SelectedColumn), "1");
  list.ChooseCell(1, 2);
  EXPECT_EQ(list.Get(Prop::SelectedColumn), "2");
  ui_.AnswerPopup(0);
  list.PressKey(AltM);
  ASSERT_EQ(ui_.Requests().size(), asked + 1);
  const SeenRequest popup = ui_.Requests().back();
  EXPECT_EQ(popup.control, list.Number());
  EXPECT_EQ(popup.y, -1) << "below the list";
  const long first = std::stol(list.Get(Prop::Format));  // the first column's width
  EXPECT_GT(popup.x, first) << "in the second column";
  EXPECT_NE(test::PopupNumber(popup.text, "Sort on " + list.Header(2)), 0) << popup.text;

  list.PressKey(CtrlAltR);
  EXPECT_EQ(list.Get(Prop::SelectedColumn), "0") << "back to choosing rows";
  w.Close();
  ui_.Finish();
}

}  // namespace
}  // namespace vx
