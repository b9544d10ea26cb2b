// The parent form's child lines over two small tables: an order (the parent, ITEMS by Id) and
// its lines (ITEMS again, whose Small field holds the order's Id). Lines are edited in memory and
// written back in one transaction; a fault injected under the storage engine while they are
// written keeps the old lines.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "datadll/addons/addon_keys.h"
#include "datadll/addons/invoice_class.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "runtime/faulty_vfs.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/storage_fixture.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx::test {
namespace {

Item& LineBuffer() {
  thread_local Item line{};
  return line;
}
Item& NoteBuffer() {
  thread_local Item note{};
  return note;
}

// A line without a name is an empty row.
class NamedLines final : public SINV::INVOICECLASS {
 public:
  bool ISEMPTYROW(long row) const override {
    return CLIP(Fields(static_cast<std::size_t>(row - 1))[0]).empty();
  }
};

// A form that primes its new rows, keeps one row from being edited and may refuse a child while
// the lines are saved; it notes what each hook saw in the record buffer.
class HookedLines final : public SINV::INVOICECLASS {
 public:
  void PRIMEFIELDS() override {
    calls += "prime:" + CLIP(LineBuffer().Name) + ",";
    LineBuffer().Name = "new line";
  }
  void FETCHSECONDARY() override {
    calls += "fetch:" + CLIP(LineBuffer().Name) + ",";
    LineBuffer().Id = 99;
  }
  bool GETEDITROW(long row) const override { return row != locked_row; }
  int BEFOREDELETINGCHILD() override {
    deleted.push_back(CLIP(LineBuffer().Name));
    return deleted.size() == refuse_delete ? 77 : 0;
  }
  int BEFOREADDINGCHILD() override {
    added.push_back(CLIP(LineBuffer().Name) + "/" + std::to_string(LineBuffer().Small));
    return added.size() == refuse_add ? 78 : 0;
  }
  std::string calls;
  long locked_row = 0;
  std::size_t refuse_delete = 0, refuse_add = 0;  // which call refuses (0: none)
  std::vector<std::string> deleted, added;
};

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

  // A window test's form, made on the window's thread: order 7's lines of a new file `def` in
  // a window's list of `columns`, a NamedLines form over `fields` with a cell editor on the
  // first column.
  struct LinesWindow {
    LinesWindow(const TableDef& def, FileManager& orders, const char* title, const char* columns,
                std::initializer_list<const char*> fields)
        : window(title) {
      ItemBuffer().Id = 7;
      lines.Init(def);
      AddLines(def, lines);
      Control& list = window.List(columns);
      form.INIT(list, lines, def.keys[0]);
      for (const char* field : fields) form.ADDFIELD(field);
      form.ADDCHILDPARENTFIELD("Small", orders, "Id");
      editor.INIT(1, list, form.CELL);
      form.ADDEDITCONTROL(editor, 1);
    }
    ~LinesWindow() { lines.Close(); }

