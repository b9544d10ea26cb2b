// Reading script lines: every keyword and the fields it fills, the WAIT forms, the START
// options, file action names and line splitting.
#include "program/script_engine/read_script_line.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "program/script_engine/script_step_wording.h"
#include "tests/program/script_test_support.h"

namespace vx {
namespace {

using test::Dump;
using test::Step;

// The step a line should give: an action and the fields a setter fills.
struct LineCase {
  std::string_view line;
  SCRIPTING_RECORD step;
};

void ExpectLines(const std::vector<LineCase>& cases) {
  for (const LineCase& c : cases) {
    const ScriptTextLine read = ReadScriptLine(c.line);
    EXPECT_FALSE(read.unknown) << c.line;
    EXPECT_EQ(Dump(read.step), Dump(c.step)) << c.line;
  }
}

TEST(ReadScriptLine, EveryKeywordFillsItsFields) {
  ExpectLines({
      {"DISPLAY \"Back up now\" Reminder OK", Step("Display Message",
                                                   [](auto& s) {
                                                     s.DDEApplicationName = "Back up now";
                                                     s.DDEApplicationTopic = "Reminder";
                                                     s.FocusOnWindow = "OK";
                                                     s.SecondsToWait = 1;
                                                   })},
      {"EXIT", Step("Exit Script")},
      {"close notepad.exe", Step("Close Program", [](auto& s) { s.Command = "notepad.exe"; })},
      {"START \"C:\\Tools\\run.exe\" C:\\Work", Step("Start Program",
                                                     [](auto& s) {
                                                       s.Command = "C:\\Tools\\run.exe";
                                                       s.Path = "C:\\Work";
                                                     })},
      {"KEYS [CTRL-S]", Step("Send Keys", [](auto& s) { s.Keystrokes = "[CTRL-S]"; })},
      {"DDE Progman Progman \"[ShowGroup(1)]\"", Step("DDE (Dynamic Data Exchange)",
                                                      [](auto& s) {
                                                        s.DDEApplicationName = "Progman";
                                                        s.DDEApplicationTopic = "Progman";
                                                        s.DDECommand = "[ShowGroup(1)]";
                                                      })},
      {"FOCUS \"Untitled - Editor\" Hello", Step("Set Focus",
                                                 [](auto& s) {
                                                   s.FocusOnWindow = "Untitled - Editor";
                                                   s.WaitForWindow = "Hello";
                                                 })},
      {"FILE copy a.txt, b.txt", Step("File Actions",
                                      [](auto& s) {
                                        s.DDEType = "Copy";
                                        s.Command = "a.txt";
                                        s.Path = "b.txt";
                                      })},
      {"EMAIL 17", Step("Send Email", [](auto& s) { s.EmailID = 17; })},
      {"SET [Count] 5", Step("Set Value",
                             [](auto& s) {
                               s.Path = "[Count]";
                               s.Command = "5";
                             })},
      {"IF [Count] > 3", Step("If Value...",
                              [](auto& s) {
                                s.Command = "[Count]";
                                s.WindowTitleToCheckFor = ">";
                                s.WaitForWindow = "3";
                              })},
      {"SCRIPT next.vxs j", Step("Start Script",
                                 [](auto& s) {
                                   s.Command = "next.vxs";
                                   s.Path = "Jump to (Execute and skip)";
                                 })},
      {"WAIT 5", Step("Wait", [](auto& s) { s.SecondsToWait = 5; })},
      {"IFWINDOW Calculator 0", Step("If Window...",
                                     [](auto& s) {
                                       s.WindowExistance = "Exists";
                                       s.WindowTitleToCheckFor = "Calculator";
                                       s.FocusOnWindow = "0";
                                     })},
      {"IFNOTWINDOW Calculator", Step("If Window...",
                                      [](auto& s) {
                                        s.WindowExistance = "Does not exist";
                                        s.WindowTitleToCheckFor = "Calculator";
                                      })},
      {"IFTIME 60", Step("If Time Elapsed...",
                         [](auto& s) {
                           s.IfTimeElapsed = "Greater than";
                           s.TimeElapsed = 60;
                         })},
      {"IFTIMELESS 30", Step("If Time Elapsed...",
                             [](auto& s) {
                               s.IfTimeElapsed = "Less than";
                               s.TimeElapsed = 30;
                             })},
      {"END", Step("...End If")},
      {"COMMENT \"say hello\"", Step("Comment", [](auto& s) { s.Command = "say hello"; })},
      {"! note", Step("Comment", [](auto& s) { s.Command = "note"; })},
      {"   end", Step("...End If")},  // indentation and case do not matter
  });
}

TEST(ReadScriptLine, BlankAndUnknownLines) {
  EXPECT_TRUE(ReadScriptLine("").blank);
  EXPECT_TRUE(ReadScriptLine("    ").blank);

  const ScriptTextLine unknown = ReadScriptLine("JUMP to \"the end\"");
  EXPECT_TRUE(unknown.unknown);
  EXPECT_EQ(unknown.keyword, "JUMP");
  EXPECT_EQ(unknown.arguments, "to \"the end\"");
  EXPECT_EQ(Dump(unknown.step), Dump(Step("JUMP")));  // the keyword as typed, nothing else

  // A tab is not a blank, so it does not end the keyword.
  EXPECT_TRUE(ReadScriptLine("KEYS\tabc").unknown);
}

TEST(ReadScriptLine, DisplayModalSwitch) {
  ExpectLines({
      {"DISPLAY Hi \"\" \"\" \"/MODAL\"",
       Step("Display Message", [](auto& s) { s.DDEApplicationName = "Hi"; })},
      {"DISPLAY Hi /modal", Step("Display Message", [](auto& s) { s.DDEApplicationName = "Hi"; })},
      {"DISPLAY Hi Title /Modal", Step("Display Message",
                                       [](auto& s) {
                                         s.DDEApplicationName = "Hi";
                                         s.DDEApplicationTopic = "Title";
                                       })},
      // The switch counts anywhere after the message, inside another argument too ...
      {"DISPLAY Hi \"Note /modal\" Ok", Step("Display Message",
                                             [](auto& s) {
                                               s.DDEApplicationName = "Hi";
                                               s.DDEApplicationTopic = "Note /modal";
                                               s.FocusOnWindow = "Ok";
                                             })},
      {"DISPLAY Hi T B x/MODAL", Step("Display Message",
                                      [](auto& s) {
                                        s.DDEApplicationName = "Hi";
                                        s.DDEApplicationTopic = "T";
                                        s.FocusOnWindow = "B";
                                      })},
      // ... but not in the message, so a message that mentions it reads back as written.
      {"DISPLAY \"use /modal here\" T", Step("Display Message",
                                             [](auto& s) {
                                               s.DDEApplicationName = "use /modal here";
                                               s.DDEApplicationTopic = "T";
                                               s.SecondsToWait = 1;
                                             })},
  });
}

TEST(ReadScriptLine, WaitForms) {
  ExpectLines({
      // Only a number: that many seconds, no mode.
      {"WAIT 10", Step("Wait", [](auto& s) { s.SecondsToWait = 10; })},
      // Only a window title: 0 seconds, no mode.
      {"WAIT Calculator", Step("Wait", [](auto& s) { s.WaitForWindow = "Calculator"; })},
      // A number and a title, or a title, empty contents and a number: both.
      {"WAIT 10 Calculator 0", Step("Wait",
                                    [](auto& s) {
                                      s.DDEApplicationName = "Both";
                                      s.SecondsToWait = 10;
                                      s.WaitForWindow = "Calculator";
                                      s.FocusOnWindow = "0";
                                    })},
      {"WAIT Calculator \"\" 10", Step("Wait",
                                       [](auto& s) {
                                         s.DDEApplicationName = "Both";
                                         s.SecondsToWait = 10;
                                         s.WaitForWindow = "Calculator";
                                       })},
      // A mode word keeps its case.
      {"WAIT either 20 \"Save As\" name", Step("Wait",
                                               [](auto& s) {
                                                 s.DDEApplicationName = "either";
                                                 s.SecondsToWait = 20;
                                                 s.WaitForWindow = "Save As";
                                                 s.FocusOnWindow = "name";
                                               })},
      // An empty first argument followed by digits: the mode is empty, then seconds, title.
      {"WAIT \"\" 20 \"Save As\"", Step("Wait",
                                        [](auto& s) {
                                          s.SecondsToWait = 20;
                                          s.WaitForWindow = "Save As";
                                        })},
      {"WAIT \"\" 0 42", Step("Wait", [](auto& s) { s.WaitForWindow = "42"; })},
      // Negative seconds (from an imported file) keep the same form, so they read back.
      {"WAIT \"\" -5 \"\" Wait", Step("Wait",
                                      [](auto& s) {
                                        s.SecondsToWait = -5;
                                        s.FocusOnWindow = "Wait";
                                      })},
      // An empty first argument without digits after it is still the title form.
      {"WAIT \"\" \"\" 10", Step("Wait", [](auto& s) { s.SecondsToWait = 10; })},
      {"WAIT", Step("Wait")},
  });
}

TEST(ReadScriptLine, StartOptions) {
  ExpectLines({
      {"START run.exe \"\" WAIT=30 PRIORITY=3 MODE=7 ACTION=print /TRANSLATE",
       Step("Start Program",
            [](auto& s) {
              s.Command = "run.exe";
              s.TimeElapsed = 30;
              s.DDEApplicationName = "1371";
              s.DDEApplicationTopic = "Print";
            })},
      {"START run.exe PRIORITY=3 ACTION=print", Step("Start Program",
                                                     [](auto& s) {
                                                       s.Command = "run.exe";
                                                       s.DDEApplicationName = " 3";
                                                       s.DDEApplicationTopic = "Print";
                                                     })},
      // Options are found inside the quoted program name too.
      {"START \"x /translate\"", Step("Start Program",
                                      [](auto& s) {
                                        s.Command = "x /translate";
                                        s.DDEApplicationName = "   1";
                                      })},
      // An option standing where the folder goes is not taken for the folder.
      {"START a.exe mode=2", Step("Start Program",
                                  [](auto& s) {
                                    s.Command = "a.exe";
                                    s.DDEApplicationName = "  2";
                                  })},
      // Unknown verbs: up to the first blank of the next seven characters, in upper case;
      // seven letters with no blank among them give no verb.
      {"START a \"\" ACTION=runas", Step("Start Program",
                                         [](auto& s) {
                                           s.Command = "a";
                                           s.DDEApplicationTopic = "RUNAS";
                                         })},
      {"START a \"\" ACTION=compile", Step("Start Program", [](auto& s) { s.Command = "a"; })},
      {"START a ACTION=explore MODE=2", Step("Start Program",
                                             [](auto& s) {
                                               s.Command = "a";
                                               s.DDEApplicationName = "  2";
                                               s.DDEApplicationTopic = "Explore";
                                             })},
      // At most five characters of the wait are read.
      {"START a WAIT=1234567", Step("Start Program",
                                    [](auto& s) {
                                      s.Command = "a";
                                      s.DDEApplicationName = "1";
                                      s.TimeElapsed = 12345;
                                    })},
  });
}

TEST(ReadScriptLine, FileActionsAndTransfers) {
  ExpectLines({
      {"FILE ftp local.txt /remote.txt ftp.example.org alice secret",
       Step("File Actions",
            [](auto& s) {
              s.DDEType = "FTP Download";
              s.Command = "local.txt";
              s.Path = "/remote.txt";
              s.DDEApplicationName = "ftp.example.org";
              s.DDEApplicationTopic = std::string("alice") + std::string(123, ' ') + "secret";
            })},
      {"FILE \"http download\" page.htm http://example.org/ host",
       Step("File Actions",
            [](auto& s) {
              s.DDEType = "HTTP Download";
              s.Command = "page.htm";
              s.Path = "http://example.org/";
              s.DDEApplicationName = "host";
            })},
      // Words that are not file actions copy; a copy reads no host.
      {"FILE frobnicate a b c", Step("File Actions",
                                     [](auto& s) {
                                       s.DDEType = "Copy";
                                       s.Command = "a";
                                       s.Path = "b";
                                     })},
  });
}

TEST(FileVerbName, EveryWrittenForm) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"copy", "Copy"},
      {"Rename", "Rename"},
      {"RECYCLE", "Recycle"},
      {"move", "Move"},
      {"delete", "Delete"},
      {"make directory", "Make Directory"},
      {"make", "Make Directory"},
      {"Remove Directory", "Remove Directory"},
      {"remove", "Remove Directory"},
      {"get file date", "Get File Date"},
      {"file date", "Get File Date"},
      {"date", "Get File Date"},
      {"Get File Time", "Get File Time"},
      {"file time", "Get File Time"},
      {"time", "Get File Time"},
      {"get file size", "Get File Size"},
      {"file size", "Get File Size"},
      {"size", "Get File Size"},
      {"log windows", "Log Windows"},
      {"if file exists", "If File Exists"},
      {"file exists", "If File Exists"},
      {"exists", "If File Exists"},
      {"ftpupload", "FTP Upload"},
      {"ftp upload", "FTP Upload"},
      {"ftpdownload", "FTP Download"},
      {"ftp download", "FTP Download"},
      {"ftp", "FTP Download"},
      {"httpdownload", "HTTP Download"},
      {"http download", "HTTP Download"},
      {"http", "HTTP Download"},
      {"", "Copy"},
      {"copy it", "Copy"},
      {"logwindows", "Copy"},
  };
  for (const auto& [written, name] : cases) EXPECT_EQ(FileVerbName(written), name) << written;
}

