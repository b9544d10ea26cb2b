// Writing script steps as text: the line of every action, indentation, the writer's messages,
// and that every written line reads back to the same step.
#include "program/script_engine/write_script_text.h"

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

SCRIPTING_RECORD FtpStep() {
  return Step("File Actions", [](auto& s) {
    s.DDEType = "FTP Upload";
    s.Command = "C:\\out\\report.pdf";
    s.Path = "/pub/report.pdf";
    s.DDEApplicationName = "ftp.example.org";
    s.DDEApplicationTopic = std::string("alice") + std::string(123, ' ') + "pa ss";
  });
}

TEST(ScriptStepLine, EveryAction) {
  const std::pair<SCRIPTING_RECORD, std::string_view> cases[] = {
      {Step("Display Message",
            [](auto& s) {
              s.DDEApplicationName = "Back up now";
              s.DDEApplicationTopic = "Reminder";
              s.SecondsToWait = 1;
            }),
       "DISPLAY \"Back up now\" Reminder"},  // no trailing "" for the empty button
      {Step("Display Message", [](auto& s) { s.DDEApplicationName = "Hi"; }),
       "DISPLAY Hi \"\" \"\" \"/MODAL\""},
      {Step("Exit Script"), "EXIT"},
      {Step("Close Program", [](auto& s) { s.Command = "notepad.exe"; }), "CLOSE notepad.exe"},
      {Step("Start Program",
            [](auto& s) {
              s.Command = "C:\\Tools\\run.exe";
              s.DDEApplicationName = "1371";
              s.TimeElapsed = 30;
              s.DDEApplicationTopic = "Print";
            }),
       "START \"C:\\Tools\\run.exe\" \"\" WAIT=30 PRIORITY=3 MODE=7 ACTION=Print /TRANSLATE"},
      {Step("Start Program",
            [](auto& s) {
              s.Command = "run.exe";
              s.DDEApplicationName = "0211";      // defaults are not written
              s.DDEApplicationTopic = "Open it";  // a verb with an inner blank is left out
            }),
       "START run.exe \"\" /TRANSLATE"},
      {Step("Start Program", [](auto& s) { s.Command = "run.exe"; }), "START run.exe"},
      {Step("Send Keys", [](auto& s) { s.Keystrokes = "[CTRL-S]"; }), "KEYS [CTRL-S]"},
      {Step("Send Keystrokes", [](auto& s) { s.Keystrokes = "abc"; }), "KEYS abc"},
      {Step("DDE (Dynamic Data Exchange)",
            [](auto& s) {
              s.DDEApplicationName = "Progman";
              s.DDEApplicationTopic = "Progman";
              s.DDECommand = "[ShowGroup(1)]";
            }),
       "DDE Progman Progman [ShowGroup(1)]"},
      {Step("DDE", [](auto& s) { s.DDEApplicationName = "App"; }), "DDE App"},
      {Step("Set Focus",
            [](auto& s) {
              s.FocusOnWindow = "Untitled - Editor";
              s.WaitForWindow = "Hello";
            }),
       "FOCUS \"Untitled - Editor\" Hello"},
      {Step("File Actions",
            [](auto& s) {
              s.DDEType = "Delete";
              s.Command = "old.txt";
              s.Path = "ignored";
            }),
       "FILE Delete old.txt"},
      {Step("File Actions",
            [](auto& s) {
              s.DDEType = "Make Directory";
              s.Command = "new";
            }),
       "FILE \"Make Directory\" new"},
      {FtpStep(),
       "FILE \"FTP Upload\" \"C:\\out\\report.pdf\" \"/pub/report.pdf\" ftp.example.org alice \"pa "
       "ss\""},
      {Step("File Actions",
            [](auto& s) {
              s.DDEType = "HTTP Download";
              s.Command = "page.htm";
              s.Path = "http://example.org/";
              s.DDEApplicationName = "example.org";
            }),
       "FILE \"HTTP Download\" page.htm \"http://example.org/\" example.org"},
      {Step("Send Email", [](auto& s) { s.EmailID = 17; }), "EMAIL 17"},
      {Step("Set Value",
            [](auto& s) {
              s.Path = "[Dir]";
              s.Command = "C:\\Data";
            }),
       "SET [Dir] \"C:\\Data\""},
      {Step("If Value...",
            [](auto& s) {
              s.Command = "[Count]";
              s.WindowTitleToCheckFor = ">";
              s.WaitForWindow = "3";
            }),
       "IF [Count] > 3"},
      {Step("Start Script",
            [](auto& s) {
              s.Command = "next.vxs";
              s.Path = "Jump to (Execute and skip)";
            }),
       "SCRIPT next.vxs \"Jump to (Execute and skip)\""},
      {Step("Wait", [](auto& s) { s.SecondsToWait = 5; }), "WAIT 5"},
      {Step("Wait", [](auto& s) { s.WaitForWindow = "Calculator"; }), "WAIT Calculator"},
      {Step("Wait",
            [](auto& s) {
              s.DDEApplicationName = "Both";
              s.SecondsToWait = 10;
              s.WaitForWindow = "Save As";
              s.FocusOnWindow = "name";
            }),
       "WAIT Both 10 \"Save As\" name"},
      {Step("If Window...",
            [](auto& s) {
              s.WindowExistance = "Exists";
              s.WindowTitleToCheckFor = "Calculator";
            }),
       "IFWINDOW Calculator"},
      {Step("If Window...",
            [](auto& s) {
              s.WindowExistance = "Does not exist";
              s.WindowTitleToCheckFor = "Calculator";
            }),
       "IFNOTWINDOW Calculator"},
      {Step("If Time Elapsed...",
            [](auto& s) {
              s.IfTimeElapsed = "Greater than";
              s.TimeElapsed = 60;
            }),
       "IFTIME 60"},
      {Step("If Time Elapsed...",
            [](auto& s) {
              s.IfTimeElapsed = "Less than";
              s.TimeElapsed = 30;
            }),
       "IFTIMELESS 30"},
      {Step("...End If"), "END"},
      {Step("Comment", [](auto& s) { s.Command = "say hello"; }), "COMMENT \"say hello\""},
  };
  for (const auto& [step, line] : cases) {
    EXPECT_EQ(ScriptStepLine(step).value_or("<none>"), line) << Dump(step);
  }
  EXPECT_FALSE(ScriptStepLine(Step("JUMP")));
  EXPECT_FALSE(ScriptStepLine(Step("")));
}

