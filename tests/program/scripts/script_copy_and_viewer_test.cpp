// Copying a task's script onto another (order kept past sequence clashes, failed adds reported),
// the running-script viewer over the active script queue, and the key reference viewer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/window_manager.h"
#include "program/common/main_procedures.h"
#include "program/script_engine/copy_script.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/send_keys.h"
#include "program/scripts/script_procedures.h"
#include "program/scripts/view_script_keys.h"
#include "program/scripts/view_script_queue.h"
#include "program/shell/register_program_windows.h"
#include "program/shell_fixture.h"
#include "runtime/ini_file.h"
#include "runtime/locale_formats.h"
#include "runtime/pictures.h"
#include "runtime/threads.h"
#include "support/test_driver.h"
#include "tests/program/script_test_support.h"

namespace vx {
namespace {

using test::Step;
using Strings = std::vector<std::string>;

SCRIPTING_RECORD Row(std::int32_t id, std::int32_t sequence,
                     std::string_view action = "Exit Script") {
  SCRIPTING_RECORD s = Step(action);
  s.ID = id;
  s.Sequence = sequence;
  return s;
}

TEST(CopyScript, KeepsTheOrderPastClashesAndReportsFailedAdds) {
  test::FakeScriptSteps steps;
  test::RecordingReporter messages;
  for (int seq : {1, 2, 3}) steps.Put(Row(4, seq, "Send Keys"));
  steps.Put(Row(6, 2));

  CopyScript(4, 4, steps, messages);
  CopyScript(0, 6, steps, messages);
  CopyScript(4, 0, steps, messages);
  EXPECT_EQ(steps.Summary(4).size(), 3u);
  EXPECT_EQ(steps.batches_begun, 0);

  // After the clash on 2 every later step moves up by one.
  CopyScript(4, 6, steps, messages);
  EXPECT_EQ(steps.Summary(6),
            (Strings{"1 Send Keys", "2 Exit Script", "3 Send Keys", "4 Send Keys"}));
  EXPECT_EQ(steps.Summary(4).size(), 3u);
  EXPECT_EQ(steps.batches_ended, 1);
  EXPECT_TRUE(messages.Texts().empty());

  // A failed add is reported and the copy goes on.
  steps.fail_add_at_sequence = 2;
  CopyScript(4, 7, steps, messages);
  EXPECT_EQ(steps.Summary(7), (Strings{"1 Send Keys", "3 Send Keys"}));
  EXPECT_EQ(messages.Texts(), (Strings{"Error: Error adding script record:\rDisk full"}));
}

TEST(CopyScript, GivesUpOnAStepWhenNoSequenceWithinTheLimitIsFree) {
  test::FakeScriptSteps steps;
  test::RecordingReporter messages;
  steps.Put(Row(4, 1, "Send Keys"));
  for (int seq = 1; seq <= 5001; ++seq) steps.Put(Row(6, seq));
  CopyScript(4, 6, steps, messages);
  EXPECT_EQ(steps.Task(6).size(), 5001u);
  EXPECT_EQ(messages.Texts(),
            (Strings{"Error: Error adding script record:\rCreates Duplicate Key"}));
}

class ScriptCopyAndViewerTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ScriptQueue.Free();
  }
  void TearDown() override {
    ScriptQueue.Free();
    DEBUGMODE = 0;
    ShellTest::TearDown();
  }

  static void Queue(std::int32_t id, std::int32_t sequence, std::string_view action,
                    std::int32_t time) {
    ScriptQueueEntry entry;
    entry.SCR = Row(id, sequence, action);
    if (action == "Send Keys") entry.SCR.Keystrokes = "[ENTER]";
    entry.DueDate = DATE(6, 12, 2026);
    entry.DueTime = time;
    ScriptQueue.buffer = entry;
    ScriptQueue.Add();
  }
  static Strings Actions() {
    Strings out;
    for (const ScriptQueueEntry& e : ScriptQueue) out.push_back(e.SCR.Action.str());
    return out;
  }

  ScopedLocaleFormats locale_{LocaleFormats{}};
};

