#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/browse_class.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "runtime/fixed_string.h"
#include "runtime/window/dialogs.h"
#include "support/test_driver.h"

namespace vx {
namespace {

// A small table of categories, its record buffer and a view over it by name (order 1) or by
// id (order 2).
struct CategoryRecord {
  long ID = 0;
  String<20> Category;
  int Active = 0;
};
CategoryRecord CAT;
std::vector<CategoryRecord> g_table;
long g_last_id = 0;

class CategoryView : public BrowseView {
 public:
  void Reset(int order) override {
    rows_ = g_table;
    if (order == 1) {
      std::stable_sort(rows_.begin(), rows_.end(), [](const auto& a, const auto& b) {
        return a.Category.clipped() < b.Category.clipped();
      });
    }
    next_ = 0;
  }
  bool Next() override {
    if (next_ >= rows_.size()) return false;
    CAT = rows_[next_++];
    return true;
  }
  long Position() const override { return CAT.ID; }
  bool Fetch(long position) override {
    for (const auto& r : g_table) {
      if (r.ID == position) {
        CAT = r;
        return true;
      }
    }
    return false;
  }

 private:
  std::vector<CategoryRecord> rows_;
  std::size_t next_ = 0;
};

// Saves the form's buffer by the request; a blank name is refused with a message.
struct CategorySaver : RecordSaver {
  Level Save(long request) override {
    if (request != DeleteRecord && CAT.Category.blank()) {
      MESSAGE("Category must be entered.", "Missing Information", MessageIcon::Exclamation);
      return Level_Notify;
    }
    auto it =
        std::find_if(g_table.begin(), g_table.end(), [](const auto& r) { return r.ID == CAT.ID; });
    switch (request) {
      case InsertRecord:
        CAT.ID = ++g_last_id;
        g_table.push_back(CAT);
        break;
      case ChangeRecord:
        if (it != g_table.end()) *it = CAT;
        break;
      case DeleteRecord:
        if (it != g_table.end()) g_table.erase(it);
        break;
    }
    return Level_Benign;
  }
};

const char* TitleFor(long request) {
  switch (request) {
    case InsertRecord:
      return "New Category";
    case DeleteRecord:
      return "Delete Category";
    case ViewRecord:
      return "View Category";
    default:
      return "Edit Category";
  }
}

void UpdateCategory() {
  if (CurrentRequest() == InsertRecord) CAT = CategoryRecord{};
  Window window(TitleFor(CurrentRequest()));
  window.Prompt("&Category:");
  window.Entry(CAT.Category, "@s20");
  window.Check("&Active", CAT.Active);
  auto& ok = window.Button("&OK").Default();
  auto& cancel = window.Button("Cancel");
  CategorySaver saver;
  WindowManager manager(window);
  manager.OkControl = ok;
  manager.CancelControl = cancel;
  manager.Primary = &saver;
  manager.Run();
}

void BrowseCategories() {
  Window window("Categories");
  auto& list = window.List("80L~Category~@s20@20L~Active~@n1@");
  auto& insert = window.Button("&New");
  auto& change = window.Button("&Edit");
  auto& remove = window.Button("&Delete");
  auto& close = window.Button("Cl&ose");

  struct Browse : BrowseClass {
    void SetQueueRecord() override { Q = {CAT.Category.str(), std::to_string(CAT.Active)}; }
  } brw;
  CategoryView view;
  WindowManager manager(window);
  manager.CancelControl = close;
  brw.Init(list, view, manager);
  brw.AddSortOrder();
  brw.InsertControl = insert;
  brw.ChangeControl = change;
  brw.DeleteControl = remove;
  brw.UpdateProcedure = UpdateCategory;
  manager.Run();
}

class BrowseAndForm : public ::testing::Test {
 protected:
  void SetUp() override {
    g_table = {{1, "Work", 1}, {2, "Home", 0}};
    g_last_id = 2;
  }
  TestDriver ui;
};

TEST_F(BrowseAndForm, InsertChangeAndDeleteThroughTheFormOnTheSameThread) {
  ui.Start(BrowseCategories);
  auto browse = ui.WaitWindow("Categories");
  auto list = browse.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.Cell(1, 1), "Home");  // by name

