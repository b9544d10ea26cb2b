#include <gtest/gtest.h>

#include "framework/browse_class.h"
#include "framework/table_view.h"
#include "framework/window_manager.h"
#include "runtime/storage/file.h"
#include "runtime/storage_fixture.h"
#include "support/test_driver.h"

namespace vx {
namespace {

using storage::File;
using test::ItemBuffer;
using test::MakeItemTable;
using test::SetItem;

// A browse over a stored table by name, showing only flagged records, with a form that adds
// and changes records through the table.
class TableBrowse : public test::ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    def_ = MakeItemTable("items.tps");
    file_ = std::make_unique<File>(def_);
    ASSERT_EQ(file_->Create(), 0);
    ASSERT_EQ(file_->Open(), 0);
    for (auto [id, name, flag] : {std::tuple{1, "pear", 1}, {2, "apple", 1}, {3, "hidden", 0}}) {
      SetItem(id, name, static_cast<std::uint8_t>(flag));
      ASSERT_EQ(file_->Add(), 0);
    }
    file_->Close();
  }

  void Browse() {
    File& file = *file_;
    file.Open();
    Window window("Items");
    auto& list = window.List("60L~Name~@s10@20R~Id~@n3@");
    auto& insert = window.Button("&Insert");
    auto& change = window.Button("&Change");
    struct ItemBrowse : BrowseClass {
      void SetQueueRecord() override {
        Q = {ItemBuffer().Name.str(), std::to_string(ItemBuffer().Id)};
      }
    } brw;
    TableView view(file, {&def_.keys[1]});
    WindowManager manager(window);
    brw.Init(list, view, manager);
    brw.AddSortOrder();
    brw.SetFilter([] { return ItemBuffer().Flag == 1; }, "range");
    brw.SetLocator([] { return ItemBuffer().Name.str(); });
    brw.InsertControl = insert;
    brw.ChangeControl = change;
    brw.UpdateProcedure = [&] {
      const long request = CurrentRequest();
      if (request == InsertRecord) SetItem(10, "", 1);
      Window form("Item");
      form.Prompt("&Name:");
      form.Entry(ItemBuffer().Name, "@s10");
      auto& ok = form.Button("&OK");
      WindowManager fm(form);
      fm.OkControl = ok;
      struct Saver : RecordSaver {
        File& f;
        explicit Saver(File& file) : f(file) {}
        Level Save(long r) override {
          return (r == InsertRecord ? f.Add() : f.Put()) == 0 ? Level_Benign : Level_Notify;
        }
      } saver(file);
      fm.Primary = &saver;
      fm.Run();
    };
    manager.Run();
    file.Close();
  }

  storage::TableDef def_;
  std::unique_ptr<File> file_;
  TestDriver ui;
};

TEST_F(TableBrowse, ListsTheTableByKeyWithinItsRangeAndFollowsTheForm) {
  ui.Start([this] { Browse(); });
  auto w = ui.WaitWindow("Items");
  auto list = w.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.Cell(1, 1), "apple");
  EXPECT_EQ(list.Cell(2, 1), "pear");

  w.Control("Insert").Press();
  auto form = ui.WaitWindow("Item");
  form.Control("Name").Type("banana");
  form.Control("OK").Press();
  ui.WaitClosed(form);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.Cell(2, 1), "banana");
  EXPECT_EQ(list.Choice(), 2);  // the added record is highlighted

  list.ChooseRow(3);
  w.Control("Change").Press();
  form = ui.WaitWindow("Item");
  EXPECT_EQ(form.Control("Name").Value(), "pear");
  form.Control("Name").Type("aubergine");
  form.Control("OK").Press();
  ui.WaitClosed(form);
  EXPECT_EQ(list.Cell(2, 1), "aubergine");
  EXPECT_EQ(list.Choice(), 2);

  // The step locator: a typed letter goes to the first name from that letter on.
  list.PressKey('b');
  EXPECT_EQ(list.Choice(), 3);
  list.PressKey('A');
  EXPECT_EQ(list.Choice(), 1);
  list.PressKey('z');
  EXPECT_EQ(list.Choice(), 3);
  w.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