TEST_F(ScriptCopyAndViewerTest, CopiesOnTheScriptingTable) {
  std::string copied;
  TestDriver ui;
  ui.Start([&] {
    SCH.ID = 4;
    ParseScriptText("KEYS a\r\nWAIT 5\r\nEXIT\r\n");
    SCH.ID = 6;
    ParseScriptText("COMMENT mine\r\n");
    CopyScript(4, 6);
    copied = WriteScriptText();
  });
  ui.Finish();
  // The comment keeps step 1; the copied steps follow it in their order.
  EXPECT_EQ(copied, "COMMENT mine\r\nKEYS a\r\nWAIT 5\r\nEXIT\r\n");
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(ScriptCopyAndViewerTest, DetailsShowWhenTheStepIsDueAndWhatItDoes) {
  ScriptQueueEntry entry;
  entry.SCR = Row(4, 2, "Send Keys");
  entry.SCR.Keystrokes = "[CTRL-S]";
  entry.DueDate = DATE(6, 12, 2026);
  entry.DueTime = MakeTime(14, 7, 30);
  const std::string details = ScriptQueueEntryDetails(entry);
  // Due date, due time, action, the step's summary, then the entry as held, cut at 80.
  const std::string expected = FORMAT(entry.DueDate, "@d17") + "\r\n" +
                               FORMAT(entry.DueTime, "@t6") +
                               "\r\nSend Keys\r\n[CTRL-S]\r\n4 2 Send Keys" + std::string(18, ' ') +
                               "[CTRL-S]" + std::string(247, ' ');
  EXPECT_EQ(details, expected.substr(0, 80));
  entry.SCR.Keystrokes = std::string(200, 'k');
  EXPECT_EQ(ScriptQueueEntryDetails(entry).size(), 80u);
}

TEST_F(ScriptCopyAndViewerTest, TheViewerListsTheQueueAndDeletesTheStepTheUserChose) {
  Queue(4, 1, "Send Keys", MakeTime(14, 7, 10));
  Queue(4, 2, "Wait", MakeTime(14, 7, 11));
  Queue(4, 3, "Exit Script", MakeTime(14, 7, 20));
  TestDriver ui;
  // Main's part: it takes the head off the queue, as the executor does, while the viewer runs
  // on a thread of its own.
  ui.Start([] {
    Window main("Main");
    const int take = main.Button("Take head");
    WindowManager manager(main);
    manager.OnAccepted(take, [] {
      if (ScriptQueue.Get(1) == 0) ScriptQueue.Delete();
    });
    manager.On(EVENT_OpenWindow, [] { START(ViewQueue_Script); });
    manager.Run();
  });
  DriverWindow main = ui.WaitWindow("Main");
  DriverWindow viewer = ui.WaitWindow("Current Script");
  DriverControl list = viewer.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.Cell(2, 1), "4");
  EXPECT_EQ(list.Cell(2, 2), "2");
  EXPECT_EQ(list.Cell(2, 3), "Wait");
  EXPECT_EQ(viewer.Control("Current Time").Value(), FORMAT(MakeTime(14, 7, 9), "@t6"));
  EXPECT_NE(viewer.ControlNumber(2).Value().find("\r\n[ENTER]\r\n"), std::string::npos);

  list.ChooseRow(2);
  EXPECT_NE(viewer.ControlNumber(2).Value().find("\r\nWait\r\n"), std::string::npos);
  // The executor takes step 1 before the user presses Delete: the Wait the user chose goes,
  // not the step that moved into its row.
  main.Control("Take head").Press();
  viewer.Control("Delete").Press();
  EXPECT_EQ(Actions(), (Strings{"Exit Script"}));
  ASSERT_EQ(list.Rows(), 1u);
  EXPECT_EQ(list.Cell(1, 3), "Exit Script");

  viewer.Move(3, 4, 400, 300);
  viewer.Control("Close").Press();
  ui.WaitClosed(viewer);
  main.Close();
  ui.Finish();
  EXPECT_EQ(IniInUse()->Get("ViewQueue:Script", "Width"), "400");
}

TEST_F(ScriptCopyAndViewerTest, TheDebugButtonSwitchesTracingOnAndOpensTheReport) {
  bool reported = false;
  RegisterMainProcedure("BugReport", [&] { reported = true; });
  TestDriver ui;
  ui.Start([] { ViewQueue_Script(); });
  DriverWindow viewer = ui.WaitWindow("Current Script");
  EXPECT_EQ(viewer.ControlNumber(1).Rows(), 0u);
  EXPECT_EQ(viewer.ControlNumber(5).Get(Prop::Text), "");
  EXPECT_NE(viewer.ControlNumber(5).Get(Prop::Icon), "")
      << "a button without a caption shows a picture, not an empty face";
  viewer.ControlNumber(5).Press();
  viewer.Close();
  ui.Finish();
  RegisterMainProcedure("BugReport", {});
  EXPECT_EQ(DEBUGMODE, 1);
  EXPECT_TRUE(reported);

  RegisterProgramWindows();
  EXPECT_TRUE(static_cast<bool>(MainProcedure("ViewQueue:Script")));
  RegisterMainProcedure("ViewQueue:Script", {});
  RegisterMainProcedure("ViewAscii:Log", {});
}

// The shipped key reference names only keys that "Send Keys" presses.
TEST_F(ScriptCopyAndViewerTest, TheKeyReferenceShowsTheShippedFileAndNamesRealKeys) {
  const char* source = std::getenv("VX_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const std::filesystem::path folder = std::filesystem::path(source) / "program" / "scripts";
  std::ifstream file(folder / "KEYCODES.TXT");
  std::string line;
  int named = 0;
  while (std::getline(file, line)) {
    // Lines of the key lists: three blanks, the name, at least two blanks, what it is.
    if (!line.starts_with("   ") || line[3] == ' ' || line[3] == '[') continue;
    std::istringstream words(line);
    std::string name;
    words >> name;
    if (name == "CTRL" || name == "ALT" || name == "SHIFT" || name.find_first_of("^%+") == 0)
      continue;  // modifiers
    EXPECT_NE(KeyNameToCode(name), 0) << name;
    ++named;
  }
  EXPECT_GE(named, 30);

  TestDriver ui;
  ui.Start([&] {
    ViewAscii_ScriptKeys(folder);
    ViewAscii_ScriptKeys(folder / "missing");  // no file: no window
  });
  DriverWindow viewer = ui.WaitWindow("List of Key Abbreviations");
  EXPECT_GT(viewer.ControlNumber(1).Rows(), 40u);
  viewer.Control("&Close").Press();
  ui.WaitClosed(viewer);
  ui.Finish();
  EXPECT_TRUE(ui.OpenTitles().empty());
  EXPECT_TRUE(reporter_.shown.empty());
}

}  // namespace
}  // namespace vx
