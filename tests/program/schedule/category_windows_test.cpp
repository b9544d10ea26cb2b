// The task categories on real tables: the category form and its relation rules, the picker,
// and the window that shows the enabled tasks of the highlighted category.
#include "program/schedule/category_windows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "runtime/dates.h"
#include "support/list_columns.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::ColumnTexts;
using test::Shown;

// Controls by number: the task list's buttons and the category buttons share their words.
constexpr int kCategoryList = 1;
constexpr int kTaskList = 4;
constexpr int kTaskNew = 5, kTaskCopy = 6, kTaskEdit = 7, kTaskDelete = 8;
constexpr int kCategoryNew = 9, kCategoryEdit = 10, kCategoryDelete = 11;

class CategoryWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    AddCategory("Work");
    AddCategory("Home");
    AddTask("Work", DATE(6, 20, 2026), "Report", 0);
    AddTask("Work", DATE(6, 15, 2026), "Standup", 0);
    AddTask("Work", DATE(6, 14, 2026), "Old meeting", 1);
    AddTask("Home", DATE(7, 1, 2026), "Water plants", 0);
  }
  void TearDown() override {
    WindowTest::TearDown();
    RegisterMainProcedure("UpdateSchedule", {});
  }

  void AddCategory(std::string_view name) {
    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    CAT.Category = name;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    ACCESS_CATEGORIES->Close();
  }
  void AddTask(std::string_view category, std::int32_t date, std::string_view description,
               int disabled) {
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->PrimeRecord();
    SCH.Category = category;
    SCH.Date = date;
    SCH.Time = MakeTime(9, 0);
    SCH.Description = description;
    SCH.TaskType = "Display Message";
    SCH.Disabled = static_cast<std::uint8_t>(disabled);
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();
  }
  std::vector<std::string> Categories() {
    std::vector<std::string> out;
    EXPECT_EQ(ACCESS_CATEGORIES->Open(), 0);
    ACCESS_CATEGORIES->Set(CAT_KEYCATEGORY);
    while (ACCESS_CATEGORIES->TryNext() == 0) out.push_back(CAT.Category.str());
    ACCESS_CATEGORIES->Close();
    return out;
  }
  DriverWindow StartBrowse() {
    ui_.Start([] { BrowseScheduleCategories(); });
    return ui_.WaitWindow("Task Categories");
  }
};

using Texts = std::vector<std::string>;

TEST_F(CategoryWindowsTest, AHeaderClickSortsTheTasksAndTheSortHoldsForTheNextCategory) {
  AddTask("Home", DATE(6, 1, 2026), "Buy seeds", 0);
  DriverWindow w = StartBrowse();
  DriverControl categories = w.ControlNumber(kCategoryList);
  DriverControl tasks = w.ControlNumber(kTaskList);
  EXPECT_EQ(ColumnTexts(tasks, 3), (Texts{"Buy seeds", "Water plants"}));
  tasks.ClickHeader(3);
  tasks.ClickHeader(3);  // description, descending
  EXPECT_EQ(ColumnTexts(tasks, 3), (Texts{"Water plants", "Buy seeds"}));
  EXPECT_TRUE(tasks.HeaderUnderlined(3));
  categories.ChooseRow(2);
  EXPECT_EQ(ColumnTexts(tasks, 3), (Texts{"Standup", "Report"}));
  tasks.ClickHeader(1);  // date, ascending
  EXPECT_EQ(ColumnTexts(tasks, 3), (Texts{"Standup", "Report"}));
  tasks.ClickHeader(1);
  EXPECT_EQ(ColumnTexts(tasks, 3), (Texts{"Report", "Standup"}));
  EXPECT_FALSE(tasks.HeaderUnderlined(3));
  w.Close();
  ui_.Finish();
}

TEST_F(CategoryWindowsTest, TheTaskListShowsTheEnabledTasksOfTheHighlightedCategory) {
  DriverWindow w = StartBrowse();
  DriverControl categories = w.ControlNumber(kCategoryList);
  DriverControl tasks = w.ControlNumber(kTaskList);
  EXPECT_EQ(ColumnTexts(categories, 1), (Texts{"Home", "Work"}));
  EXPECT_EQ(ColumnTexts(tasks, 3), (Texts{"Water plants"}));

  categories.ChooseRow(2);
  EXPECT_EQ(ColumnTexts(tasks, 3),
            (Texts{"Standup", "Report"}));  // by date, the disabled one left out
  EXPECT_EQ(tasks.Cell(1, 1), Shown(DATE(6, 15, 2026)));
  EXPECT_EQ(tasks.Cell(1, 2), " 9:00AM");
  EXPECT_EQ(tasks.Cell(1, 4), "Display Message");

  // A new category has no tasks yet.
  w.ControlNumber(kCategoryNew).Press();
  DriverWindow form = ui_.WaitWindow("New Category");
  form.Control("Category").Type("Garden");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(ColumnTexts(categories, 1), (Texts{"Garden", "Home", "Work"}));
  EXPECT_EQ(categories.Choice(), 1);
  EXPECT_EQ(tasks.Rows(), 0u);
  w.Close();
  ui_.Finish();
}

