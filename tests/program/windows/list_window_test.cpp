// A list window started to select, through the category picker: Pick answers whether a record
// was chosen and leaves it in the buffer, and a picker never takes the list's one-window entry.
#include "program/windows/list_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/schedule/category_windows.h"
#include "program/windows/open_windows.h"
#include "runtime/threads.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

class ListWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    for (const char* name : {"Home", "Work"}) {
      CAT.Category = name;
      ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    }
    ACCESS_CATEGORIES->Close();
  }
};

TEST_F(ListWindowTest, PickAnswersWhetherARecordWasChosenAndLeavesItInTheBuffer) {
  std::atomic<int> picked{-1}, cancelled{-1};
  std::string chosen;
  long entries_while_open = -1;
  ui_.Start([&] {
    picked = ListWindow::Pick(SelectCategories);
    chosen = CAT.Category.str();
    cancelled = ListWindow::Pick(SelectCategories);
  });
  DriverWindow picker = ui_.WaitWindow("Select a Category");
  RunWithRuntimeLock([&] { entries_while_open = OPENWINDOWQUEUE.Records(); });
  picker.ControlNumber(1).ChooseRow(2);
  picker.Control("&Select").Press();
  ui_.WaitClosed(picker);
  picker = ui_.WaitWindow("Select a Category");
  picker.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(entries_while_open, 0);  // a picker is not kept to one per program
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(chosen, "Work");
  EXPECT_EQ(cancelled, 0);
}

}  // namespace
}  // namespace vx