TEST(ReadScriptLine, ScriptModes) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"SCRIPT s.vxs i", "Insert (Execute and continue)"},
      {"SCRIPT s.vxs Jump", "Jump to (Execute and skip)"},
      {"SCRIPT s.vxs append", "Append"},
      {"SCRIPT s.vxs other", "other"},
      {"SCRIPT s.vxs", ""},
  };
  for (const auto& [line, mode] : cases)
    EXPECT_EQ(ReadScriptLine(line).step.Path.clipped(), mode) << line;
}

TEST(ReadScriptLine, KeysInBracketsStayWhole) {
  EXPECT_EQ(ReadScriptLine("KEYS [CTRL-ALT-DEL]").step.Keystrokes.clipped(), "[CTRL-ALT-DEL]");
  EXPECT_EQ(ReadScriptLine("KEYS [My Value] ignored").step.Keystrokes.clipped(), "[My Value]");
}

TEST(SplitScriptLines, EveryLineEnding) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(SplitScriptLines("A\r\nB\r\n"), (Lines{"A", "B"}));
  EXPECT_EQ(SplitScriptLines("A\nB\n"), (Lines{"A", "B"}));  // bare LF, as Linux programs write
  EXPECT_EQ(SplitScriptLines("A\rB"), (Lines{"A", "B"}));
  EXPECT_EQ(SplitScriptLines("A\r\n\r\nB"), (Lines{"A", "", "B"}));  // a blank line keeps its place
  EXPECT_EQ(SplitScriptLines("A\n\nB"), (Lines{"A", "", "B"}));
  EXPECT_EQ(SplitScriptLines("  A\r\n   \r\n  B  "), (Lines{"A", "", "B  "}));
  EXPECT_EQ(SplitScriptLines(""), Lines{});

  const std::string long_line(3000, 'x');
  EXPECT_EQ(SplitScriptLines(long_line).front().size(), kScriptLineLimit);
}

