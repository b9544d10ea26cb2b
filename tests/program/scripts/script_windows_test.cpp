// The script routines with their windows, driven as a user would: the progress windows of
// delete, export and import, the file dialog, the message boxes, and the places the progress
// windows keep in POSITION.INI.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/test_support.h"
#include "program/script_engine/delete_script.h"
#include "program/script_engine/parse_script_text.h"
#include "program/script_engine/script_files.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/script_tables.h"
#include "program/script_engine/start_script.h"
#include "program/scripts/script_file_commands.h"
#include "program/scripts/script_procedures.h"
#include "runtime/dates.h"
#include "runtime/ini_file.h"
#include "runtime/window/dialogs.h"
#include "support/test_driver.h"
#include "tests/program/script_test_support.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

using test::Step;
using Strings = std::vector<std::string>;

// Control numbers of a progress window: its text, the bar, the percentage.
constexpr int kBar = 2;

class ScriptWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { GLO_EXPORTNAME = "Export.txt"; }
  void TearDown() override { GLO_EXPORTNAME = "Export.txt"; }

  void AddSteps(std::int32_t id, int count) {
    for (int i = 0; i < count; ++i) {
      SCRIPTING_RECORD s =
          Step("Send Keys", [&](auto& r) { r.Keystrokes = "k" + std::to_string(i); });
      s.ID = id;
      s.Sequence = i;
      steps_.Put(s);
    }
  }

  // Runs `routine` as the program, with task `id` current on its thread.
  static void Run(TestDriver& ui, std::int32_t id, std::function<void()> routine) {
    ui.Start([id, routine = std::move(routine)] {
      SCH.ID = id;
      routine();
    });
  }

  // Waits until the program shows its `count`th message box, which holds the pass while the
  // test looks at its window.
  static void WaitHeld(TestDriver& ui, std::size_t count = 1) {
    ui.WaitUntil([&] { return ui.Messages().size() >= count; }, "a message box");
  }

  std::string Place(std::string_view procedure) const {
    return positions_.Get(procedure, "XPos") + " " + positions_.Get(procedure, "YPos") + " " +
           positions_.Get(procedure, "Width") + " " + positions_.Get(procedure, "Height");
  }

  test::InFreshFolder folder_;  // the current folder, where POSITION.INI lies
  IniFile positions_ = IniFile::AtPath(folder_.path() / "POSITION.INI");
  test::FakeScriptSteps steps_;
  test::FakeScriptFile file_;
};

TEST_F(ScriptWindowsTest, DeletingShowsProgressAndReopensWhereTheUserLeftIt) {
  AddSteps(4, 4);
  AddSteps(5, 1);
  int deleted = 0;
  // Half way through, a message box holds the pass so that the window can be looked at.
  steps_.on_delete = [&] {
    if (++deleted == 2) MESSAGE("half way");
  };
  {
    TestDriver ui;
    Run(ui, 4, [&] { EXPECT_TRUE(DeleteScript(steps_)); });
    WaitHeld(ui);
    DriverWindow progress = ui.WaitWindow("Deleting Script");
    EXPECT_EQ(progress.Title(), "Deleting Script");
    EXPECT_EQ(progress.Control("Processing Records").Kind(), ControlType::String);
    EXPECT_EQ(progress.Control("50% Completed").Kind(), ControlType::String);
    EXPECT_EQ(progress.ControlNumber(kBar).Kind(), ControlType::Progress);
    EXPECT_EQ(progress.ControlNumber(kBar).Value(), "50");
    progress.Move(10, 20, 300, 90);
    ui.WaitMessage(BUTTON_OK);
    ui.WaitClosed(progress);
    ui.Finish();
  }
  EXPECT_TRUE(steps_.Task(4).empty());
  EXPECT_EQ(steps_.Task(5).size(), 1u);
  EXPECT_EQ(Place("DeleteScript"), "10 20 300 90");

  AddSteps(4, 2);
  deleted = 1;  // held after the first of two
  TestDriver ui;
  Run(ui, 4, [&] { DeleteScript(steps_); });
  WaitHeld(ui);
  DriverWindow progress = ui.WaitWindow("Deleting Script");
  EXPECT_EQ(progress.Get(Prop::X), "10");
  EXPECT_EQ(progress.Get(Prop::Width), "300");
  EXPECT_EQ(progress.ControlNumber(kBar).Value(), "50");
  progress.Close();  // the close box does not stop the pass
  ui.WaitMessage(BUTTON_OK);
  ui.WaitClosed(progress);
  ui.Finish();
  EXPECT_TRUE(steps_.Task(4).empty());
}

TEST_F(ScriptWindowsTest, ExportAsksThroughTheFileDialogAndShowsErrorsOverItsProgress) {
  AddSteps(3, 4);
  file_.fail_add_at_line = 1;
  TestDriver ui;
  ui.AnswerFile("backup.vxs");
  Run(ui, 3, [&] {
    WindowMessageReporter messages;
    ExportScript(steps_, file_, messages, AskFileByDialog);
  });
  WaitHeld(ui);
  DriverWindow progress = ui.WaitWindow("Exporting Script Items");
  EXPECT_EQ(progress.Control("Processing Records").Kind(), ControlType::String);
  EXPECT_EQ(progress.Control("25% Completed").Kind(),
            ControlType::String);  // the second line failed
  progress.Move(30, 40, 320, 100);
  const SeenRequest error = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(error.caption, "Error!");
  EXPECT_EQ(error.text, "Error exporting script item Disk full");
  ui.WaitClosed(progress);
  ui.Finish();

  const SeenRequest dialog = ui.Requests().front();
  EXPECT_EQ(dialog.kind, Request::Kind::FileDialog);
  EXPECT_EQ(dialog.caption, "Export to File");
  EXPECT_EQ(dialog.text, "Export.txt");
  EXPECT_EQ(dialog.filter, kScriptFileFilter);
  EXPECT_EQ(file_.files["backup.vxs"].size(), 3u);
  EXPECT_EQ(Place("ExportScript"), "30 40 320 100");
}

