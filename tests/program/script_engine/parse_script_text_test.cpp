// Replacing a task's script from its text, deleting a task's script, and a whole script
// through text and back.
#include "program/script_engine/parse_script_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "program/script_engine/delete_script.h"
#include "program/script_engine/write_script_text.h"
#include "tests/program/script_test_support.h"

namespace vx {
namespace {

using test::Dump;

class ParseScriptTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 5;
  }
  void TearDown() override { SCH = SCHEDULE_RECORD{}; }

  SCRIPTING_RECORD Row(std::int32_t id, std::int32_t sequence, std::string_view keys = "x") {
    SCRIPTING_RECORD s;
    s.ID = id;
    s.Sequence = sequence;
    s.Action = "Send Keys";
    s.Keystrokes = keys;
    return s;
  }

  test::FakeScriptSteps steps;
  test::RecordingReporter messages;
};

using Strings = std::vector<std::string>;

TEST_F(ParseScriptTextTest, ReplacesTheTasksStepsNumberedByLine) {
  steps.Put(Row(5, 1, "old"));
  steps.Put(Row(5, 2, "old"));
  steps.Put(Row(6, 1, "other task"));
  ParseScriptText("KEYS a\r\n\r\n  WAIT 5\r\nEND\r\n", steps, messages);
  EXPECT_EQ(steps.Summary(5),
            (Strings{"1 Send Keys", "3 Wait", "4 ...End If"}));  // the blank line leaves a gap
  EXPECT_EQ(steps.Summary(6), (Strings{"1 Send Keys"}));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(steps.batches_begun, 1);
  EXPECT_EQ(steps.batches_ended, 1);
}

TEST_F(ParseScriptTextTest, BareLineFeedsEndLines) {
  steps.Put(Row(5, 1, "old"));
  ParseScriptText("KEYS a\nKEYS b\n\nEXIT\n", steps, messages);
  EXPECT_EQ(steps.Summary(5), (Strings{"1 Send Keys", "2 Send Keys", "4 Exit Script"}));
  EXPECT_EQ(steps.Task(5)[1].Keystrokes.str(), "b");
}

TEST_F(ParseScriptTextTest, EmptyTextChangesNothing) {
  steps.Put(Row(5, 1, "old"));
  for (std::string_view text : {"", "    "}) {
    messages.shown.clear();
    ParseScriptText(text, steps, messages);
    EXPECT_EQ(messages.Texts(), Strings{"Error: Nothing to save."});
    EXPECT_EQ(steps.Summary(5), Strings{"1 Send Keys"});
  }
}

TEST_F(ParseScriptTextTest, TextOfBlankLinesLeavesNoScript) {
  steps.Put(Row(5, 1, "old"));
  ParseScriptText("\r\n\r\n", steps, messages);
  EXPECT_TRUE(steps.Task(5).empty());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ParseScriptTextTest, UnknownKeywordIsShownAndStoredAsTyped) {
  ParseScriptText("KEYS a\r\nJump to \"the end\"\r\nEXIT", steps, messages);
  EXPECT_EQ(messages.Texts(), Strings{"Error: Unknown script action:\r\nJump\r\nto \"the end\""});
  EXPECT_EQ(steps.Summary(5), (Strings{"1 Send Keys", "2 Jump", "3 Exit Script"}));
  EXPECT_TRUE(steps.Task(5)[1].Command.blank());
}

TEST_F(ParseScriptTextTest, FailedAddIsShownAndTheOtherLinesAreStored) {
  steps.fail_add_at_sequence = 2;
  ParseScriptText("KEYS a\r\nKEYS b\r\nKEYS c", steps, messages);
  EXPECT_EQ(messages.Texts(), Strings{"Error: Error adding scripting:\r\nDisk full"});
  EXPECT_EQ(steps.Summary(5), (Strings{"1 Send Keys", "3 Send Keys"}));
}

