// Script files: the line of every action, export and import through a script file, and the
// script list's "Clear All".
#include "program/script_engine/script_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "program/script_engine/read_script_line.h"
#include "tests/program/script_test_support.h"

namespace vx {
namespace {

using test::Dump;
using test::Step;
using Strings = std::vector<std::string>;

Strings Fields(const EXPORT_RECORD& line) {
  Strings out{line.TYPE.str(),   line.FIELD1.str(), line.FIELD2.str(), line.FIELD3.str(),
              line.FIELD4.str(), line.FIELD5.str(), line.FIELD6.str()};
  while (out.size() > 1 && out.back().empty()) out.pop_back();
  return out;
}

TEST(ScriptFileLine, EveryActionsFields) {
  const std::pair<SCRIPTING_RECORD, Strings> cases[] = {
      {Step("Close Program", [](auto& s) { s.Command = "x.exe"; }), {"Close Program", "x.exe"}},
      {Step("Display Message",
            [](auto& s) {
              s.DDEApplicationName = "msg";
              s.DDEApplicationTopic = "title";
              s.FocusOnWindow = "OK";
            }),
       {"Display Message", "msg", "title", "0", "OK"}},
      {Step("Start Program",
            [](auto& s) {
              s.Command = "run.exe";
              s.Path = "C:\\Work";
              s.DDEApplicationName = "1211";
              s.TimeElapsed = 360000;
              s.DDEApplicationTopic = "Print";  // read from a fifth field, never written
            }),
       {"Start Program", "run.exe", "C:\\Work", "1211", "360000"}},
      {Step("Send Keystrokes", [](auto& s) { s.Keystrokes = "abc"; }), {"Send Keystrokes", "abc"}},
      {Step("Send Keys", [](auto& s) { s.Keystrokes = "abc"; }), {"Send Keys", "abc"}},
      {Step("DDE",
            [](auto& s) {
              s.DDEType = "Execute";
              s.DDEApplicationName = "app";
              s.DDEApplicationTopic = "topic";
              s.DDELinkItem = "item";
              s.DDECommand = "cmd";
            }),
       {"DDE", "Execute", "app", "topic", "item", "cmd"}},
      {Step("Set Focus",
            [](auto& s) {
              s.FocusOnWindow = "title";
              s.WaitForWindow = "contents";
            }),
       {"Set Focus", "title", "contents"}},
      {Step("Wait",
            [](auto& s) {
              s.SecondsToWait = 5;
              s.WaitForWindow = "title";
              s.DDEApplicationName = "Both";
              s.FocusOnWindow = "contents";
            }),
       {"Wait", "5", "title", "Both", "contents"}},
      {Step("If Window...",
            [](auto& s) {
              s.WindowExistance = "Exists";
              s.WindowTitleToCheckFor = "title";
              s.FocusOnWindow = "contents";
            }),
       {"If Window...", "Exists", "title", "contents"}},
      {Step("If Time Elapsed...",
            [](auto& s) {
              s.IfTimeElapsed = "Less than";
              s.TimeElapsed = 30;
            }),
       {"If Time Elapsed...", "Less than", "30"}},
      {Step("...End If"), {"...End If"}},
      {Step("Exit Script"), {"Exit Script"}},
      {Step("File Actions",
            [](auto& s) {
              s.DDEType = "FTP Upload";
              s.Command = "a";
              s.Path = "b";
              s.DDEApplicationName = "host";
              s.DDEApplicationTopic = "user";
            }),
       {"File Actions", "FTP Upload", "a", "b", "host", "user"}},
      {Step("Send Email", [](auto& s) { s.EmailID = 9; }), {"Send Email", "9"}},
      {Step("Set Value",
            [](auto& s) {
              s.Path = "[Name]";
              s.Command = "value";
            }),
       {"Set Value", "[Name]", "value"}},
      {Step("If Value...",
            [](auto& s) {
              s.Command = "[Name]";
              s.WindowTitleToCheckFor = "=";
              s.WaitForWindow = "3";
            }),
       {"If Value...", "[Name]", "=", "3"}},
      {Step("Start Script",
            [](auto& s) {
              s.Command = "s.vxs";
              s.Path = "Append";
            }),
       {"Start Script", "s.vxs", "Append"}},
  };
  for (const auto& [step, fields] : cases) {
    const std::optional<EXPORT_RECORD> line = ScriptFileLine(step);
    ASSERT_TRUE(line) << Dump(step);
    EXPECT_EQ(Fields(*line), fields) << Dump(step);
  }
  EXPECT_FALSE(ScriptFileLine(Step("JUMP")));
  // The long DDE name does not fit the 20-character type, and comments are no steps to run.
  EXPECT_FALSE(ScriptFileLine(Step("DDE (Dynamic Data Exchange)")));
  EXPECT_FALSE(ScriptFileLine(Step("Comment", [](auto& s) { s.Command = "a note"; })));
  EXPECT_FALSE(ScriptFileLine(Step("send keys")));  // names compare whole and case-sensitive
}

class ScriptFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 3;
  }
  void TearDown() override { SCH = SCHEDULE_RECORD{}; }

