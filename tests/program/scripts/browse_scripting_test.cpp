// The step list of a task on a real SCRIPTING table, driven as a user would: the steps in
// order with their summaries, moving and renumbering, inserting in place, copying and deleting
// through the step editor, the one window per program, and a script written in the editor,
// exported and imported into another task.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/scripts/script_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/open_windows.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "tests/program/script_test_support.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;

class BrowseScriptingTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    GLO_EXPORTNAME = "Export.txt";
  }

  void Put(std::int32_t task, std::int32_t sequence, std::string_view action,
           const std::function<void(SCRIPTING_RECORD&)>& fill = {}) {
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = SCRIPTING_RECORD{};
    SCR.ID = task;
    SCR.Sequence = sequence;
    SCR.Action = action;
    if (fill) fill(SCR);
    ASSERT_EQ(ACCESS_SCRIPTING->file().Add(), 0);
    ACCESS_SCRIPTING->Close();
  }
  // Keys steps named by their keys.
  void Keys(std::int32_t task, std::initializer_list<std::pair<std::int32_t, std::string>> steps) {
    for (const auto& [seq, keys] : steps)
      Put(task, seq, "Send Keys", [&](auto& s) { s.Keystrokes = keys; });
  }
  std::vector<SCRIPTING_RECORD> Stored(std::int32_t task) {
    std::vector<SCRIPTING_RECORD> out;
    EXPECT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR.ID = task;
    SCR.Sequence = std::numeric_limits<std::int32_t>::min();
    ACCESS_SCRIPTING->file().SetFromBuffer(SCR_KEYID);
    while (ACCESS_SCRIPTING->file().Next() == 0 && SCR.ID == task) out.push_back(SCR);
    ACCESS_SCRIPTING->Close();
    return out;
  }
  // "sequence keys" of each keys step, "sequence action" of the others.
  Strings Summary(std::int32_t task) {
    Strings out;
    for (const SCRIPTING_RECORD& s : Stored(task)) {
      out.push_back(std::to_string(s.Sequence) + " " +
                    (s.Action == "Send Keys" ? s.Keystrokes.str() : s.Action.str()));
    }
    return out;
  }

  DriverWindow Start(std::int32_t task, std::string_view title = "Scripting - ") {
    ui_.Start([task] {
      SCH = SCHEDULE_RECORD{};
      SCH.ID = task;
      SCH.Category = "Backup";
      SCH.Description = "Nightly";
      SCH.Command = "run.sh";
      BrowseScripting();
    });
    return ui_.WaitWindow(title);
  }
  static DriverControl List(const DriverWindow& w) { return w.ControlNumber(1); }
};