    FileManager lines;
    Window window;
    NamedLines form;
    SBRW::EDITENTRYCLASS editor;
  };

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

// Moving on from an edited row: the navigation code completes it and the edit goes on where the
// code leads. After an inserted row, forward inserts another and backward edits the row above.
TEST_F(InvoiceLines, ANavigationCodeCompletesTheRowAndEditsTheNextOne) {
  form_.ADDEDITCONTROL(name_edit_, 2);  // both columns editable
  form_.CURRENTCHOICE = 1;
  ASSERT_EQ(form_.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
  form_.CELL = "apricots";
  form_.TAKEVCRSCROLL(SINV::VCRForward);
  EXPECT_TRUE(form_.EDITING());
  EXPECT_EQ(form_.CURRENTCHOICE, 2);
  form_.TAKEVCRSCROLL(SINV::VCRLast);
  EXPECT_EQ(form_.CURRENTCHOICE, 3);
  form_.TAKEVCRSCROLL(SINV::VCRForward);  // nowhere to go without AUTOINSERT: the edit ends
  EXPECT_FALSE(form_.EDITING());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apricots", "pears", "plums"}));

  // Down keeps the column with ARROWACTION bit 16, Shift+Tab before the first column goes to
  // the last column of the row above with TABACTION bit 8.
  form_.ARROWACTION = 8 | 16;
  form_.TABACTION = 8;
  form_.CURRENTCHOICE = 1;
  ASSERT_EQ(form_.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
  form_.TAKEEDITCODE(1);
  ASSERT_EQ(form_.EDITCOLUMN(), 2);
  form_.TAKEEDITCODE(5);
  EXPECT_EQ(form_.CURRENTCHOICE, 2);
  EXPECT_EQ(form_.EDITCOLUMN(), 2);
  form_.TAKEEDITCODE(2);
  ASSERT_EQ(form_.EDITCOLUMN(), 1);
  form_.TAKEEDITCODE(2);
  EXPECT_EQ(form_.CURRENTCHOICE, 1);
  EXPECT_EQ(form_.EDITCOLUMN(), 2);
  form_.TAKEEDITCODE(4);

  form_.ENTERACTION = 8;
  form_.CURRENTCHOICE = 3;
  ASSERT_EQ(form_.ASKRECORD(SINV::InsertRequest), SINV::Completed);
  form_.CELL = "figs";
  form_.TAKEEDITCODE(3);  // Enter on an inserted row: another insert
  EXPECT_TRUE(form_.EDITING());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apricots", "pears", "plums", "figs", ""}));
  form_.TAKEEDITCODE(4);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apricots", "pears", "plums", "figs"}));
  ASSERT_EQ(form_.ASKRECORD(SINV::InsertRequest), SINV::Completed);
  form_.CELL = "limes";
  form_.TAKEVCRSCROLL(SINV::VCRBackward);  // back from an insert: the row above is changed
  EXPECT_TRUE(form_.EDITING());
  EXPECT_EQ(form_.CURRENTCHOICE, 4);
  EXPECT_EQ(form_.CELL, "figs");
  form_.TAKEEDITCODE(4);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"apricots", "pears", "plums", "figs", "limes"}));
}