  EXPORT_RECORD Line(Strings fields) {
    fields.resize(7);
    EXPORT_RECORD line;
    line.TYPE = fields[0];
    line.FIELD1 = fields[1];
    line.FIELD2 = fields[2];
    line.FIELD3 = fields[3];
    line.FIELD4 = fields[4];
    line.FIELD5 = fields[5];
    line.FIELD6 = fields[6];
    return line;
  }

  test::FakeScriptSteps steps;
  test::FakeScriptFile file;
  test::RecordingReporter messages;
};

TEST_F(ScriptFilesTest, ImportNormalisesWordingAndReadsTheStartVerb) {
  file.files["in.vxs"] = {
      Line({"Send Keystrokes", "abc"}),
      Line({"If Window...", "Window Doesn't Exist", "Calculator"}),
      Line({"If Time Elapsed...", "is greater than", "60"}),
      Line({"Wait", "5", "title", "or"}),
      Line({"Start Program", "run.exe", "C:\\Work", "1211", "600", "Print"}),
  };
  ImportScriptSteps("in.vxs", steps, file, messages);
  EXPECT_TRUE(messages.shown.empty());
  const std::vector<SCRIPTING_RECORD> got = steps.Task(3);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].Action.str(), "Send Keys");
  EXPECT_EQ(got[1].WindowExistance.str(), "Does not exist");
  EXPECT_EQ(got[2].IfTimeElapsed.str(), "Greater than");
  EXPECT_EQ(got[2].TimeElapsed, 60);
  EXPECT_EQ(got[3].DDEApplicationName.str(), "Either");
  EXPECT_EQ(got[3].SecondsToWait, 5);
  EXPECT_EQ(got[4].DDEApplicationTopic.str(), "Print");
  EXPECT_EQ(got[4].TimeElapsed, 600);
  EXPECT_FALSE(file.is_open);
}

TEST_F(ScriptFilesTest, ImportNumbersAfterTheHighestStepNotInItsGaps) {
  for (int seq = 0; seq < 5; ++seq) {
    SCRIPTING_RECORD s = Step("Exit Script");
    s.ID = 3;
    s.Sequence = seq;
    steps.Put(s);
  }
  SCRIPTING_RECORD gap = Step("Exit Script");
  gap.ID = 3;
  gap.Sequence = 6;
  steps.Put(gap);
  file.files["in.vxs"] = {Line({"Send Keys", "a"}), Line({"Send Keys", "b"}),
                          Line({"Send Keys", "c"})};
  ImportScriptSteps("in.vxs", steps, file, messages);
  // Step 5 is a gap a moved step left: the imported steps go after step 6, in file order.
  EXPECT_EQ(steps.Summary(3), (Strings{"0 Exit Script", "1 Exit Script", "2 Exit Script",
                                       "3 Exit Script", "4 Exit Script", "6 Exit Script",
                                       "7 Send Keys", "8 Send Keys", "9 Send Keys"}));
  EXPECT_EQ(steps.Task(3)[6].Keystrokes.str(), "a");
}

TEST_F(ScriptFilesTest, ImportReportsUnknownLinesAndFailedAddsAndGoesOn) {
  file.files["in.vxs"] = {
      Line({"Launch Rocket", "now"}), Line({""}),  // blank: skipped silently
      Line({"Comment", "a note"}),                 // so is a comment
      Line({"Send Keys", "a"}),       Line({"Send Keys", "b"}),
  };
  steps.fail_add_at_sequence = 1;
  ImportScriptSteps("in.vxs", steps, file, messages);
  EXPECT_EQ(messages.Texts(), (Strings{"Import Error: Unrecognized script action: Launch Rocket",
                                       "Error!: Error adding script item Disk full"}));
  EXPECT_EQ(steps.Summary(3), Strings{"0 Send Keys"});
}

TEST_F(ScriptFilesTest, ImportOfAMissingFileAddsNothing) {
  ImportScriptSteps("missing.vxs", steps, file, messages);
  EXPECT_TRUE(steps.rows.empty());
}