TEST_F(BrowseScriptingTest, ListsTheTasksStepsAndMovesThemKeepingTheirNumbers) {
  Keys(4, {{1, "k1"}, {2, "k2"}, {5, "k5"}});
  Put(4, 9, "Wait", [](auto& s) { s.SecondsToWait = 10; });
  Keys(5, {{2, "other task"}});
  DriverWindow w = Start(4, "Scripting - Backup: Nightly run.sh");
  DriverControl list = List(w);
  ASSERT_EQ(list.Rows(), 4u);
  EXPECT_EQ(list.Cell(1, 1), "Send Keys");
  EXPECT_EQ(list.Cell(1, 2), "k1");
  EXPECT_EQ(list.Cell(4, 1), "Wait");
  EXPECT_EQ(list.Cell(4, 2), "10 seconds");
  // The popup also offers the list's other commands.
  EXPECT_FALSE(w.Control("Template").Disabled());
  EXPECT_FALSE(w.Control("Print").Disabled());
  list.RightClick();
  const SeenRequest popup = ui_.WaitPopup(0);
  for (const char* item : {"&Template", "Edit as &Text", "&Print", "&Import", "E&xport", "Cop&y"}) {
    EXPECT_NE(("|" + popup.text + "|").find(std::string("|") + item), std::string::npos)
        << item << " in " << popup.text;
  }

  // To the top: the last step takes number 1, the ones it passes move down a place.
  list.ChooseRow(4);
  w.Control("Top").Press();
  EXPECT_EQ(Summary(4), (Strings{"1 Wait", "2 k1", "5 k2", "9 k5"}));
  EXPECT_EQ(list.Cell(1, 1), "Wait");
  EXPECT_EQ(list.Choice(), 1);  // the moved step stays highlighted
  // Up one on the first step and down one on the last change nothing.
  w.Control("Up").Press();
  list.ChooseRow(4);
  w.Control("Down").Press();
  EXPECT_EQ(Summary(4), (Strings{"1 Wait", "2 k1", "5 k2", "9 k5"}));
  // Down one swaps two neighbours; to the bottom rotates the rest.
  list.ChooseRow(2);
  w.Control("Down").Press();
  EXPECT_EQ(Summary(4), (Strings{"1 Wait", "2 k2", "5 k1", "9 k5"}));
  EXPECT_EQ(list.Choice(), 3);
  list.ChooseRow(1);
  w.Control("Bottom").Press();
  EXPECT_EQ(Summary(4), (Strings{"1 k2", "2 k1", "5 k5", "9 Wait"}));
  list.ChooseRow(3);
  w.Control("Up").Press();
  EXPECT_EQ(Summary(4), (Strings{"1 k2", "2 k5", "5 k1", "9 Wait"}));
  EXPECT_EQ(Summary(5), Strings{"2 other task"});

  // The list extension sorts by a column's header; the steps keep their numbers.
  list.ClickHeader(1);
  EXPECT_EQ(list.Cell(4, 1), "Wait");
  list.ClickHeader(1);
  EXPECT_EQ(list.Cell(1, 1), "Wait");
  EXPECT_EQ(Summary(4), (Strings{"1 k2", "2 k5", "5 k1", "9 Wait"}));
  w.Close();
  ui_.Finish();
  EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(BrowseScriptingTest, NewStepsGoAfterTheHighlightedOneAndDeletingRenumbers) {
  Keys(4, {{1, "k1"}, {2, "k2"}, {3, "k3"}, {4, "k4"}});
  DriverWindow w = Start(4);
  DriverControl list = List(w);

  // New with step 2 highlighted: the step is stored as 5, then moved up to 3.
  list.ChooseRow(2);
  w.Control("New").Press();
  DriverWindow form = ui_.WaitWindow("New Script Action");
  form.Control("Key(s) to press").Type("new");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Summary(4), (Strings{"1 k1", "2 k2", "3 new", "4 k3", "5 k4"}));
  EXPECT_EQ(list.Cell(3, 2), "new");
  EXPECT_EQ(list.Choice(), 3);

  // A cancelled insert changes no numbers.
  list.ChooseRow(1);
  w.Control("New").Press();
  form = ui_.WaitWindow("New Script Action");
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Summary(4), (Strings{"1 k1", "2 k2", "3 new", "4 k3", "5 k4"}));

  // Copy: the new step starts from the highlighted one's fields and lands after it.
  list.ChooseRow(1);
  w.Control("Copy").Press();
  form = ui_.WaitWindow("New Script Action");
  EXPECT_EQ(form.Control("Key(s) to press").Value(), "k1");
  form.Control("Key(s) to press").Type("k1 copy");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Summary(4), (Strings{"1 k1", "2 k1 copy", "3 k2", "4 new", "5 k3", "6 k4"}));

  // Delete step 2: the steps after it close the gap. A cancelled delete changes nothing.
  list.ChooseRow(2);
  w.Control("Delete").Press();
  form = ui_.WaitWindow("Delete Script Action");
  form.Control("Close").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Summary(4).size(), 6u);
  w.Control("Delete").Press();
  form = ui_.WaitWindow("Delete Script Action");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Summary(4), (Strings{"1 k1", "2 k2", "3 new", "4 k3", "5 k4"}));

  // Edit changes the highlighted step in place.
  list.ChooseRow(3);
  w.Control("Edit").Press();
  form = ui_.WaitWindow("Edit Script Action");
  form.Control("Key(s) to press").Type("newer");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Summary(4), (Strings{"1 k1", "2 k2", "3 newer", "4 k3", "5 k4"}));

  // Edit as Text shows the script as text; saving it numbers the steps from 1 again.
  w.Control("Edit as Text").Press();
  DriverWindow text = ui_.WaitWindow("Scripting:  Edit As Text");
  EXPECT_EQ(text.ControlNumber(1).Value(),
            "KEYS k1\r\nKEYS k2\r\nKEYS newer\r\nKEYS k3\r\nKEYS k4\r\n");
  text.Control("OK").Press();
  ui_.WaitClosed(text);
  EXPECT_EQ(list.Rows(), 5u);
  EXPECT_EQ(list.Cell(3, 2), "newer");

  // Clear All asks first.
  ui_.AnswerMessage(BUTTON_NO);
  w.Control("Clear").Press();
  EXPECT_EQ(list.Rows(), 5u);
  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Clear").Press();
  ui_.WaitUntil([&] { return list.Rows() == 0; }, "the steps deleted");
  EXPECT_TRUE(w.Control("Copy").Disabled());
  w.Close();
  ui_.Finish();
  EXPECT_TRUE(Stored(4).empty());
}

