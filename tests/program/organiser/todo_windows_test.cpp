// The to-do list and its form on a real TODO table: the four orders and the title, the done
// switch and its completion stamp (from the list and from the form), the priority's range, the
// stamps and unique numbers of a save, Transfer to Schedule into the real task form, and the
// single window per program.
#include "program/organiser/todo_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "program/common/main_procedures.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/update_schedule.h"
#include "program/windows/open_windows.h"
#include "runtime/dates.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/list_columns.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

struct Item {
  std::string text;
  int priority = 5;
  int done = 0;
  std::string category = "General";
};

class ToDoWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterMainProcedure("SelectCategories", SelectCategories);
  }
  void TearDown() override {
    RegisterMainProcedure("SelectCategories", {});
    RegisterMainProcedure("UpdateSchedule", {});
    MULTIUSER = 0;
    USERID.clear();
    WindowTest::TearDown();
  }
  static void Add(const std::vector<Item>& items) {
    ASSERT_EQ(ACCESS_TODO->Open(), 0);
    for (const Item& item : items) {
      TDO = TODO_RECORD{};
      TDO.ToDo = item.text;
      TDO.Priority = static_cast<std::uint8_t>(item.priority);
      TDO.Done = static_cast<std::uint8_t>(item.done);
      TDO.Category = item.category;
      ASSERT_EQ(ACCESS_TODO->Insert(), 0);
    }
    ACCESS_TODO->Close();
  }
  // Every stored item, by its text.
  static std::vector<TODO_RECORD> Stored() {
    std::vector<TODO_RECORD> out;
    EXPECT_EQ(ACCESS_TODO->Open(), 0);
    ACCESS_TODO->Set(TDO_KEYTODO);
    while (ACCESS_TODO->TryNext() == 0) out.push_back(TDO);
    ACCESS_TODO->Close();
    return out;
  }
  DriverWindow StartList(std::string_view title = "To Do Items") {
    ui_.Start([] { BrowseToDoList(); });
    return ui_.WaitWindow(title);
  }
  static DriverControl ListOf(const DriverWindow& w) {
    for (int n = 1;; ++n) {
      DriverControl c = w.ControlNumber(n);
      if (c.Kind() == ControlType::List) return c;
    }
  }
  static std::vector<std::string> Texts(const DriverControl& list) {
    return test::ColumnTexts(list, 3);
  }
  // A new item saved through the form.
  void SaveNew(DriverWindow& list, std::string_view text) {
    list.Control("New").Press();
    DriverWindow form = ui_.WaitWindow("New To Do Item");
    form.Control("To Do Item (Description)").Type(text);
    form.Control("OK").Press();
    ui_.WaitClosed(form);
  }
};

TEST_F(ToDoWindowsTest, EachTabListsInItsOrder) {
  Add({{"Write report", 2, 1, "Work"},
       {"Buy milk", 5, 0, "Home"},
       {"Call Anna", 2, 0, "General"},
       {"Archive mail", 9, 0, "General"}});
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  for (const char* name : {"General", "Home", "Work"}) {
    CAT.Category = name;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
  }
  ACCESS_CATEGORIES->Close();
  DriverWindow w = StartList();
  DriverControl list = ListOf(w);
  DriverControl sheet = w.ControlNumber(1);
  using Texts_ = std::vector<std::string>;
  // Done: open items first, then by priority and text.
  EXPECT_EQ(Texts(list), (Texts_{"Call Anna", "Buy milk", "Archive mail", "Write report"}));
  EXPECT_EQ(list.Cell(1, 2), " 2");
  EXPECT_EQ(list.Cell(1, 4), "General");
  EXPECT_EQ(list.Cell(1, 5), "") << "never done: no completion date";
  EXPECT_EQ(list.Cell(1, 6), "");
  sheet.Choose("Priority");  // then done, then text
  EXPECT_EQ(Texts(list), (Texts_{"Call Anna", "Write report", "Buy milk", "Archive mail"}));
  sheet.Choose("To Do");
  EXPECT_EQ(Texts(list), (Texts_{"Archive mail", "Buy milk", "Call Anna", "Write report"}));
  // Category: one category ("General" until another is picked), by priority.
  sheet.Choose("Category");
  EXPECT_EQ(Texts(list), (Texts_{"Call Anna", "Archive mail"}));
  w.Control("Pick").Press();
  DriverWindow picker = ui_.WaitWindow("Select a Category");
  DriverControl categories = ListOf(picker);
  for (std::size_t row = 1; row <= categories.Rows(); ++row) {
    if (categories.Cell(static_cast<long>(row), 1) == "Work") categories.ChooseRow(row);
  }
  picker.Control("Select").Press();
  ui_.WaitClosed(picker);
  EXPECT_EQ(Texts(list), (Texts_{"Write report"}));
  w.Close();
  ui_.Finish();
}