TEST(NormaliseScriptStep, RewritesWording) {
  struct Case {
    SCRIPTING_RECORD in, out;
  };
  const Case cases[] = {
      {Step("Send Keystrokes"), Step("Send Keys")},
      {Step("If Window...", [](auto& s) { s.WindowExistance = "Window Exists"; }),
       Step("If Window...", [](auto& s) { s.WindowExistance = "Exists"; })},
      {Step("If Window...", [](auto& s) { s.WindowExistance = "Window Doesn't Exist"; }),
       Step("If Window...", [](auto& s) { s.WindowExistance = "Does not exist"; })},
      {Step("If Time Elapsed...", [](auto& s) { s.IfTimeElapsed = "Is Greater Than"; }),
       Step("If Time Elapsed...", [](auto& s) { s.IfTimeElapsed = "Greater than"; })},
      {Step("If Time Elapsed...", [](auto& s) { s.IfTimeElapsed = "Is Less Than"; }),
       Step("If Time Elapsed...", [](auto& s) { s.IfTimeElapsed = "Less than"; })},
      {Step("Wait", [](auto& s) { s.DDEApplicationName = "and"; }),
       Step("Wait", [](auto& s) { s.DDEApplicationName = "Both"; })},
      {Step("Wait...", [](auto& s) { s.DDEApplicationName = "OR"; }),
       Step("Wait...", [](auto& s) { s.DDEApplicationName = "Either"; })},
      {Step("Wait", [](auto& s) { s.DDEApplicationName = "sometimes"; }),
       Step("Wait", [](auto& s) { s.DDEApplicationName = "sometimes"; })},
  };
  for (const Case& c : cases) {
    SCRIPTING_RECORD step = c.in;
    NormaliseScriptStep(step);
    EXPECT_EQ(Dump(step), Dump(c.out));
  }
  SCRIPTTEMPLATEDETAILS_RECORD detail;
  detail.Action = "Send Keystrokes";
  detail.WIZ_ID = 4;
  NormaliseScriptStep(detail);
  EXPECT_EQ(detail.Action.str(), "Send Keys");
}

}  // namespace
}  // namespace vx
