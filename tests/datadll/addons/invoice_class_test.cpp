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
    {
      File create(line_def_);
      ASSERT_EQ(create.Create(), 0);
    }
    ASSERT_EQ(lines_.Open(), 0);
    // Order 7 has three lines, order 8 one.
    for (const auto& [id, order, name] : std::vector<std::tuple<int, int, const char*>>{
             {1, 7, "apples"}, {2, 8, "other"}, {3, 7, "pears"}, {4, 7, "plums"}}) {
      LineBuffer() = Item{};
      LineBuffer().Id = id;
      LineBuffer().Small = static_cast<std::int16_t>(order);
      LineBuffer().Name = name;
      LineBuffer().Amount = Decimal::FromUnits(0, 2);
      ASSERT_EQ(lines_.Insert(), 0);
    }
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
  // "name" of each stored line of order 7, in id order, read afresh.
  std::vector<std::string> StoredLines() {
    std::vector<std::string> out;
    File file(line_def_);
    EXPECT_EQ(file.Open(), 0);
    EXPECT_EQ(file.Set(line_def_.keys[0]), 0);
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
  // Any write would fail now: an unchanged form stores without writing.
  FaultyVfs vfs;
  vfs.Arm(Fault::Write, 1);
  EXPECT_EQ(form_.SAVE(), 0);
  vfs.Clear();
  EXPECT_EQ(vfs.failures(), 0);
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
// any point of it, from the first delete to the commit, keeps every old line.
TEST_F(InvoiceLines, AFailedWriteWhileSavingKeepsTheOldLines) {
  const std::vector<std::string> before = {"apples", "pears", "plums"};
  const std::vector<std::string> after = {"apples", "figs", "plums"};
  int failed = 0;
  bool saved = false;
  lines_.Close();
  for (int nth = 1; nth <= 40 && !saved; ++nth) {
    int result = 0;
    {
      // The file opened under the faulty layer, so that its writes go through it.
      FaultyVfs vfs;
      ASSERT_EQ(lines_.Open(), 0);
      ASSERT_EQ(form_.LOAD(), 0);
      form_.CURRENTCHOICE = 2;
      ASSERT_EQ(form_.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
      form_.CELL = "figs";
      form_.TAKEEDITCODE(3);
      form_.SAVEINIT(SINV::ChangeRequest);
      vfs.Arm(Fault::Write, nth);
      result = form_.SAVE();
      vfs.Clear();
      lines_.Close();
    }
    if (result != 0) {
      ++failed;
      EXPECT_EQ(StoredLines(), before) << "write " << nth;
      EXPECT_EQ(Shown(), after) << "the form keeps what was typed";
    } else {
      saved = true;
      EXPECT_EQ(StoredLines(), after);
    }
  }
  EXPECT_TRUE(saved);
  EXPECT_GE(failed, 1);
  ASSERT_EQ(lines_.Open(), 0);
}

}  // namespace
}  // namespace vx::test
