// Every list of the program prints what it lists: the lists' Print All (the list extension's,
// in the list popup) and the script lists' Print buttons open the previewer on pages that hold
// the list's rows, and its Print hands those pages to the printer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/common/main_procedures.h"
#include "program/hot_keys/hot_key_windows.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/holiday_windows.h"
#include "program/schedule/task_windows.h"
#include "program/scripts/script_windows.h"
#include "program/scripts/template_windows.h"
#include "runtime/dates.h"
#include "runtime/report/page_image.h"
#include "support/popup_menu.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using Texts = std::vector<std::string>;

class ListPrintsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterMainProcedure("UpdateSchedule", {});
    RegisterMainProcedure("BrowseScripting", {});
    BROWSESCHEDULETHREADQUEUE.Free();
    GLO_ACTIVEONLY = 0;

    ASSERT_EQ(ACCESS_HOLIDAYS->Open(), 0);
    HOL.HolidayDate = DATE(12, 25, 2026);
    HOL.Holiday = "Christmas Day";
    HOL.HolidayType = "Annual";
    ASSERT_EQ(ACCESS_HOLIDAYS->Insert(), 0);
    ACCESS_HOLIDAYS->Close();

    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    CAT.Category = "Gardening";
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    ACCESS_CATEGORIES->Close();

    ASSERT_EQ(ACCESS_SYSHOTKEYS->Open(), 0);
    HOT = SYSHOTKEYS_RECORD{};
    HOT.HotKey = "Ctrl-F9";
    HOT.Action = "Text";
    HOT.ID = 1;
    HOT.Active = 1;
    HOT.Description = "Signature";
    HOT.QuickText = "Signature";
    HOT.TextType = "Type";
    ASSERT_EQ(ACCESS_SYSHOTKEYS->Insert(), 0);
    ACCESS_SYSHOTKEYS->Close();

    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->PrimeRecord();
    task_ = SCH.ID;
    SCH.Category = "Gardening";
    SCH.TaskType = "Run Program";
    SCH.Description = "Water the roses";
    SCH.Command = "water";
    SCH.ScheduleType = "Once";
    SCH.Date = TODAY();
    SCH.Time = MakeTime(9, 0);
    SCH.Disabled = 0;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();

    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = SCRIPTING_RECORD{};
    SCR.ID = task_;
    SCR.Sequence = 1;
    SCR.Action = "Send Keys";
    SCR.Keystrokes = "open the tap";
    ASSERT_EQ(ACCESS_SCRIPTING->file().Add(), 0);
    ACCESS_SCRIPTING->Close();

    ASSERT_EQ(ACCESS_SCRIPTTEMPLATES->Open(), 0);
    VXT.WIZ_ID = 1;
    VXT.Description = "Morning round";
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATES->file().Add(), 0);
    ACCESS_SCRIPTTEMPLATES->Close();
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->Open(), 0);
    VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
    VXD.WIZ_ID = 1;
    VXD.Sequence = 1;
    VXD.Action = "Send Keys";
    VXD.Keystrokes = "feed the cat";
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->file().Add(), 0);
    ACCESS_SCRIPTTEMPLATEDETAILS->Close();
  }
  void TearDown() override {
    WindowTest::TearDown();
    RegisterMainProcedure("UpdateSchedule", {});
    RegisterMainProcedure("BrowseScripting", {});
    BROWSESCHEDULETHREADQUEUE.Free();
  }

  std::int32_t task_ = 0;
};

// The `nth` list control of a window (from 1).
DriverControl ListOf(const DriverWindow& window, int nth) {
  for (int number = 1; number < 60; ++number) {
    DriverControl control = window.ControlNumber(number);
    if (control.Kind() == ControlType::List && --nth == 0) return control;
  }
  throw std::runtime_error("no list in " + window.Title());
}

Texts PageTexts(const std::string& page_text) {
  const auto page = report::ReadPageImageText(page_text);
  return page ? page->Texts() : Texts{"(not a page)"};
}

bool Holds(const Texts& texts, const std::string& text) {
  for (const std::string& t : texts) {
    if (t.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST_F(ListPrintsTest, EachListsPrintPreviewsItsRowsAndPrintsThem) {
  const std::int32_t task = task_;
  const struct {
    const char* title;
    std::function<void()> list;
    const char* button;  // empty: the list popup's Print All
    int nth_list;        // the list that carries the list extension (from 1)
    const char* row;     // a text of the list's row
  } cases[] = {
      {"Holidays", BrowseHolidays, "", 1, "Christmas Day"},
      // The category list's extension is on its list of the category's tasks.
      {"Task Categories", BrowseScheduleCategories, "", 2, "Water the roses"},
      {"Hot Keys", BrowseHotKeys, "", 1, "Signature"},
      {"Scheduled Tasks", BrowseSchedule, "", 1, "Water the roses"},
      {"Explore Schedule", ExploreSchedule, "", 1, "Water the roses"},
      {"Script Templates", BrowseScriptTemplates, "&Print", 1, "feed the cat"},
      {"Scripting",
       [task] {
         SCH.ID = task;
         SCH.Description = "Water the roses";
         BrowseScripting();
       },
       "&Print", 1, "open the tap"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    TestDriver ui;
    ui.Start(c.list);
    DriverWindow w = ui.WaitWindow(c.title);
    if (std::string(c.button).empty()) {
      // A highlighted row in the first list (the category whose tasks the second one lists).
      ListOf(w, 1).ChooseRow(1);
      DriverControl list = ListOf(w, c.nth_list);
      ASSERT_GE(list.Rows(), 1u);
      ui.AnswerPopup(0);
      list.RightClickCell(1, 1);
      const long print_all = test::PopupNumber(ui.Requests().back().text, "Print All");
      ASSERT_NE(print_all, 0) << ui.Requests().back().text;
      ui.AnswerPopup(print_all);
      list.RightClickCell(1, 1);
    } else {
      w.Control(c.button).Press();
    }
    DriverWindow preview = ui.WaitWindow("Print Preview");
    const DriverControl page = preview.ControlNumber(preview.Control("&Close").Number() + 1);
    EXPECT_TRUE(Holds(PageTexts(page.Value()), c.row)) << page.Value();
    preview.Control("&Print").Press();
    ui.WaitClosed(preview);
    w.Close();
    ui.Finish();
    const std::vector<SeenRequest> prints = ui.Prints();
    ASSERT_EQ(prints.size(), 1u);
    Texts texts;
    for (const report::PageImage& p : prints[0].pages->pages) {
      for (const std::string& t : p.Texts()) texts.push_back(t);
    }
    EXPECT_TRUE(Holds(texts, c.row));
  }
}

}  // namespace
}  // namespace vx