// Steps as the text form stores them, with values that need care: every one must read back
// from its line to the same fields.
std::vector<SCRIPTING_RECORD> RoundTripSteps() {
  return {
      Step("Display Message",
           [](auto& s) {
             s.DDEApplicationName = "Time, gentlemen";  // a comma
             s.DDEApplicationTopic = "a/b";
             s.FocusOnWindow = "Got it";
             s.SecondsToWait = 1;
           }),
      Step("Display Message",
           [](auto& s) {
             s.DDEApplicationName = "modal";
             s.FocusOnWindow = "OK";
           }),
      Step("Display Message",
           [](auto& s) {
             s.DDEApplicationName = "mentions /modal";
             s.SecondsToWait = 1;
           }),
      Step("Exit Script"),
      Step("Close Program", [](auto& s) { s.Command = "C:\\Program Files\\x.exe"; }),
      Step("Start Program",
           [](auto& s) {
             s.Command = "C:\\Tools\\run.exe";
             s.Path = "C:\\Work Dir";
             s.DDEApplicationName = "1371";
             s.TimeElapsed = 300;
             s.DDEApplicationTopic = "Print";
           }),
      Step("Start Program",
           [](auto& s) {
             s.Command = "run.exe";
             s.DDEApplicationName = " 1 1";
             s.DDEApplicationTopic = "RUNAS";
           }),
      Step("Send Keys", [](auto& s) { s.Keystrokes = "[CTRL-ALT-DEL]"; }),
      Step("Send Keys", [](auto& s) { s.Keystrokes = "Hello, world [ENTER]"; }),
      Step("Send Keys", [](auto& s) { s.Keystrokes = "x[open"; }),
      Step("DDE (Dynamic Data Exchange)",
           [](auto& s) {
             s.DDEApplicationName = "Progman";
             s.DDEApplicationTopic = "Progman";
             s.DDECommand = "[CreateGroup(My Group)]";
           }),
      Step("Set Focus",
           [](auto& s) {
             s.FocusOnWindow = "Untitled - Editor";
             s.WaitForWindow = "a,b";
           }),
      Step("File Actions",
           [](auto& s) {
             s.DDEType = "Copy";
             s.Command = "a b.txt";
             s.Path = "c,d.txt";
           }),
      Step("File Actions",
           [](auto& s) {
             s.DDEType = "Recycle";
             s.Command = "old.txt";
           }),
      Step("File Actions",
           [](auto& s) {
             s.DDEType = "Get File Size";
             s.Command = "x";
             s.Path = "[Size]";
           }),
      FtpStep(),
      Step("File Actions",
           [](auto& s) {
             s.DDEType = "FTP Download";
             s.Command = "in.txt";
             s.Path = "/in.txt";
             s.DDEApplicationName = "host";
           }),
      Step("File Actions",
           [](auto& s) {
             s.DDEType = "HTTP Download";
             s.Command = "page.htm";
             s.Path = "http://example.org/a b";
             s.DDEApplicationName = "example.org";
           }),
      Step("Send Email", [](auto& s) { s.EmailID = 12345; }),
      Step("Set Value",
           [](auto& s) {
             s.Path = "[Dir]";
             s.Command = "C:\\Data\\x";  // a backslash: written in quotes
           }),
      Step("Set Value", [](auto& s) { s.Path = "[Empty]"; }),
      Step("If Value...",
           [](auto& s) {
             s.Command = "[Count]";
             s.WindowTitleToCheckFor = "<>";
             s.WaitForWindow = "";
           }),
      Step("Start Script",
           [](auto& s) {
             s.Command = "C:\\Scripts\\next.vxs";
             s.Path = "Insert (Execute and continue)";
           }),
      Step("Start Script",
           [](auto& s) {
             s.Command = "next.vxs";
             s.Path = "Append";
           }),
      Step("Wait", [](auto& s) { s.SecondsToWait = 5; }),
      Step("Wait"),  // neither seconds nor a title
      Step("Wait", [](auto& s) { s.WaitForWindow = "Calculator"; }),
      Step("Wait",
           [](auto& s) {
             s.SecondsToWait = 10;
             s.WaitForWindow = "Save As";  // seconds and a title but no mode
             s.FocusOnWindow = "name";
           }),
      Step("Wait",
           [](auto& s) {
             s.DDEApplicationName = "Either";
             s.SecondsToWait = 10;
             s.WaitForWindow = "Save As";
           }),
      Step("Wait",
           [](auto& s) {
             s.DDEApplicationName = "Both";
             s.SecondsToWait = 3;  // a mode but no title
           }),
      Step("Wait", [](auto& s) { s.WaitForWindow = "42"; }),    // a title that reads as a number
      Step("Wait", [](auto& s) { s.WaitForWindow = "Both"; }),  // or as a mode word
      Step("Wait", [](auto& s) { s.FocusOnWindow = "orphan contents"; }),
      Step("If Window...",
           [](auto& s) {
             s.WindowExistance = "Exists";
             s.WindowTitleToCheckFor = "My Window";
             s.FocusOnWindow = "text";
           }),
      Step("If Window...",
           [](auto& s) {
             s.WindowExistance = "Does not exist";
             s.WindowTitleToCheckFor = "Calculator";
           }),
      Step("If Time Elapsed...",
           [](auto& s) {
             s.IfTimeElapsed = "Greater than";
             s.TimeElapsed = 60;
           }),
      Step("If Time Elapsed...",
           [](auto& s) {
             s.IfTimeElapsed = "Less than";
             s.TimeElapsed = 0;
           }),
      Step("...End If"),
      Step("Comment", [](auto& s) { s.Command = "Remember: a, b and c"; }),
      Step("Comment"),
  };
}