// A box shown while the steps are written waits for the user: the table's batch is closed first.
class BatchWatchingReporter : public MessageReporter {
 public:
  explicit BatchWatchingReporter(const test::FakeScriptSteps& steps) : steps_(steps) {}
  std::vector<int> open_batches;
  unsigned Show(const MessageBoxRequest& box) override {
    open_batches.push_back(steps_.batches_begun - steps_.batches_ended);
    return box.default_button;
  }

 private:
  const test::FakeScriptSteps& steps_;
};

TEST_F(ParseScriptTextTest, NoBatchIsHeldWhileAnErrorIsShown) {
  steps.fail_add_at_sequence = 2;
  BatchWatchingReporter watching(steps);
  ParseScriptText("KEYS a\r\nKEYS b\r\nFrobnicate\r\nKEYS c", steps, watching);
  EXPECT_EQ(watching.open_batches, (std::vector<int>{0, 0}));
  EXPECT_EQ(steps.batches_begun, steps.batches_ended);
  EXPECT_EQ(steps.Summary(5), (Strings{"1 Send Keys", "3 Frobnicate", "4 Send Keys"}));
}

TEST_F(ParseScriptTextTest, FailedDeleteWritesNothingOverTheOldScript) {
  steps.Put(Row(5, 1, "old"));
  steps.fail_delete = true;
  ParseScriptText("KEYS new", steps, messages);
  ASSERT_EQ(steps.Task(5).size(), 1u);
  EXPECT_EQ(steps.Task(5)[0].Keystrokes.str(), "old");
}

TEST_F(ParseScriptTextTest, DeleteScriptTouchesOnlyTheCurrentTask) {
  steps.Put(Row(0, 1));
  steps.Put(Row(5, 1));
  steps.Put(Row(6, 1));
  SCH.ID = 0;
  EXPECT_TRUE(DeleteScript(steps));  // task id 0: nothing, not even the rows with id 0
  EXPECT_EQ(steps.rows.size(), 3u);
  SCH.ID = 5;
  EXPECT_TRUE(DeleteScript(steps));
  EXPECT_EQ(steps.rows.size(), 2u);
  EXPECT_TRUE(DeleteScript(steps));  // no steps left: ends at once
  steps.fail_delete = true;
  EXPECT_FALSE(DeleteScript(steps));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ParseScriptTextTest, AWrittenScriptParsesBackToTheSameSteps) {
  const std::string text =
      "DISPLAY \"Starting, please wait\" Backup\r\n"
      "START \"C:\\Tools\\backup.exe\" \"C:\\Data\" WAIT=600 PRIORITY=1 MODE=7 ACTION=Open "
      "/TRANSLATE\r\n"
      "IFWINDOW \"Backup Error\"\r\n"
      "   FOCUS \"Backup Error\"\r\n"
      "   KEYS [ENTER]\r\n"
      "   SET [Failed] 1\r\n"
      "END\r\n"
      "IF [Failed] = 1\r\n"
      "   EMAIL 3\r\n"
      "   FILE \"FTP Upload\" \"C:\\Data\\log.txt\" \"/logs/log.txt\" ftp.example.org bob \"p "
      "w\"\r\n"
      "END\r\n"
      "WAIT \"\" 30 Explorer\r\n"
      "WAIT Either 5 \"Save As\" name\r\n"
      "DDE Progman Progman \"[ShowGroup(Main, 1)]\"\r\n"
      "SCRIPT \"C:\\Scripts\\after.vxs\" \"Insert (Execute and continue)\"\r\n"
      "IFTIMELESS 90\r\n"
      "   CLOSE backup.exe\r\n"
      "END\r\n"
      "COMMENT \"all done, bye\"\r\n"
      "EXIT\r\n";
  ParseScriptText(text, steps, messages);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(WriteScriptText(steps, messages), text);

  // Parsing the written text again gives the same rows.
  const std::vector<SCRIPTING_RECORD> first = steps.Task(5);
  ParseScriptText(WriteScriptText(steps, messages), steps, messages);
  const std::vector<SCRIPTING_RECORD> second = steps.Task(5);
  ASSERT_EQ(first.size(), second.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(Dump(first[i]), Dump(second[i]));
}

}  // namespace
}  // namespace vx