TEST_F(ToDoWindowsTest, WithSeveralUsersTheTitleNamesTheUserAndEveryItemIsListed) {
  Add({{"Mine"}, {"Someone else's"}});
  MULTIUSER = 1;
  USERID = "anna";
  DriverWindow w = StartList("To Do List - anna");
  EXPECT_EQ(ListOf(w).Rows(), 2u);
  w.Close();
  ui_.Finish();
}

TEST_F(ToDoWindowsTest, ToggleStampsEachDoneAndKeepsTheStampWhenOpenedAgain) {
  Add({{"Water plants"}});
  DriverWindow w = StartList();
  DriverControl list = ListOf(w);
  DriverControl toggle = w.Control("Toggle Done Status");
  const std::int32_t today = TODAY();

  clock_.Set(today, MakeTime(9, 0, 0));
  toggle.Press();
  TODO_RECORD item = Stored().at(0);
  EXPECT_EQ(item.Done, 1);
  EXPECT_EQ(item.CompletionDate, today);
  EXPECT_EQ(item.CompletionTime, MakeTime(9, 0, 0));

  clock_.Set(today + 1, MakeTime(10, 0, 0));
  toggle.Press();  // open again: the old stamp stays
  item = Stored().at(0);
  EXPECT_EQ(item.Done, 0);
  EXPECT_EQ(item.CompletionDate, today);
  EXPECT_EQ(item.CompletionTime, MakeTime(9, 0, 0));
  EXPECT_EQ(list.Cell(1, 5), test::Shown(today)) << "an open item still shows when it was done";

  clock_.Set(today + 2, MakeTime(11, 30, 0));
  toggle.Press();  // done again: the stamp moves to now
  item = Stored().at(0);
  EXPECT_EQ(item.Done, 1);
  EXPECT_EQ(item.CompletionDate, today + 2);
  EXPECT_EQ(item.CompletionTime, MakeTime(11, 30, 0));
  // A toggle is not an edit: neither the user nor the change stamp is written.
  EXPECT_TRUE(item.NetworkUser.blank());
  EXPECT_EQ(item.LastChangeDate, 0);
  w.Close();
  ui_.Finish();
}

TEST_F(ToDoWindowsTest, TheFormRefusesAPriorityOutsideOneToTen) {
  struct Case {
    const char* priority;
    bool taken;
  };
  const Case cases[] = {{"0", false}, {"11", false}, {"1", true}, {"10", true}};
  DriverWindow w = StartList();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.priority);
    reporter_.shown.clear();
    w.Control("New").Press();
    DriverWindow form = ui_.WaitWindow("New To Do Item");
    EXPECT_EQ(form.Control("Priority").Value(), " 5");
    form.Control("To Do Item (Description)").Type(std::string("Priority ") + c.priority);
    form.Control("Priority").Type(c.priority);
    form.Control("OK").Press();
    if (c.taken) {
      ui_.WaitClosed(form);
      EXPECT_TRUE(reporter_.shown.empty());
    } else {
      EXPECT_TRUE(form.Open());
      ASSERT_FALSE(reporter_.shown.empty());
      EXPECT_EQ(reporter_.shown.front().caption, "Range Error");
      EXPECT_EQ(reporter_.shown.front().text, "The value of Priority must be between 1 and 10.");
      form.Control("Cancel").Press();
      ui_.WaitClosed(form);
    }
  }
  w.Close();
  ui_.Finish();
  const std::vector<TODO_RECORD> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].Priority, 1);
  EXPECT_EQ(stored[1].Priority, 10);
}

TEST_F(ToDoWindowsTest, ASaveStampsTheUserAndGivesANumberNoStoredItemHolds) {
  USERID = "anna";
  DriverWindow w = StartList();
  DriverControl list = ListOf(w);
  SaveNew(w, "First");
  SaveNew(w, "Second");
  SaveNew(w, "Third");
  w.ControlNumber(1).Choose("To Do");
  // Delete "First", then add one more: it must not take the number another item holds.
  list.ChooseRow(1);
  ASSERT_EQ(list.Cell(1, 3), "First");
  w.Control("Delete").Press();
  DriverWindow form = ui_.WaitWindow("Delete To Do Item");
  EXPECT_TRUE(form.Control("To Do Item (Description)").Disabled());
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  SaveNew(w, "Fourth");
  // An edit keeps the number.
  list.ChooseRow(1);
  ASSERT_EQ(list.Cell(1, 3), "Fourth");
  w.Control("Edit").Press();
  form = ui_.WaitWindow("Edit To Do Item");
  form.Control("Notes").Type("after lunch");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();

  std::vector<std::int32_t> numbers;
  for (const TODO_RECORD& item : Stored()) {
    numbers.push_back(item.OriginalID);
    EXPECT_EQ(item.NetworkUser.str(), "anna");
    EXPECT_EQ(item.LastChangeDate, TODAY());
    EXPECT_EQ(item.LastChangeTime, CLOCK());
    EXPECT_EQ(item.CompletionDate, 0) << "never done: no completion moment";
    EXPECT_EQ(item.CompletionTime, 0);
  }
  // Stored by text: Fourth, Second, Third.
  EXPECT_EQ(numbers, (std::vector<std::int32_t>{4, 2, 3}));
}