TEST(ScriptStepLine, EveryStepReadsBackFromItsLine) {
  for (const SCRIPTING_RECORD& step : RoundTripSteps()) {
    const std::optional<std::string> line = ScriptStepLine(step);
    ASSERT_TRUE(line) << Dump(step);
    const ScriptTextLine read = ReadScriptLine(*line);
    EXPECT_EQ(Dump(read.step), Dump(step)) << *line;
  }
}

TEST(ScriptStepLine, WaitWithoutSecondsOrTitleIsWrittenBare) {
  EXPECT_EQ(ScriptStepLine(Step("Wait")), "WAIT");
  EXPECT_EQ(ScriptStepLine(Step("Wait",
                                [](auto& s) {
                                  s.SecondsToWait = 10;
                                  s.WaitForWindow = "Save As";
                                })),
            "WAIT \"\" 10 \"Save As\"");
  EXPECT_EQ(ScriptStepLine(Step("Wait", [](auto& s) { s.WaitForWindow = "42"; })),
            "WAIT \"\" 0 42");
}

TEST(ScriptStepsText, IndentsConditionsAndEndsLinesWithCrLf) {
  std::vector<SCRIPTING_RECORD> steps{
      Step("...End If"),  // at indent 0: stays at 0
      Step("If Time Elapsed...", [](auto& s) { s.TimeElapsed = 5; }),
      Step("If Window...",
           [](auto& s) {
             s.WindowExistance = "Exists";
             s.WindowTitleToCheckFor = "W";
           }),
      Step("Exit Script"),
      Step("JUMP"),  // no line
      Step("...End If"),
      Step("...End If"),
      Step("Exit Script"),
  };
  EXPECT_EQ(ScriptStepsText(steps),
            "END\r\nIFTIME 5\r\n   IFWINDOW W\r\n      EXIT\r\n   END\r\nEND\r\nEXIT\r\n");
  EXPECT_EQ(ScriptStepsText({}), "");

  // Deeper than eight levels the indentation stays at 24 blanks.
  std::vector<SCRIPTING_RECORD> deep(10, Step("If Value...", [](auto& s) { s.Command = "[x]"; }));
  deep.push_back(Step("Exit Script"));
  const std::string text = ScriptStepsText(deep);
  EXPECT_NE(
      text.find("\r\n" + std::string(24, ' ') + "IF [x]\r\n" + std::string(24, ' ') + "EXIT\r\n"),
      std::string::npos)
      << text;
  EXPECT_EQ(text.find(std::string(25, ' ')), std::string::npos);
}