TEST_F(ScriptFilesTest, ExportWritesTheTasksStepsInOrderAndReplacesTheFile) {
  file.files["out.vxs"] = {Line({"Exit Script"}), Line({"Exit Script"})};
  auto put = [&](std::int32_t id, std::int32_t seq, SCRIPTING_RECORD s) {
    s.ID = id;
    s.Sequence = seq;
    steps.Put(s);
  };
  put(3, 2, Step("Send Keys", [](auto& s) { s.Keystrokes = "second"; }));
  put(3, 1, Step("Send Keys", [](auto& s) { s.Keystrokes = "first"; }));
  put(3, 3, Step("JUMP"));  // no line for an action that is not a script action
  put(4, 1, Step("Send Keys", [](auto& s) { s.Keystrokes = "other task"; }));
  ExportScriptSteps("out.vxs", steps, file, messages);
  ASSERT_EQ(file.files["out.vxs"].size(), 2u);
  EXPECT_EQ(Fields(file.files["out.vxs"][0]), (Strings{"Send Keys", "first"}));
  EXPECT_EQ(Fields(file.files["out.vxs"][1]), (Strings{"Send Keys", "second"}));
  EXPECT_FALSE(file.is_open);
}

TEST_F(ScriptFilesTest, ExportReportsAFailedLineAndGoesOn) {
  for (int seq = 1; seq <= 3; ++seq) {
    SCRIPTING_RECORD s = Step("Exit Script");
    s.ID = 3;
    s.Sequence = seq;
    steps.Put(s);
  }
  file.fail_add_at_line = 1;
  ExportScriptSteps("out.vxs", steps, file, messages);
  EXPECT_EQ(messages.Texts(), Strings{"Error!: Error exporting script item Disk full"});
  EXPECT_EQ(file.files["out.vxs"].size(), 2u);
}

TEST_F(ScriptFilesTest, EveryStepAScriptFileHoldsSurvivesExportAndImport) {
  // A script holding every action, as the text form stores it.
  const std::string text =
      "DISPLAY \"Hello, world\" Greeting OK\r\n"
      "DISPLAY Modal \"\" \"\" \"/MODAL\"\r\n"
      "EXIT\r\n"
      "CLOSE x.exe\r\n"
      "START \"C:\\Tools\\run.exe\" \"C:\\Work\" WAIT=30 PRIORITY=3 MODE=7 ACTION=Print "
      "/TRANSLATE\r\n"
      "KEYS [CTRL-S]\r\n"
      "DDE Progman Progman \"[ShowGroup(1)]\"\r\n"
      "FOCUS \"Untitled - Editor\" Hello\r\n"
      "FILE \"FTP Download\" in.txt /in.txt host bob secret\r\n"
      "FILE Copy a.txt b.txt\r\n"
      "EMAIL 17\r\n"
      "SET [Dir] \"C:\\Data\"\r\n"
      "IF [Dir] = x\r\n"
      "END\r\n"
      "SCRIPT next.vxs Append\r\n"
      "WAIT Both 10 \"Save As\" name\r\n"
      "WAIT 5\r\n"
      "WAIT Calculator\r\n"
      "IFWINDOW Calculator\r\n"
      "IFNOTWINDOW Calculator\r\n"
      "IFTIME 60\r\n"
      "IFTIMELESS 30\r\n"
      "COMMENT \"a note\"\r\n";
  std::vector<SCRIPTING_RECORD> original;
  std::vector<SCRIPTING_RECORD> expected_back;
  for (std::string_view line : SplitScriptLines(text))
    original.push_back(ReadScriptLine(line).step);
  for (std::size_t i = 0; i < original.size(); ++i) {
    original[i].ID = 3;
    original[i].Sequence = static_cast<std::int32_t>(i);
    steps.Put(original[i]);
  }
  for (const SCRIPTING_RECORD& step : original) {
    // Script files hold no comments and no long-named DDE steps, and a program's start verb is
    // not written.
    if (step.Action == "Comment" || step.Action == "DDE (Dynamic Data Exchange)") continue;
    SCRIPTING_RECORD back = step;
    if (back.Action == "Start Program") back.DDEApplicationTopic = "";
    expected_back.push_back(back);
  }
  ExportScriptSteps("round.vxs", steps, file, messages);
  EXPECT_EQ(file.files["round.vxs"].size(), expected_back.size());

  SCH.ID = 4;
  ImportScriptSteps("round.vxs", steps, file, messages);
  EXPECT_TRUE(messages.shown.empty());
  const std::vector<SCRIPTING_RECORD> imported = steps.Task(4);
  ASSERT_EQ(imported.size(), expected_back.size());
  for (std::size_t i = 0; i < expected_back.size(); ++i) {
    SCRIPTING_RECORD expected = expected_back[i];
    expected.ID = 4;
    expected.Sequence = static_cast<std::int32_t>(i);
    EXPECT_EQ(Dump(imported[i]), Dump(expected));
  }
}

}  // namespace
}  // namespace vx