TEST_F(ScriptWindowsTest, ImportAsksThroughTheFileDialogAndReportsUnknownLines) {
  EXPORT_RECORD unknown;
  unknown.TYPE = "Launch Rocket";
  file_.files["in.vxs"] = {*ScriptFileLine(Step("Exit Script")), unknown,
                           *ScriptFileLine(Step("Send Keys", [](auto& r) { r.Keystrokes = "x"; }))};
  TestDriver ui;
  ui.AnswerFile("");  // the first import is cancelled: no progress, no steps
  ui.AnswerFile("in.vxs");
  Run(ui, 3, [&] {
    WindowMessageReporter messages;
    ImportScript(steps_, file_, messages, AskFileByDialog);
    EXPECT_TRUE(steps_.Task(3).empty());
    ImportScript(steps_, file_, messages, AskFileByDialog);
  });
  WaitHeld(ui);
  DriverWindow progress = ui.WaitWindow("Importing Script Items");
  EXPECT_EQ(progress.Control("33% Completed").Kind(), ControlType::String);
  progress.Move(5, 6, 250, 80);
  const SeenRequest error = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(error.caption, "Import Error");
  EXPECT_EQ(error.text, "Unrecognized script action: Launch Rocket");
  ui.WaitClosed(progress);
  ui.Finish();

  const std::vector<SeenRequest> asked = ui.Requests();
  ASSERT_EQ(asked.size(), 3u);
  for (int i : {0, 1}) {
    EXPECT_EQ(asked[i].kind, Request::Kind::FileDialog);
    EXPECT_EQ(asked[i].caption, "Choose File to Import");
    EXPECT_EQ(asked[i].filter, kScriptFileFilter);
  }
  EXPECT_EQ(steps_.Summary(3), (Strings{"0 Exit Script", "1 Send Keys"}));
  EXPECT_EQ(Place("ImportScript"), "5 6 250 80");
}

TEST_F(ScriptWindowsTest, StartingAScriptFileShowsItsProgressAndKeepsItsPlace) {
  EXPORT_RECORD unknown;
  unknown.TYPE = "Launch Rocket";
  file_.files["run.vxs"] = {*ScriptFileLine(Step("Send Keys", [](auto& r) { r.Keystrokes = "x"; })),
                            unknown};
  TestDriver ui;
  Run(ui, 3, [&] {
    WindowMessageReporter messages;
    StartScript("Jump to (Execute and skip)", "run.vxs", file_, messages);
    ScriptQueue.Free();
  });
  WaitHeld(ui);
  DriverWindow progress = ui.WaitWindow("Importing Script Items");
  EXPECT_EQ(progress.Control("50% Completed").Kind(), ControlType::String);
  progress.Move(7, 8, 260, 90);
  EXPECT_EQ(ui.WaitMessage(BUTTON_OK).text, "Unrecognized script action: Launch Rocket");
  ui.WaitClosed(progress);
  ui.Finish();
  EXPECT_EQ(Place("StartScript"), "7 8 260 90");
}

TEST_F(ScriptWindowsTest, MessagesAreRealMessageBoxes) {
  AddSteps(3, 2);
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);
  ui.AnswerMessage(BUTTON_NO);
  ui.AnswerMessage(BUTTON_YES);
  Run(ui, 3, [&] {
    WindowMessageReporter messages;
    ParseScriptText("   ", steps_, messages);
    ClearAllScriptItems(steps_, messages, {});
    EXPECT_EQ(steps_.Task(3).size(), 2u);
    ClearAllScriptItems(steps_, messages, {});
  });
  ui.Finish();
  const std::vector<SeenRequest> shown = ui.Messages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].caption + ": " + shown[0].text, "Error: Nothing to save.");
  EXPECT_EQ(shown[1].caption + ": " + shown[1].text,
            "Clear All: Delete all script items for the current task?");
  EXPECT_EQ(shown[1].buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_TRUE(steps_.Task(3).empty());
}

// The routines as the program's windows call them, on the data library's tables.
class ScriptProceduresTest : public ScriptWindowsTest {
 protected:
  void SetUp() override {
    ScriptWindowsTest::SetUp();
    SetClockSource(&clock_);
    VX_Files_Load();
  }
  void TearDown() override {
    VX_Files_Unload();
    SetClockSource(nullptr);
    ScriptWindowsTest::TearDown();
  }
  test::FixedClock clock_{80000, 360001};
};

TEST_F(ScriptProceduresTest, AScriptThroughTextAndAFileIntoAnotherTask) {
  constexpr std::string_view kScript = "KEYS [CTRL-S]\r\nWAIT 5\r\nEXIT\r\n";
  std::string written, copied;
  TestDriver ui;
  ui.AnswerFile("copy.vxs");
  ui.AnswerFile("copy.vxs");
  ui.Start([&] {
    SCH.ID = 4;
    ParseScriptText(kScript);
    written = WriteScriptText();
    ExportScript();
    SCH.ID = 6;
    ImportScript();
    copied = WriteScriptText();
    SCH.ID = 4;
    DeleteScript();
    EXPECT_EQ(WriteScriptText(), "");
  });
  ui.Finish();
  EXPECT_EQ(written, kScript);
  // Imported steps are numbered from 0, so the text is the same.
  EXPECT_EQ(copied, kScript);
  EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
}  // namespace vx