class WriteScriptTextTest : public ::testing::Test {
 protected:
  void SetUp() override { SCH = SCHEDULE_RECORD{}; }
  void TearDown() override { SCH = SCHEDULE_RECORD{}; }
  test::FakeScriptSteps steps;
  test::RecordingReporter messages;
};

TEST_F(WriteScriptTextTest, WritesOnlyTheCurrentTasksStepsInOrder) {
  SCH.ID = 7;
  steps.Put(Step("Exit Script", [](auto& s) {
    s.ID = 7;
    s.Sequence = 9;
  }));
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 7;
    s.Sequence = 2;
    s.Keystrokes = "a";
  }));
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 8;
    s.Sequence = 1;
    s.Keystrokes = "other";
  }));
  EXPECT_EQ(WriteScriptText(steps, messages), "KEYS a\r\nEXIT\r\n");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WriteScriptTextTest, NoTaskIdAndReadErrorsAreShown) {
  steps.Put(Step("Send Keys", [](auto& s) {
    s.Sequence = 1;
    s.Keystrokes = "a";
  }));
  steps.Put(Step("Send Keys", [](auto& s) {
    s.Sequence = 2;
    s.Keystrokes = "b";
  }));
  steps.fail_read_after = 1;
  EXPECT_EQ(WriteScriptText(steps, messages),
            "KEYS a\r\n");  // what was read before the error stays
  EXPECT_EQ(
      messages.Texts(),
      (std::vector<std::string>{"Error: No task ID", "Error: Next script:  Record Not Available"}));
}

}  // namespace
}  // namespace vx