TEST_F(BrowseScriptingTest, OneWindowPerProgramAndATaskWithoutIdIsReported) {
  // A launcher on the program's first thread starts the list on a thread of its own for task 4,
  // as the task windows do.
  ui_.Start([] {
    Window launcher("Launcher");
    const int start = launcher.Button("Start");
    launcher.Open();
    while (launcher.Accept()) {
      if (ACCEPTED() == start)
        START([] {
          SCH.ID = 4;
          BrowseScripting();
        });
    }
  });
  DriverWindow launcher = ui_.WaitWindow("Launcher");
  launcher.Control("Start").Press();
  DriverWindow w = ui_.WaitWindow("Scripting - ");
  w.Iconize();
  // The second start restores the open window and selects its list instead of opening another.
  launcher.Control("Start").Press();
  ui_.WaitUntil([&] { return w.Get(Prop::Iconize) != "1" && w.Get(Prop::Focus) == "1"; },
                "the window restored with its list selected");
  EXPECT_EQ(ui_.OpenTitles().size(), 2u);
  w.Close();
  ui_.WaitClosed(w);
  launcher.Close();
  ui_.Finish();

  TestDriver ui;
  ui.Start([] {
    SCH = SCHEDULE_RECORD{};
    BrowseScripting();
  });
  const SeenRequest box = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Internal Error");
  EXPECT_EQ(box.text, "Invalid Schedule ID #0");
  DriverWindow empty = ui.WaitWindow("Scripting - ");
  // A task without a description or command is named all the same.
  EXPECT_EQ(empty.Title(), "Scripting - : Script " + FormatDate(TODAY()) + " N/A");
  empty.Close();
  ui.Finish();
}

TEST_F(BrowseScriptingTest, AScriptWrittenInTheEditorIsExportedAndImportedIntoAnotherTask) {
  DriverWindow w = Start(4);
  const auto add = [&](std::string_view action,
                       const std::function<void(const DriverWindow&)>& fill) {
    w.Control("New").Press();
    DriverWindow form = ui_.WaitWindow("New Script Action");
    form.Control("Action").Choose(action);
    fill(form);
    form.Control("OK").Press();
    for (const SeenRequest& m : ui_.Messages()) ADD_FAILURE() << m.caption << ": " << m.text;
    ui_.WaitClosed(form);
  };
  add("Send Keys", [](const DriverWindow& f) { f.Control("Key(s) to press").Type("[CTRL-S]"); });
  add("Wait", [](const DriverWindow& f) {
    f.Control("Wait seconds").Type("5");
    f.Control("Wait for window").Type("Save As");
  });
  add("Display Message", [](const DriverWindow& f) {
    f.Control("Title").Type("Done");
    f.Control("Message").Type("Saved, all fine");
  });
  add("Set Value", [](const DriverWindow& f) {
    f.ControlNumber(f.Control("Set Var").Number() + 2).Type("[Dir]");
  });
  add("...End If", [](const DriverWindow&) {});
  add("Exit Script", [](const DriverWindow&) {});
  ASSERT_EQ(List(w).Rows(), 6u);
  ui_.AnswerFile("round.vxs");
  w.Control("Export").Press();
  ui_.WaitUntil([&] { return !ui_.HasWindow("Exporting"); }, "the export done");
  w.Close();
  ui_.Finish();

  // Task 6 has a step of its own already: the imported ones follow it.
  Keys(6, {{3, "mine"}});
  TestDriver ui;
  ui.Start([] {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 6;
    BrowseScripting();
  });
  DriverWindow other = ui.WaitWindow("Scripting - ");
  ui.AnswerFile("round.vxs");
  other.Control("Import").Press();
  ui.WaitUntil([&] { return List(other).Rows() == 7u; }, "the steps imported");
  other.Close();
  ui.Finish();

  const std::vector<SCRIPTING_RECORD> written = Stored(4);
  const std::vector<SCRIPTING_RECORD> read = Stored(6);
  ASSERT_EQ(written.size(), 6u);
  ASSERT_EQ(read.size(), 7u);
  EXPECT_EQ(read[0].Keystrokes.str(), "mine");
  for (std::size_t i = 0; i < written.size(); ++i) {
    SCRIPTING_RECORD expected = written[i];
    expected.ID = 6;
    expected.Sequence = static_cast<std::int32_t>(4 + i);
    // A new step starts with a day's seconds in a field only programs and time conditions use,
    // and script files hold it only for them.
    EXPECT_EQ(written[i].TimeElapsed, 86400);
    expected.TimeElapsed = 0;
    EXPECT_EQ(test::Dump(read[i + 1]), test::Dump(expected));
  }
}

}  // namespace
}  // namespace vx