TEST_F(ToDoWindowsTest, TickingDoneStampsOnlyAnItemThatWasOpen) {
  Add({{"Open item"}, {"Done item", 5, 1}});
  ASSERT_EQ(ACCESS_TODO->Open(), 0);  // the done item's stamp from an earlier day
  ACCESS_TODO->Set(TDO_KEYTODO);
  ASSERT_EQ(ACCESS_TODO->Next(), 0);
  TDO.CompletionDate = TODAY() - 3;
  TDO.CompletionTime = MakeTime(8, 0, 0);
  ASSERT_EQ(ACCESS_TODO->Update(), 0);
  ACCESS_TODO->Close();

  DriverWindow w = StartList();
  DriverControl list = ListOf(w);
  w.ControlNumber(1).Choose("To Do");
  for (long row : {1L, 2L}) {
    list.ChooseRow(row);
    w.Control("Edit").Press();
    DriverWindow form = ui_.WaitWindow("Edit To Do Item");
    DriverControl done = form.Control("Done");
    if (done.Value() == "1") done.Tick(false);
    done.Tick(true);
    form.Control("OK").Press();
    ui_.WaitClosed(form);
  }
  w.Close();
  ui_.Finish();
  const std::vector<TODO_RECORD> stored = Stored();
  EXPECT_EQ(stored[0].ToDo.str(), "Done item");
  EXPECT_EQ(stored[0].CompletionDate, TODAY() - 3);
  EXPECT_EQ(stored[0].CompletionTime, MakeTime(8, 0, 0));
  EXPECT_EQ(stored[1].ToDo.str(), "Open item");
  EXPECT_EQ(stored[1].Done, 1);
  EXPECT_EQ(stored[1].CompletionDate, TODAY());
  EXPECT_EQ(stored[1].CompletionTime, MakeTime(14, 7, 0));  // as the form's time shows it
}

TEST_F(ToDoWindowsTest, TransferToScheduleOpensTheTaskFormOnAMessageTask) {
  RegisterMainProcedure("UpdateSchedule", UpdateSchedule);
  ASSERT_EQ(ACCESS_TODO->Open(), 0);
  TDO = TODO_RECORD{};
  TDO.ToDo = "Renew the car insurance before the end of the month, or else";
  TDO.Category = "Home";
  TDO.Priority = 3;
  TDO.Notes = "Compare two offers";
  ASSERT_EQ(ACCESS_TODO->Insert(), 0);
  ACCESS_TODO->Close();

  DriverWindow w = StartList();
  ListOf(w).ChooseRow(1);
  ui_.AnswerPopup(0);  // read the menu first, then choose from it
  ListOf(w).RightClick();
  const long transfer = test::PopupNumber(ui_.Requests().back().text, "Transfer to Schedule");
  ASSERT_NE(transfer, 0) << ui_.Requests().back().text;
  ui_.AnswerPopup(transfer);
  ListOf(w).RightClick();
  DriverWindow task = ui_.WaitWindow("New Task");
  task.Control("OK").Press();
  ui_.WaitClosed(task);
  w.Close();
  ui_.Finish();

  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  ACCESS_SCHEDULE->Set();
  ASSERT_EQ(ACCESS_SCHEDULE->Next(), 0);
  EXPECT_EQ(SCH.TaskType.str(), "Display Message");
  EXPECT_EQ(SCH.Description.str(), "Renew the car insurance before the end o");  // 40
  EXPECT_EQ(SCH.Message.str(), "Compare two offers\r\nPriority 3\r\n");
  EXPECT_EQ(SCH.Category.str(), "Home");
  EXPECT_EQ(SCH.Date, TODAY() + 1);
  EXPECT_EQ(SCH.Time, MakeTime(14, 7, 0));  // now, to the minute the form shows
  ACCESS_SCHEDULE->Close();
}

TEST_F(ToDoWindowsTest, ASecondStartBringsTheOpenListForward) {
  ui_.Start([] {
    Window launcher("Launcher");
    const int start = launcher.Button("Start");
    launcher.Open();
    while (launcher.Accept()) {
      if (ACCEPTED() == start) START(BrowseToDoList);
    }
  });
  DriverWindow launcher = ui_.WaitWindow("Launcher");
  launcher.Control("Start").Press();
  DriverWindow w = ui_.WaitWindow("To Do Items");
  w.Iconize();
  launcher.Control("Start").Press();
  ui_.WaitUntil([&] { return w.Get(Prop::Iconize) != "1"; }, "the open list restored");
  EXPECT_EQ(ui_.OpenTitles().size(), 2u);
  w.Close();
  ui_.WaitClosed(w);
  ui_.WaitThreadEnded(w.Thread());
  launcher.Close();
  ui_.Finish();
  EXPECT_EQ(OPENWINDOWQUEUE.Records(), 0);
}

}  // namespace
}  // namespace vx