// The child-window button opens the current row in its own window with insert, change and delete
// disabled; a completed window's record becomes the row, a cancelled one leaves it.
TEST_F(InvoiceLines, TheChildWindowTakesTheRowAndGivesItBackWhenCompleted) {
  form_.INSERTCONTROL = window_.Button("Insert");
  form_.CHANGECONTROL = window_.Button("Change");
  form_.DELETECONTROL = window_.Button("Delete");
  form_.CHILDWINDOWCONTROL = window_.Button("Lines...");
  for (const int response : {SINV::Cancelled, SINV::Completed}) {
    std::vector<bool> disabled;
    form_.CHILDWINDOWPROCEDURE = [&](int request) {
      EXPECT_EQ(request, SINV::ChangeRequest);
      EXPECT_EQ(CLIP(LineBuffer().Name), "pears");
      for (const int b : {form_.INSERTCONTROL, form_.CHANGECONTROL, form_.DELETECONTROL})
        disabled.push_back(!window_[b].Enabled());
      LineBuffer().Name = "quinces";
      return response;
    };
    form_.CURRENTCHOICE = 2;
    EXPECT_EQ(form_.ASK(SINV::ChildWindowRequest), response);
    EXPECT_EQ(disabled, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(window_[form_.INSERTCONTROL].Enabled());
    EXPECT_TRUE(window_[form_.DELETECONTROL].Enabled());
    EXPECT_EQ(Shown()[1], response == SINV::Completed ? "quinces" : "pears");
  }
  // Without rows there is nothing to change, delete or open.
  while (form_.Records() > 0) form_.ASKRECORD(SINV::DeleteRequest);
  for (const int b : {form_.CHANGECONTROL, form_.DELETECONTROL, form_.CHILDWINDOWCONTROL})
    EXPECT_FALSE(window_[b].Enabled());
  EXPECT_TRUE(window_[form_.INSERTCONTROL].Enabled());
}

// Old lines go through the relation manager with its relations (here each line's notes, deleted
// with it), or without them through the file alone when RIDELETE is off.
TEST_F(InvoiceLines, OldLinesAreDeletedThroughTheRelationManagerWithTheirRelations) {
  for (const bool through_relations : {true, false}) {
    TableDef def = MakeItemTable(std::string("rel") + (through_relations ? "1" : "0") + "\\!items");
    def.buffer = line_def_.buffer;
    TableDef note_def =
        MakeItemTable(std::string("notes") + (through_relations ? "1" : "0") + "\\!items");
    note_def.buffer = [] { return static_cast<void*>(&NoteBuffer()); };
    FileManager lines, notes;
    lines.Init(def);
    notes.Init(note_def);
    ASSERT_NO_FATAL_FAILURE(AddLines(def, lines));
    {
      File create(note_def);
      ASSERT_EQ(create.Create(), 0);
    }
    ASSERT_EQ(notes.Open(), 0);
    for (const int line : {1, 2, 3}) {  // a note on each of lines 1 and 3 (order 7), 2 (order 8)
      NoteBuffer() = Item{};
      NoteBuffer().Id = 100 + line;
      NoteBuffer().Flag = static_cast<std::uint8_t>(line);
      NoteBuffer().Amount = Decimal::FromUnits(0, 2);
      ASSERT_EQ(notes.Insert(), 0);
    }
    RelationManager line_relations, note_relations;
    line_relations.Init(lines);
    note_relations.Init(notes);
    line_relations.AddRelation(note_relations, RelationMode::None, RelationMode::Cascade,
                               note_def.keys[3]);
    line_relations.AddRelationLink("Id", "Flag");
    SINV::INVOICECLASS form;
    form.INIT(*list_, line_relations, def.keys[0]);
    form.RIDELETE = through_relations;
    form.ADDFIELD("Name");
    form.ADDCHILDPARENTFIELD("Small", orders_, "Id");
    ASSERT_EQ(form.LOAD(), 0);
    form.CURRENTCHOICE = 1;
    ASSERT_EQ(form.ASKRECORD(SINV::DeleteRequest), SINV::Completed);
    form.SAVEINIT(SINV::ChangeRequest);
    ASSERT_EQ(form.SAVE(), 0);
    std::vector<int> left;
    ASSERT_EQ(notes.Set(note_def.keys[0]), 0);
    while (notes.TryNext() == 0) left.push_back(NoteBuffer().Id);
    const std::vector<int> kept =
        through_relations ? std::vector<int>{102} : std::vector<int>{101, 102, 103};
    EXPECT_EQ(left, kept);
    EXPECT_EQ(StoredLines(def), (std::vector<std::string>{"pears", "plums"}));
    list_->From(&form_);
    lines.Close();
    notes.Close();
  }
}

// The form in a window, driven as a user would: the keys on the list, the scroll events, the
// cell editor, and the delete confirmation.
TEST_F(InvoiceLines, AWindowTakesTheKeysScrollsAndConfirmedDeletes) {
  TableDef def = MakeItemTable("window\\!items");
  def.buffer = line_def_.buffer;
  TestDriver ui;
  ui.Start([&] {
    LinesWindow shown(def, orders_, "Order Lines", "40L~Item~@s10@40L~Id~@n5@", {"Name", "Id"});
    Window& window = shown.window;
    NamedLines& form = shown.form;
    form.INSERTCONTROL = window.Button("Insert");
    form.CHANGECONTROL = window.Button("Change");
    form.DELETECONTROL = window.Button("Delete");
    const int back = window.Button("Back");  // stands for the toolbar's record navigation
    const int close = window.Button("Close");
    form.AUTOINSERT = form.CONFIRMDELETE = true;
    form.CONFIRMDELETETITLE = "Lines";
    form.CONFIRMDELETEMESSAGE = "Delete this line?";
    form.LOAD();
    while (window.Accept() && ACCEPTED() != close) {
      form.TAKEEVENT();
      if (ACCEPTED() == back) form.TAKEVCRSCROLL(SINV::VCRBackward);
      std::string state;
      for (std::size_t r = 0; r < form.Records(); ++r) state += CLIP(form.Fields(r)[0]) + ",";
      state += " @" + std::to_string(form.CURRENTCHOICE) + (form.EDITING() ? " editing" : "");
      window.Status(1, state);
    }
  });
  DriverWindow w = ui.WaitWindow("Order Lines");
  DriverControl list = w.ControlNumber(1), editor = w.ControlNumber(2);
  list.ChooseRow(3);
  EXPECT_EQ(w.Status(1), "apples,pears,plums, @3");
  w.Post(EVENT_ScrollDown, list.Number());  // past the last row: a new one
  EXPECT_EQ(w.Status(1), "apples,pears,plums,, @4 editing");
  EXPECT_TRUE(w.Control("Change").Disabled()) << "a new row is typed, not changed";
  editor.PressKey(EnterKey);  // left empty
  EXPECT_EQ(w.Status(1), "apples,pears,plums,, @4");

  // Up from the empty last row deletes it, after asking; No keeps it.
  ui.AnswerMessage(BUTTON_NO);
  w.Post(EVENT_ScrollUp, list.Number());
  ASSERT_FALSE(ui.Messages().empty());
  EXPECT_EQ(ui.Messages().back().text, "Delete this line?");
  EXPECT_EQ(ui.Messages().back().caption, "Lines");
  EXPECT_EQ(ui.Messages().back().buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_EQ(ui.Messages().back().default_button, BUTTON_NO);
  EXPECT_EQ(w.Status(1), "apples,pears,plums,, @4");
  ui.AnswerMessage(BUTTON_YES);
  w.Post(EVENT_ScrollUp, list.Number());
  EXPECT_EQ(w.Status(1), "apples,pears,plums, @3");
  w.Post(EVENT_ScrollUp, list.Number());
  EXPECT_EQ(w.Status(1), "apples,pears,plums, @2");

  // Insert on the list adds a row at the end; Ctrl+Enter edits the chosen one, the navigation
  // button completes it and goes on with the row above.
  list.PressKey(addons::InsertKey);
  editor.Type("figs");
  editor.PressKey(EnterKey);
  EXPECT_EQ(w.Status(1), "apples,pears,plums,figs, @4");
  list.PressKey(addons::CtrlEnter);
  EXPECT_EQ(w.Status(1), "apples,pears,plums,figs, @4 editing");
  editor.Type("limes");
  w.Control("Back").Press();
  EXPECT_EQ(w.Status(1), "apples,pears,plums,limes, @3 editing");
  editor.PressKey(EscKey);
  EXPECT_EQ(w.Status(1), "apples,pears,plums,limes, @3");
  ui.AnswerMessage(BUTTON_YES);
  list.PressKey(addons::DeleteKey);
  EXPECT_EQ(w.Status(1), "apples,pears,limes, @3");
  w.Control("Close").Press();
  ui.Finish();
}

// A new row is primed by the child file, then by PRIMEFIELDS and FETCHSECONDARY in that order,
// and the editor opens on what they left; a row GETEDITROW refuses is not edited, whether asked
// for directly or reached by moving on from the row above.
TEST_F(InvoiceLines, HooksPrimeANewRowAndKeepARowFromBeingEdited) {
  HookedLines form;
  form.INIT(*list_, lines_, line_def_.keys[0]);
  form.ADDFIELD("Name");
  form.ADDFIELD("Id");
  form.ADDCHILDPARENTFIELD("Small", orders_, "Id");
  form.ADDEDITCONTROL(name_edit_, 1);
  form.locked_row = 2;
  ASSERT_EQ(form.LOAD(), 0);
  form.CURRENTCHOICE = 1;
  form.INSERTPOSITION = 3;
  ASSERT_EQ(form.ASKRECORD(SINV::InsertRequest), SINV::Completed);
  EXPECT_EQ(form.calls, "prime:,fetch:new line,") << "cleared, then primed, then fetched";
  EXPECT_EQ(form.CELL, "new line");
  EXPECT_EQ(form.Fields(1), (std::vector<std::string>{"new line", "99"}));
  form.TAKEEDITCODE(4);

  form.CURRENTCHOICE = 2;
  EXPECT_EQ(form.ASKRECORD(SINV::ChangeRequest), SINV::Cancelled);
  EXPECT_FALSE(form.EDITING());
  form.ARROWACTION = 8;
  form.CURRENTCHOICE = 1;
  ASSERT_EQ(form.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
  form.TAKEEDITCODE(5);  // Down onto the locked row: the edit ends there
  EXPECT_FALSE(form.EDITING());
  EXPECT_EQ(form.CURRENTCHOICE, 2);
  list_->From(&form_);
}

// While the lines are saved each old child is shown to BEFOREDELETINGCHILD and each new one,
// linked to the parent, to BEFOREADDINGCHILD; a refusal by either takes the whole save back.
TEST_F(InvoiceLines, ARefusedChildTakesTheWholeSaveBack) {
  struct Case {
    std::size_t refuse_delete, refuse_add;
    int result;
    std::vector<std::string> stored;
  } cases[] = {
      {0, 0, 0, {"apples", "figs", "plums"}},
      {2, 0, 77, {"apples", "pears", "plums"}},
      {0, 3, 78, {"apples", "pears", "plums"}},
  };
  int round = 0;
  for (const Case& c : cases) {
    TableDef def = MakeItemTable("hooks" + std::to_string(++round) + "\\!items");
    def.buffer = line_def_.buffer;
    FileManager lines;
    lines.Init(def);
    ASSERT_NO_FATAL_FAILURE(AddLines(def, lines));
    HookedLines form;
    form.INIT(*list_, lines, def.keys[0]);
    form.ADDFIELD("Name");
    form.ADDCHILDPARENTFIELD("Small", orders_, "Id");
    form.ADDEDITCONTROL(name_edit_, 1);
    form.refuse_delete = c.refuse_delete;
    form.refuse_add = c.refuse_add;
    ASSERT_EQ(form.LOAD(), 0);
    form.CURRENTCHOICE = 2;
    ASSERT_EQ(form.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
    form.CELL = "figs";
    form.TAKEEDITCODE(3);
    form.SAVEINIT(SINV::ChangeRequest);
    EXPECT_EQ(form.SAVE(), c.result) << "round " << round;
    if (c.result == 0) {
      EXPECT_EQ(form.deleted, (std::vector<std::string>{"apples", "pears", "plums"}));
      EXPECT_EQ(form.added, (std::vector<std::string>{"apples/7", "figs/7", "plums/7"}));
    }
    lines.Close();
    EXPECT_EQ(StoredLines(def), c.stored) << "round " << round;
    list_->From(&form_);
  }
}

// Reading many lines gives the other runtime threads a turn, but never inside a transaction of
// the reading thread. A thread started just before the load is next in line for the runtime, so
// it runs at the load's first turn offered, and not before the load has ended when none is.
TEST_F(InvoiceLines, ALongLoadGivesOtherThreadsATurnOutsideATransaction) {
  for (int id = 10; id < 35; ++id) {
    LineBuffer() = Item{};
    LineBuffer().Id = id;
    LineBuffer().Small = 7;
    LineBuffer().Name = "line";
    LineBuffer().Amount = Decimal::FromUnits(0, 2);
    ASSERT_EQ(lines_.Insert(), 0);
  }
  int turns = 0, during_load = -1, during_logout = -1;
  RunProgram([&] {
    START([&] { ++turns; });
    EXPECT_EQ(form_.LOAD(), 0);
    during_load = turns;
    ASSERT_EQ(storage::LOGOUT(2), 0);
    START([&] { ++turns; });
    EXPECT_EQ(form_.LOAD(), 0);
    during_logout = turns - during_load;
    storage::ROLLBACK();
  });
  EXPECT_EQ(form_.Records(), 28u);
  EXPECT_EQ(during_load, 1) << "29 records read, a turn offered after every 10th";
  EXPECT_EQ(during_logout, 0);
  EXPECT_EQ(turns, 2);
}

// The cell editors stand over the chosen row only while its cell is edited, one at a time: an
// editor left standing over a row that is not being edited would take typing that goes nowhere.
TEST_F(InvoiceLines, OnlyTheCellBeingEditedShowsItsEditor) {
  SBRW::EDITENTRYCLASS name_entry, id_entry;
  name_entry.INIT(1, *list_, form_.CELL);
  id_entry.INIT(2, *list_, form_.CELL);
  form_.ADDEDITCONTROL(name_entry, 1);
  form_.ADDEDITCONTROL(id_entry, 2);
  const auto shown = [&] {
    return std::string(window_[name_entry.FEQ].Visible() ? "name" : "-") + " " +
           (window_[id_entry.FEQ].Visible() ? "id" : "-");
  };
  EXPECT_EQ(shown(), "- -");
  form_.CURRENTCHOICE = 1;
  ASSERT_EQ(form_.ASKRECORD(SINV::ChangeRequest), SINV::Completed);
  EXPECT_EQ(shown(), "name -");
  form_.TAKEEDITCODE(1);  // Tab
  EXPECT_EQ(shown(), "- id");
  form_.TAKEEDITCODE(3);  // Enter
  EXPECT_EQ(shown(), "- -");
  ASSERT_EQ(form_.ASKRECORD(SINV::InsertRequest), SINV::Completed);
  EXPECT_EQ(shown(), "name -");
  form_.TAKEEDITCODE(4);  // Esc
  EXPECT_EQ(shown(), "- -");
}

// What is typed in a cell shows in the list as soon as the cell is left for the next one, not
// only once the whole row is complete.
TEST_F(InvoiceLines, ACellLeftForTheNextShowsWhatWasTypedInIt) {
  TableDef def = MakeItemTable("tabbed\\!items");
  def.buffer = line_def_.buffer;
  TestDriver ui;
  ui.Start([&] {
    ItemBuffer().Id = 7;
    FileManager lines;
    lines.Init(def);
    AddLines(def, lines);
    Window window("Tabbed Lines");
    Control& list = window.List("40L~Item~@s10@40L~Code~@s7@");
    SINV::INVOICECLASS form;
    form.INIT(list, lines, def.keys[0]);
    form.ADDFIELD("Name");
    form.ADDFIELD("Code");
    form.ADDCHILDPARENTFIELD("Small", orders_, "Id");
    SBRW::EDITENTRYCLASS name, code;
    name.INIT(1, list, form.CELL);
    code.INIT(2, list, form.CELL);
    form.ADDEDITCONTROL(name, 1);
    form.ADDEDITCONTROL(code, 2);
    form.INSERTCONTROL = window.Button("Insert");
    const int close = window.Button("Close");
    form.LOAD();
    while (window.Accept() && ACCEPTED() != close) form.TAKEEVENT();
    lines.Close();
  });
  DriverWindow w = ui.WaitWindow("Tabbed Lines");
  DriverControl list = w.ControlNumber(1), name = w.ControlNumber(2), code = w.ControlNumber(3);
  w.Control("Insert").Press();
  ASSERT_EQ(list.Rows(), 4u);
  name.Type("figs");
  name.PressKey(addons::TabKey);
  EXPECT_EQ(list.Cell(4, 1), "figs");
  code.Type("FI-4");
  code.PressKey(addons::ShiftTab);
  EXPECT_EQ(list.Cell(4, 2), "FI-4");
  w.Control("Close").Press();
  ui.Finish();
}

// The arrow and page keys on the list move through the lines as the list's scroll events do:
// Down past the last line adds one (AUTOINSERT), Up from an empty last line takes it away.
TEST_F(InvoiceLines, TheListsArrowKeysMoveAddAndTakeAwayLines) {
  TableDef def = MakeItemTable("arrows\\!items");
  def.buffer = line_def_.buffer;
  TestDriver ui;
  ui.Start([&] {
    LinesWindow shown(def, orders_, "Arrow Lines", "40L~Item~@s10@", {"Name"});
    Window& window = shown.window;
    NamedLines& form = shown.form;
    form.INSERTCONTROL = window.Button("Insert");
    form.DELETECONTROL = window.Button("Delete");
    const int close = window.Button("Close");
    form.AUTOINSERT = true;
    form.LOAD();
    while (window.Accept() && ACCEPTED() != close) {
      form.TAKEEVENT();
      window.Status(1, std::to_string(form.Records()) + " @" + std::to_string(form.CURRENTCHOICE) +
                           (form.EDITING() ? " editing" : ""));
    }
  });
  DriverWindow w = ui.WaitWindow("Arrow Lines");
  DriverControl list = w.ControlNumber(1), editor = w.ControlNumber(2);
  list.ChooseRow(1);
  struct Step {
    int key;
    const char* status;
  } steps[] = {
      {addons::DownKey, "3 @2"}, {addons::PageDown, "3 @3"},        {addons::UpKey, "3 @2"},
      {addons::PageUp, "3 @1"},  {addons::UpKey, "3 @1"},           {addons::DownKey, "3 @2"},
      {addons::DownKey, "3 @3"}, {addons::DownKey, "4 @4 editing"},
  };
  for (const Step& step : steps) {
    list.PressKey(step.key);
    EXPECT_EQ(w.Status(1), step.status) << "key " << step.key;
  }
  EXPECT_EQ(list.Choice(), 4);
  editor.PressKey(EnterKey);  // the new line left empty
  list.PressKey(addons::UpKey);
  EXPECT_EQ(w.Status(1), "3 @3");
  w.Control("Close").Press();
  ui.Finish();
}

}  // namespace
}  // namespace vx::test