  // Insert: a blank name is refused with a message, then saved and highlighted.
  browse.Control("New").Press();
  auto form = ui.WaitWindow("New Category");
  EXPECT_EQ(form.Thread(), browse.Thread());
  form.Control("OK").Press();
  EXPECT_EQ(ui.WaitMessage(BUTTON_OK).caption, "Missing Information");
  EXPECT_TRUE(form.Open());
  form.Control("Category").Type("Garden");
  form.Control("Active").Tick();
  form.Control("OK").Press();
  ui.WaitClosed(form);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.Cell(1, 1), "Garden");
  EXPECT_EQ(list.Cell(1, 2), "1");
  EXPECT_EQ(list.Choice(), 1);

  // Change the highlighted row by a double click.
  list.ActivateRow(3);
  form = ui.WaitWindow("Edit Category");
  EXPECT_EQ(form.Control("Category").Value(), "Work");
  form.Control("Category:").Type("Office");
  form.Control("OK").Press();
  ui.WaitClosed(form);
  EXPECT_EQ(list.Cell(3, 1), "Office");
  EXPECT_EQ(list.Choice(), 3);

  // Cancel leaves the table alone.
  browse.Control("Edit").Press();
  form = ui.WaitWindow("Edit Category");
  form.Control("Category").Type("Changed");
  form.Control("Cancel").Press();
  ui.WaitClosed(form);
  EXPECT_EQ(list.Cell(3, 1), "Office");

  // Delete the first row through the list's popup menu.
  list.ChooseRow(1);
  ui.AnswerPopup(3);  // New, Edit, Delete
  list.RightClick();
  form = ui.WaitWindow("Delete Category");
  form.Control("OK").Press();
  ui.WaitClosed(form);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.Cell(1, 1), "Home");
  EXPECT_EQ(ui.Requests().back().text, "&New|&Edit|&Delete");

  browse.Control("Close").Press();
  ui.Finish();
  ASSERT_EQ(g_table.size(), 2u);
  EXPECT_EQ(g_table[0].Category, "Office");
  EXPECT_EQ(g_table[1].Category, "Home");
}

TEST_F(BrowseAndForm, AnEmptyListGreysChangeAndDelete) {
  g_table.clear();
  ui.Start(BrowseCategories);
  auto browse = ui.WaitWindow("Categories");
  EXPECT_TRUE(browse.Control("Edit").Disabled());
  EXPECT_TRUE(browse.Control("Delete").Disabled());
  browse.Control("New").Press();
  auto form = ui.WaitWindow("New Category");
  form.Control("Category").Type("First");
  form.Control("OK").Press();
  ui.WaitClosed(form);
  EXPECT_FALSE(browse.Control("Edit").Disabled());
  browse.Close();
  ui.Finish();
}

TEST_F(BrowseAndForm, TheFormAnswersItsRequestThroughTheGlobals) {
  long response = 0;
  ui.Start([&] {
    CAT = g_table[0];
    response = WindowManager::RunUpdate(UpdateCategory, ChangeRecord);
  });
  auto form = ui.WaitWindow("Edit Category");
  form.Close();  // the close box cancels
  ui.Finish();
  EXPECT_EQ(response, RequestCancelled);
}

// The same browse opened to pick a record: the Select button shows, Enter on the list presses
// it, and the picked record is left in the buffer.
TEST_F(BrowseAndForm, ASelectingBrowseLeavesThePickedRecordInTheBuffer) {
  long response = 0;
  ui.Start([&] {
    response = WindowManager::RunUpdate(
        [] {
          Window window("Select a Category");
          auto& list = window.List("80L~Category~@s20@");
          auto& select = window.Button("&Select");
          struct Browse : BrowseClass {
            void SetQueueRecord() override { Q = {CAT.Category.str()}; }
          } brw;
          CategoryView view;
          WindowManager manager(window);
          brw.Init(list, view, manager);
          brw.AddSortOrder();
          brw.SelectControl = select;
          manager.Run();
        },
        SelectRecord);
  });
  auto w = ui.WaitWindow("Select a Category");
  EXPECT_FALSE(w.Control("Select").Hidden());
  w.ControlNumber(1).ChooseRow(2);
  w.ControlNumber(1).PressKey(EnterKey);
  ui.WaitClosed(w);
  ui.Finish();
  EXPECT_EQ(response, RequestCompleted);
  EXPECT_EQ(CAT.Category, "Work");
}

}  // namespace
}  // namespace vx