TEST_F(CategoryWindowsTest, ACategoryInUseByTasksCanBeNeitherRenamedNorDeleted) {
  DriverWindow w = StartBrowse();
  DriverControl categories = w.ControlNumber(kCategoryList);
  categories.ChooseRow(2);  // Work
  w.ControlNumber(kCategoryEdit).Press();
  DriverWindow form = ui_.WaitWindow("Edit Category");
  form.Control("Category").Type("Office");
  form.Control("OK").Press();
  EXPECT_TRUE(form.Open());
  ASSERT_EQ(Captions(), (Texts{"Referential Integrity Update Error"}));
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);

  w.ControlNumber(kCategoryDelete).Press();
  form = ui_.WaitWindow("Delete Category");
  EXPECT_TRUE(form.Control("Category").Disabled());
  form.Control("OK").Press();
  EXPECT_TRUE(form.Open());
  EXPECT_EQ(Captions().back(), "Referential Integrity Delete Error");
  form.Control("Cl&ose").Press();
  ui_.WaitClosed(form);

  // A category no task uses goes.
  w.ControlNumber(kCategoryNew).Press();
  form = ui_.WaitWindow("New Category");
  form.Control("OK").Press();  // blank: refused
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "\"Category\" must be entered.");
  form.Control("Category").Type("Spare");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  w.ControlNumber(kCategoryDelete).Press();
  form = ui_.WaitWindow("Delete Category");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
  EXPECT_EQ(Categories(), (Texts{"Home", "Work"}));
}

TEST_F(CategoryWindowsTest, TaskButtonsRunTheTaskFormAndCopyStartsFromTheHighlightedTask) {
  std::mutex seen_mutex;
  std::vector<std::string> seen;  // request, description, copied task id
  RegisterMainProcedure("UpdateSchedule", [&] {
    std::lock_guard lock(seen_mutex);
    seen.push_back(std::to_string(CurrentRequest()) + " " + SCH.Description.str() + " " +
                   std::to_string(GLO_SCH_ID));
    SetCurrentResponse(RequestCancelled);
  });
  DriverWindow w = StartBrowse();
  DriverControl categories = w.ControlNumber(kCategoryList);
  DriverControl tasks = w.ControlNumber(kTaskList);
  EXPECT_FALSE(w.ControlNumber(kTaskCopy).Disabled());

  categories.ChooseRow(2);
  tasks.ChooseRow(2);
  w.ControlNumber(kTaskEdit).Press();
  w.ControlNumber(kTaskCopy).Press();
  w.ControlNumber(kTaskNew).Press();
  {
    std::lock_guard lock(seen_mutex);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].substr(0, 9), "2 Report ");
    // The copy keeps the highlighted task's fields and names it in GLO:SCH:ID; a plain New
    // starts from a cleared record.
    EXPECT_EQ(seen[1].substr(0, 9), "1 Report ");
    EXPECT_NE(seen[1].substr(9), "0");
    EXPECT_EQ(seen[2].substr(0, 3), "1  ");
  }

  // A category without enabled tasks greys Copy, Edit and Delete of the task list.
  w.ControlNumber(kCategoryNew).Press();
  DriverWindow form = ui_.WaitWindow("New Category");
  form.Control("Category").Type("Empty");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_TRUE(w.ControlNumber(kTaskCopy).Disabled());
  EXPECT_TRUE(w.ControlNumber(kTaskEdit).Disabled());
  EXPECT_FALSE(w.ControlNumber(kTaskNew).Disabled());
  w.Close();
  ui_.Finish();
}

TEST_F(CategoryWindowsTest, WithoutTheTaskFormTheTaskButtonsAreGrey) {
  DriverWindow w = StartBrowse();
  for (int button : {kTaskNew, kTaskCopy, kTaskEdit, kTaskDelete})
    EXPECT_TRUE(w.ControlNumber(button).Disabled()) << button;
  EXPECT_FALSE(w.ControlNumber(kCategoryNew).Disabled());
  w.Close();
  ui_.Finish();
}

TEST_F(CategoryWindowsTest, ThePickerLeavesTheChosenCategoryInTheBuffer) {
  std::atomic<long> response{0};
  std::string chosen;
  ui_.Start([&] {
    SetCurrentRequest(SelectRecord);
    SelectCategories();
    response = CurrentResponse();
    chosen = CAT.Category.str();
    SetCurrentRequest(0);
    SelectCategories();
    if (CurrentResponse() != RequestCancelled) chosen = "?";
  });
  DriverWindow picker = ui_.WaitWindow("Select a Category");
  DriverControl list = picker.ControlNumber(1);
  EXPECT_EQ(list.Cell(1, 1), "Home");
  list.PressKey('w');
  picker.Control("Select").Press();
  ui_.WaitClosed(picker);
  picker = ui_.WaitWindow("Select a Category");
  picker.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(response, RequestCompleted);
  EXPECT_EQ(chosen, "Work");
}

TEST_F(CategoryWindowsTest, ADoubleClickInThePickerChoosesTheRow) {
  std::string chosen;
  ui_.Start([&] {
    SetCurrentRequest(SelectRecord);
    SelectCategories();
    if (CurrentResponse() == RequestCompleted) chosen = CAT.Category.str();
  });
  DriverWindow picker = ui_.WaitWindow("Select a Category");
  picker.ControlNumber(1).ActivateRow(2);
  ui_.Finish();
  EXPECT_EQ(chosen, "Work");
}

}  // namespace
}  // namespace vx
