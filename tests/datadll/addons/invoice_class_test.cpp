// The parent form's child lines over two small tables: an order (the parent, ITEMS by Id) and
// its lines (ITEMS again, whose Small field holds the order's Id). Lines are edited in memory and
// written back in one transaction; a fault injected under the storage engine while they are
// written keeps the old lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/addons/invoice_class.h"
#include "framework/file_manager.h"
#include "runtime/faulty_vfs.h"
#include "runtime/storage_fixture.h"
#include "runtime/text_functions.h"
#include "runtime/window/window.h"

namespace vx::test {
namespace {

Item& LineBuffer() {
  thread_local Item line{};
  return line;
}

class InvoiceLines : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    order_def_ = MakeItemTable("orders\\!items");
    line_def_ = MakeItemTable("lines\\!items");
    line_def_.buffer = [] { return static_cast<void*>(&LineBuffer()); };
    orders_.Init(order_def_);
    lines_.Init(line_def_);
    ASSERT_NO_FATAL_FAILURE(AddLines(line_def_, lines_));
    ItemBuffer() = Item{};
    ItemBuffer().Id = 7;
    list_ = &window_.List("40L~Item~@s10@40L~Id~@n5@");
    form_.INIT(*list_, lines_, line_def_.keys[0]);
    form_.ADDFIELD("Name");
    form_.ADDFIELD("Id");
    form_.ADDCHILDPARENTFIELD("Small", orders_, "Id");
    form_.ADDEDITCONTROL(name_edit_, 1);
    ASSERT_EQ(form_.LOAD(), 0);
  }
  void TearDown() override {
    lines_.Close();
    ScratchDir::TearDown();
  }
  // A new lines file: order 7 has three lines, order 8 one.
  static void AddLines(const TableDef& def, FileManager& lines) {
    {
      File create(def);
      ASSERT_EQ(create.Create(), 0);
    }
    ASSERT_EQ(lines.Open(), 0);
    for (const auto& [id, order, name] : std::vector<std::tuple<int, int, const char*>>{
             {1, 7, "apples"}, {2, 8, "other"}, {3, 7, "pears"}, {4, 7, "plums"}}) {
      LineBuffer() = Item{};
      LineBuffer().Id = id;
      LineBuffer().Small = static_cast<std::int16_t>(order);
      LineBuffer().Name = name;
      LineBuffer().Amount = Decimal::FromUnits(0, 2);
      ASSERT_EQ(lines.Insert(), 0);
    }
  }
  // "name" of each stored line of order 7, in id order, read afresh.
  static std::vector<std::string> StoredLines(const TableDef& def) {
    std::vector<std::string> out;
    File file(def);
    EXPECT_EQ(file.Open(), 0);
    EXPECT_EQ(file.Set(def.keys[0]), 0);
    while (file.Next() == 0) {
      if (LineBuffer().Small == 7) out.push_back(CLIP(LineBuffer().Name));
    }
    return out;
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (std::size_t r = 0; r < form_.Records(); ++r) out.push_back(form_.Fields(r)[0]);
    return out;
  }

  TableDef order_def_, line_def_;
  FileManager orders_, lines_;
  Window window_{"Order"};
  Control* list_ = nullptr;
  SBRW::EDITCLASS name_edit_;
  SINV::INVOICECLASS form_;
};

TEST_F(InvoiceLines, LoadsTheParentsLinesAndWritesNothingWhenTheyAreUnchanged) {
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apples", "pears", "plums"}));
  EXPECT_EQ(list_->Rows(), 3u);
  form_.SAVEINIT(SINV::ChangeRequest);
  EXPECT_TRUE(form_.SKIPSAVE);
  {
    // On a file opened under a layer where any write fails, an unchanged form stores without
    // writing.
    TableDef def = MakeItemTable("unchanged\\!items");
    def.buffer = line_def_.buffer;
    FaultyVfs vfs;
    FileManager lines;
    lines.Init(def);
    ASSERT_NO_FATAL_FAILURE(AddLines(def, lines));
    SINV::INVOICECLASS form;
    form.INIT(*list_, lines, def.keys[0]);
    form.ADDFIELD("Name");
    form.ADDCHILDPARENTFIELD("Small", orders_, "Id");
    ASSERT_EQ(form.LOAD(), 0);
    form.SAVEINIT(SINV::ChangeRequest);
    vfs.Arm(Fault::Write, 1);
    EXPECT_EQ(form.SAVE(), 0);
    vfs.Clear();
    EXPECT_EQ(vfs.failures(), 0);
    lines.Close();
    list_->From(&form_);
  }
  // A moved line is a change.
  form_.CURRENTCHOICE = 1;
  form_.SHIFTDOWN();
  form_.SAVEINIT(SINV::ChangeRequest);
  EXPECT_FALSE(form_.SKIPSAVE);
}

TEST_F(InvoiceLines, InsertsWhereInsertPositionSaysAndEscTakesTheInsertBack) {
  struct Case {
    int position;
    std::vector<std::string> rows;
    long current;
  } cases[] = {
      {1, {"new", "apples", "pears", "plums"}, 1},
      {2, {"apples", "new", "pears", "plums"}, 2},
      {3, {"apples", "pears", "new", "plums"}, 3},
      {4, {"apples", "pears", "plums", "new"}, 4},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(form_.LOAD(), 0);
    form_.CURRENTCHOICE = 2;
    form_.INSERTPOSITION = c.position;
    ASSERT_EQ(form_.ASKRECORD(SINV::InsertRequest), SINV::Completed);
    ASSERT_TRUE(form_.EDITING());
    form_.CELL = "new";
    form_.TAKEEDITCODE(3);  // Enter completes the row
    EXPECT_EQ(Shown(), c.rows) << "position " << c.position;
    EXPECT_EQ(form_.CURRENTCHOICE, c.current) << "position " << c.position;
  }
  ASSERT_EQ(form_.LOAD(), 0);
  form_.CURRENTCHOICE = 2;
  form_.INSERTPOSITION = 3;
  ASSERT_EQ(form_.ASKRECORD(SINV::InsertRequest), SINV::Completed);
  form_.CELL = "typed";
  form_.TAKEEDITCODE(4);  // Esc
  EXPECT_FALSE(form_.EDITING());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apples", "pears", "plums"}));
  EXPECT_EQ(form_.CURRENTCHOICE, 2);
}

TEST_F(InvoiceLines, ShiftingStopsAtTheEndsUnlessItRollsOver) {
  form_.CURRENTCHOICE = 1;
  form_.SHIFTUP();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apples", "pears", "plums"}));
  form_.SHIFTROLLOVER = true;
  form_.SHIFTUP();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"pears", "plums", "apples"}));
  EXPECT_EQ(form_.CURRENTCHOICE, 3);
}

// The old lines are deleted and the new ones inserted in one transaction: a write failing at
// any point of it, from the first delete to the commit, keeps every old line. Each round works
// on a file of its own, opened under the faulty layer.
TEST_F(InvoiceLines, AFailedWriteWhileSavingKeepsTheOldLines) {
  const std::vector<std::string> before = {"apples", "pears", "plums"};
  const std::vector<std::string> after = {"apples", "figs", "plums"};
  int failed = 0;
  bool saved = false;
  for (int nth = 1; nth <= 40 && !saved; ++nth) {
    TableDef def = MakeItemTable("round" + std::to_string(nth) + "\\!items");
    def.buffer = line_def_.buffer;
    int result = 0;
    {
      FaultyVfs vfs;
      FileManager lines;
      lines.Init(def);
      ASSERT_NO_FATAL_FAILURE(AddLines(def, lines));
      SINV::INVOICECLASS form;
      form.INIT(*list_, lines, def.keys[0]);
      form.ADDFIELD("Name");
      form.ADDCHILDPARENTFIELD("Small", orders_, "Id");
      form.ADDEDITCONTROL(name_edit_, 1);
      ASSERT_EQ(form.LOAD(), 0);
      form.CURRENTCHOICE = 2;
      ASSERT_EQ(form.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
      form.CELL = "figs";
      form.TAKEEDITCODE(3);
      form.SAVEINIT(SINV::ChangeRequest);
      vfs.Arm(Fault::Write, nth);
      result = form.SAVE();
      vfs.Clear();
      lines.Close();
      list_->From(&form_);
    }
    if (result != 0) {
      ++failed;
      EXPECT_EQ(StoredLines(def), before) << "write " << nth;
    } else {
      saved = true;
      EXPECT_EQ(StoredLines(def), after);
    }
  }
  EXPECT_TRUE(saved);
  EXPECT_GE(failed, 2) << "faults at the deletes and at the inserts";
}

// The form's save framed by the logout manager: the lines' own transaction nests in it, so a
// rollback of the whole form takes the new lines back too, and a commit keeps them.
TEST_F(InvoiceLines, TheLogoutManagerFramesTheFormsWholeSave) {
  SINV::LOGOUTMANAGER logout;
  logout.INIT();
  EXPECT_EQ(logout.BEGINLOGOUT(SINV::ChangeRequest), 5) << "no files";
  logout.ADDFILE(lines_);
  for (const bool commit : {false, true}) {
    ASSERT_EQ(form_.LOAD(), 0);
    form_.CURRENTCHOICE = 1;
    ASSERT_EQ(form_.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
    form_.CELL = "quinces";
    form_.TAKEEDITCODE(3);
    form_.SAVEINIT(SINV::ChangeRequest);
    ASSERT_EQ(logout.BEGINLOGOUT(SINV::ChangeRequest), 0);
    EXPECT_TRUE(logout.BUSY);
    EXPECT_EQ(logout.BEGINLOGOUT(SINV::ChangeRequest), 5) << "one at a time";
    ASSERT_EQ(form_.SAVE(), 0);
    if (commit) {
      EXPECT_EQ(logout.COMMIT(), 0);
    } else {
      logout.ROLLBACK();
    }
    EXPECT_FALSE(logout.BUSY);
    lines_.Close();
    EXPECT_EQ(StoredLines(line_def_), commit
                                          ? (std::vector<std::string>{"quinces", "pears", "plums"})
                                          : (std::vector<std::string>{"apples", "pears", "plums"}));
    ASSERT_EQ(lines_.Open(), 0);
  }
}

}  // namespace
}  // namespace vx::test
