// The step executor on a fixed clock: each action run through ProcessScriptStep and
// RunDueScriptStep, blocks skipped by failed conditions (nested too), waits with deadlines,
// keystrokes against the recording keyboard, programs against the fake launcher and windows
// against the fake desktop.
#include "program/script_engine/script_executor.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <optional>

#include <unistd.h>

#include <string>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/due_tasks/run_task_program.h"
#include "program/script_engine/script_mail.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/send_keys.h"
#include "program/script_engine/window_search.h"
#include "tests/fakes/fake_desktop_windows.h"
#include "tests/fakes/fake_keyboard.h"
#include "tests/program/task_road_fixture.h"

namespace vx {
namespace {

using test::Step;
using Strings = std::vector<std::string>;

EXPORT_RECORD Line(std::string_view type, Strings fields = {}) {
  EXPORT_RECORD line;
  line.TYPE = type;
  String<255>* targets[] = {&line.FIELD1, &line.FIELD2, &line.FIELD3, &line.FIELD4, &line.FIELD5};
  for (std::size_t i = 0; i < fields.size(); ++i) *targets[i] = fields[i];
  return line;
}

class RecordingScriptFrame : public ScriptFrame {
 public:
  void ShowTrayIcon(std::string_view icon) override { icons.emplace_back(icon); }
  void ShowTaskMessage(const TaskMessage& message) override {
    messages.push_back(message.title + " | " + message.text);
  }
  Strings icons, messages;
};

class ScriptExecutorTest : public test::TaskRoadTest {
 protected:
  void SetUp() override {
    TaskRoadTest::SetUp();
    VARQ.Free();
    GLOBALDELAY = 0;  // no pauses between key bursts unless a test asks for them
    BURSTSIZE = 7;
    DEBUGMODE = 0;
    TRANSLATEFILENAMES = 0;
    ProgramServices services = CurrentProgramServices();
    services.script_desktop = &desktop;
    services.script_keyboard = &keyboard;
    services.script_mail = nullptr;
    desktop_services_.emplace(std::move(services));
  }
  void TearDown() override {
    desktop_services_.reset();
    VARQ.Free();
    TaskRoadTest::TearDown();
  }

  // Queues steps due at noon, then the closing "**End**".
  void Queue(std::vector<SCRIPTING_RECORD> steps, bool end = true) {
    for (SCRIPTING_RECORD& s : steps) {
      ScriptQueue.buffer = ScriptQueueEntry{};
      ScriptQueue.buffer.SCR = s;
      ScriptQueue.buffer.DueDate = kDay;
      ScriptQueue.buffer.DueTime = kNoon;
      ScriptQueue.Add();
    }
    if (end) {
      ScriptQueue.buffer = ScriptEndEntry({kDay, kNoon});
      ScriptQueue.Add();
    }
  }
  static Strings Actions() {
    Strings out;
    for (const ScriptQueueEntry& e : ScriptQueue) out.push_back(e.SCR.Action.str());
    return out;
  }
  // Runs the head once.
  void Run() { executor.ProcessScriptStep(); }
  static bool NextIs(std::string_view action) {
    return ScriptQueue.Records() > 0 && ScriptQueue[1].SCR.Action == action;
  }
  static std::string Var(std::string_view name) { return TranslateVariable(name); }
  void Later(std::int32_t hundredths) { clock.Set(kDay, clock.Clock() + hundredths); }

  RecordingScriptFrame frame;
  test::FakeScriptFile file;
  ScriptExecutor executor{frame, &file};
  test::FakeDesktopWindows desktop;
  test::FakeKeyboard keyboard;
  std::optional<ScopedProgramServices> desktop_services_;
};

TEST_F(ScriptExecutorTest, AStepRunsOnlyOnceItsMomentHasPassedAndOnePerTick) {
  Queue({Step("Set Value",
              [](auto& s) {
                s.Path = "A";
                s.Command = "1";
              }),
         Step("Set Value", [](auto& s) {
           s.Path = "B";
           s.Command = "2";
         })});
  executor.RunDueScriptStep();  // due at this very hundredth: not yet
  EXPECT_EQ(ScriptQueue.Records(), 3);
  Later(1);
  executor.RunDueScriptStep();
  EXPECT_EQ(Var("A"), "1");
  EXPECT_EQ(Var("B"), "");  // the next one waits for the next tick
  EXPECT_EQ(log, Strings{"Script: Set Value  A = 1"});
  executor.RunDueScriptStep();
  executor.RunDueScriptStep();
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_EQ(log.back(), "Script: **End**  ");
}

TEST_F(ScriptExecutorTest, UnknownActionsAreReportedAndRemovedCommentsAndMarkersPassSilently) {
  Queue({Step("Dance"), Step("Comment", [](auto& s) { s.Command = "note"; }), Step("...End If")});
  Run();
  EXPECT_EQ(messages.Texts(), Strings{"Script Error: Invalid script option:  Dance"});
  Run();
  Run();
  Run();
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_EQ(log, (Strings{"Script: Dance  ", "Script: Comment  ", "Script: ...End If  ",
                          "Script: **End**  "}));
}

TEST_F(ScriptExecutorTest, DisplayMessageButtonsAnswerResponseByTheirNumber) {
  const struct {
    unsigned pressed;
    std::string response;
  } cases[] = {{1, "1"}, {2, "2"}};
  for (const auto& c : cases) {
    ScriptQueue.Free();
    messages.shown.clear();
    messages.answer = c.pressed;
    Queue({Step("Display Message",
                [](auto& s) {
                  s.DDEApplicationName = "Go on?";
                  s.DDEApplicationTopic = "Question";
                  s.SecondsToWait = 1;
                  s.FocusOnWindow = "&Yes|&No";
                })},
          false);
    Run();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].button_texts, "&Yes|&No");
    EXPECT_EQ(messages.shown[0].caption, "Question");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(Var("RESPONSE"), c.response) << "pressed " << c.pressed;
  }
}

TEST_F(ScriptExecutorTest, DisplayMessageShowsAPlainBoxOrItsOwnTaskMessage) {
  SetScriptVariable("Ann", "WHO");
  SCH.Description = "Someone else's task";
  SCH.Message = "Their message";
  Queue({Step("Display Message",
              [](auto& s) {
                s.DDEApplicationName = "Hello [WHO]";
                s.DDEApplicationTopic = "Note";
                s.SecondsToWait = 1;
              }),
         Step("Display Message",
              [](auto& s) {
                s.DDEApplicationName = "Bye [WHO]";
                s.DDEApplicationTopic = "Modal";
              })},
        false);
  Run();
  EXPECT_EQ(messages.Texts(), Strings{"Note: Hello Ann"});
  EXPECT_TRUE(messages.shown[0].button_texts.empty());
  Run();
  EXPECT_EQ(frame.messages, Strings{"Modal | Bye Ann"});
  // The task record the scheduler holds is left alone.
  EXPECT_EQ(SCH.Description, "Someone else's task");
  EXPECT_EQ(SCH.Message, "Their message");
}

TEST_F(ScriptExecutorTest, ExitScriptDropsTheRestOfItsOwnScriptOnly) {
  Queue({Step("Exit Script"), Step("Set Value", [](auto& s) {
           s.Path = "A";
           s.Command = "1";
         })});
  Queue({Step("Set Value", [](auto& s) {
    s.Path = "B";
    s.Command = "2";
  })});
  Run();
  EXPECT_EQ(Actions(), (Strings{"Set Value", "**End**"}));
  EXPECT_EQ(log, Strings{"Script: **End**  "});
  Run();
  EXPECT_EQ(Var("A"), "");
  EXPECT_EQ(Var("B"), "2");

  // Without a closing marker the queue runs empty and nothing is left to log.
  ScriptQueue.Free();
  log.clear();
  Queue({Step("Exit Script"), Step("Send Keys")}, false);
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(ScriptExecutorTest, AFailedConditionRemovesItsBlockWithNestedBlocksOnTheSameTick) {
  SetScriptVariable("3", "N");
  Queue({Step("If Value...",
              [](auto& s) {
                s.Command = "N";
                s.WindowTitleToCheckFor = "=";
                s.WaitForWindow = "4";
              }),
         Step("Set Value",
              [](auto& s) {
                s.Path = "A";
                s.Command = "1";
              }),
         Step("If Window...",
              [](auto& s) {
                s.WindowExistance = "Exists";
                s.WindowTitleToCheckFor = "X";
              }),
         Step("Send Keys"), Step("...End If"), Step("Set Value"), Step("...End If"),
         Step("Set Value", [](auto& s) {
           s.Path = "B";
           s.Command = "2";
         })});
  Run();
  EXPECT_EQ(Actions(), (Strings{"Set Value", "**End**"}));
  EXPECT_EQ(log, (Strings{"Script: If Value... *FALSE* N = 4", "Script: ...End If  "}));
  EXPECT_EQ(desktop.listings, 0);  // the nested condition was not run, only skipped

  // A condition that holds is removed alone.
  ScriptQueue.Free();
  log.clear();
  Queue({Step("If Value...",
              [](auto& s) {
                s.Command = "N";
                s.WindowTitleToCheckFor = "<";
                s.WaitForWindow = "4";
              }),
         Step("Send Keys"), Step("...End If")});
  Run();
  EXPECT_EQ(Actions(), (Strings{"Send Keys", "...End If", "**End**"}));
  EXPECT_EQ(log, (Strings{"Script: If Value... *TRUE* N < 4", "Script: If Value...  N < 4"}));
}

TEST_F(ScriptExecutorTest, AFailedConditionWithoutEndIfEmptiesTheQueueWithLaterScripts) {
  Queue({Step("If Window...",
              [](auto& s) {
                s.WindowExistance = "Exists";
                s.WindowTitleToCheckFor = "Nowhere";
              }),
         Step("Send Keys")});
  Queue({Step("Set Value")});
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_EQ(log, Strings{"Script: If Window... Nowhere Exists"});
}

TEST_F(ScriptExecutorTest, IfWindowHoldsByTheWindowAndTheWordForIt) {
  desktop.Add(400, "Untitled - Editor");
  const struct {
    std::string existence, title;
    bool holds;
  } cases[] = {
      {"Exists", "Untitled*", true},          {"Window Exists", "untitled - editor", true},
      {"Does not exist", "Untitled*", false}, {"Window Doesn't Exist", "Missing", true},
      {"Exists", "Missing", false},
  };
  for (const auto& c : cases) {
    ScriptQueue.Free();
    Queue({Step("If Window...",
                [&](auto& s) {
                  s.WindowExistance = c.existence;
                  s.WindowTitleToCheckFor = c.title;
                }),
           Step("Send Keys"), Step("...End If")},
          false);
    Run();
    EXPECT_EQ(NextIs("Send Keys"), c.holds) << c.existence << " " << c.title;
  }
}

TEST_F(ScriptExecutorTest, IfTimeElapsedRunsGreaterBlocksBeforeTheDeadlineAndLessBlocksAfter) {
  const auto condition = [](std::string_view word) {
    return Step("If Time Elapsed...", [&](auto& s) {
      s.IfTimeElapsed = word;
      s.SecondsToWait = kDay;        // the deadline's date ...
      s.TimeElapsed = kNoon + 1000;  // ... and time, as loading stores them
    });
  };
  const struct {
    std::string word;
    std::int32_t now;
    bool runs;
  } cases[] = {
      {"Greater than", kNoon + 999, true},
      {"Greater than", kNoon + 1000, false},
      {"Less than", kNoon + 999, false},
      {"Less than", kNoon + 1000, true},
  };
  for (const auto& c : cases) {
    ScriptQueue.Free();
    clock.Set(kDay, c.now);
    Queue({condition(c.word), Step("Send Keys"), Step("...End If")}, false);
    Run();
    EXPECT_EQ(NextIs("Send Keys"), c.runs) << c.word << " at " << c.now;
  }
}

TEST_F(ScriptExecutorTest, StartProgramPassesItsOptionsToTheLauncher) {
  const struct {
    std::string options, verb;
    platform::ShowMode show;
    platform::ProcessPriority priority;
  } cases[] = {
      {"0211", "", platform::ShowMode::Normal, platform::ProcessPriority::Normal},
      {"0127", "", platform::ShowMode::Minimised, platform::ProcessPriority::Idle},
      {"0378", "", platform::ShowMode::MinimisedNoActivate, platform::ProcessPriority::High},
      {"0293", "", platform::ShowMode::Normal, platform::ProcessPriority::Normal},
  };
  processes.SetOutcome("editor notes.txt", {ENOENT});  // the whole line is no program
  for (const auto& c : cases) {
    ScriptQueue.Free();
    processes.requests.clear();
    Queue({Step("Start Program",
                [&](auto& s) {
                  s.Command = "editor notes.txt";
                  s.Path = "/tmp";
                  s.DDEApplicationName = c.options;
                })},
          false);
    Run();
    ASSERT_EQ(processes.requests.size(), 2u) << c.options;
    const platform::ProcessRequest& start = processes.requests.back();
    EXPECT_EQ(start.argv, (Strings{"editor", "notes.txt"}));
    EXPECT_EQ(start.folder, "/tmp");
    EXPECT_EQ(start.show, c.show) << c.options;
    EXPECT_EQ(start.priority, c.priority) << c.options;
    EXPECT_EQ(ScriptQueue.Records(), 0);  // no wait: done
  }
}

TEST_F(ScriptExecutorTest, ExpandedVariablesReachTheProgramAsWordsNeverThroughAShell) {
  SetScriptVariable("x; touch /tmp/owned", "TITLE");
  processes.SetOutcome("report x; touch /tmp/owned", {ENOENT});
  Queue({Step("Start Program",
              [](auto& s) {
                s.Command = "report [TITLE]";
                s.DDEApplicationName = "0211";
              })},
        false);
  Run();
  ASSERT_FALSE(processes.requests.empty());
  EXPECT_EQ(processes.requests.back().argv, (Strings{"report", "x;", "touch", "/tmp/owned"}));
}

TEST_F(ScriptExecutorTest, WaitForProgramEndWaitsForItsOwnProgramAndItsLimit) {
  processes.SetOutcome("long-job", {0, 0, true});
  processes.SetOutcome("other", {0, 0, true});
  Queue({Step("Start Program", [](auto& s) {
    s.Command = "long-job";
    s.DDEApplicationName = "1211";
    s.TimeElapsed = 30;  // seconds
  })});
  Run();
  EXPECT_EQ(Actions(), (Strings{"Wait for Program End", "**End**"}));
  const ScriptQueueEntry waiting = ScriptQueue[1];
  EXPECT_EQ(waiting.TaskHandle, 1);
  EXPECT_EQ(waiting.SCR.NextTaskID, kDay);
  EXPECT_EQ(waiting.SCR.TimeElapsed, kNoon + 3000);
  EXPECT_TRUE(log.back().starts_with("Run Program: long-job"));

  // Another program started meanwhile is not the one waited for.
  TaskProgramRequest other;
  other.command = "other";
  RunTaskProgram(other);
  Later(2999);
  Run();
  EXPECT_EQ(Var("ExitCode"), "259");
  EXPECT_EQ(ScriptQueue.Records(), 2);
  Later(2);  // past the limit: the wait ends with the program still running
  Run();
  EXPECT_EQ(Actions(), Strings{"**End**"});
  EXPECT_EQ(Var("ExitCode"), "259");
  EXPECT_EQ(processes.released, (std::vector<platform::ProcessHandle>{2, 1}));
}

TEST_F(ScriptExecutorTest, WaitForProgramEndGivesTheExitCodeOrMinusOne) {
  processes.SetOutcome("job", {0, 0, true});
  Queue({Step("Start Program",
              [](auto& s) {
                s.Command = "job";
                s.DDEApplicationName = "1";  // wait, without a limit
              })},
        false);
  Run();
  Later(100000);
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 1);  // no limit: it keeps waiting
  processes.Finish(ScriptQueue[1].TaskHandle, 3);
  Run();
  EXPECT_EQ(Var("ExitCode"), "3");
  EXPECT_EQ(ScriptQueue.Records(), 0);

  // A program that could not be started: the wait ends at once.
  processes.SetOutcome("missing", {ENOENT});
  Queue({Step("Start Program",
              [](auto& s) {
                s.Command = "missing";
                s.DDEApplicationName = "1";
              })},
        false);
  Run();
  Run();
  EXPECT_EQ(Var("ExitCode"), "-1");
  EXPECT_EQ(ScriptQueue.Records(), 0);
}

TEST_F(ScriptExecutorTest, ATransferPasswordReachesTheHelperOnlyThroughItsEnvironment) {
  SCRIPTING_RECORD upload = Step("File Actions", [](auto& s) {
    s.DDEType = "FTP Upload";
    s.Command = "a.txt";
    s.Path = "in/a.txt";
    s.DDEApplicationName = "127.0.0.1";
    s.DDEApplicationTopic = std::string("anna") + std::string(124, ' ') + "s3cret";
  });
  ScriptQueue.buffer = MakeScriptEntry(upload, {kDay, kNoon}, {kDay, kNoon});
  ScriptQueue.Add();
  processes.SetOutcome(ScriptQueue[1].SCR.Command.str(), {ENOENT});
  Run();
  ASSERT_FALSE(processes.requests.empty());
  for (const platform::ProcessRequest& tried : processes.requests) {
    for (const std::string& word : tried.argv)
      EXPECT_EQ(word.find("s3cret"), std::string::npos) << word;
  }
  const platform::ProcessRequest& start = processes.requests.back();
  EXPECT_EQ(start.argv,
            (Strings{"/opt/vx/bin/vx-ftp", "U", "a.txt", "in/a.txt", "127.0.0.1", "anna"}));
  EXPECT_EQ(start.environment, Strings{"VXFTP_PASSWORD=s3cret"});
}

TEST_F(ScriptExecutorTest, TransferStepsStartTheirHelperWithSourceAndTargetInTheProgramsFolder) {
  // The step's second file is an argument, never the folder to start in: the helper always starts
  // in the program's own folder, where relative names are read and written.
  const struct {
    const char* verb;
    const char* first;   // SCR.Command
    const char* second;  // SCR.Path
    const char* host;
    Strings argv;
  } cases[] = {
      {"FTP Upload",
       "/home/me/report one.txt",
       "incoming/report.txt",
       "ftp.example.org",
       {"/opt/vx/bin/vx-ftp", "U", "/home/me/report one.txt", "incoming/report.txt",
        "ftp.example.org", "anna"}},
      {"FTP Download",
       "pub/report.txt",
       "saved/report copy.txt",
       "127.0.0.1:2121",
       {"/opt/vx/bin/vx-ftp", "D", "pub/report.txt", "saved/report copy.txt", "127.0.0.1:2121",
        "anna"}},
      {"FTP Download",
       "report.txt",
       "/tmp",
       "host",
       {"/opt/vx/bin/vx-ftp", "D", "report.txt", "/tmp", "host", "anna"}},
      {"HTTP Download",
       "http://example.org/a?b=1&c=2",
       "page.html",
       "",
       {"/opt/vx/bin/vx-httpget", "http://example.org/a?b=1&c=2", "page.html", "/AUTO"}},
      {"HTTP Download",
       "http://example.org/a b.html",
       "/tmp",
       "",
       {"/opt/vx/bin/vx-httpget", "http://example.org/a b.html", "/tmp", "/AUTO"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.verb) + " " + c.first + " -> " + c.second);
    ScriptQueue.Free();
    processes.requests.clear();
    SCRIPTING_RECORD step = Step("File Actions", [&](auto& s) {
      s.DDEType = c.verb;
      s.Command = c.first;
      s.Path = c.second;
      s.DDEApplicationName = c.host;
      s.DDEApplicationTopic = std::string("anna") + std::string(124, ' ') + "pw";
    });
    ScriptQueue.buffer = MakeScriptEntry(step, {kDay, kNoon}, {kDay, kNoon});
    ScriptQueue.Add();
    processes.SetOutcome(ScriptQueue[1].SCR.Command.str(),
                         {ENOENT});  // no program of the whole line
    Run();
    ASSERT_FALSE(processes.requests.empty());
    const platform::ProcessRequest& start = processes.requests.back();
    EXPECT_EQ(start.argv, c.argv);
    EXPECT_TRUE(start.folder.empty()) << start.folder;
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(NextIs("Wait for Program End"));  // the step waits for the transfer's end
  }
}

TEST_F(ScriptExecutorTest, SendKeysSendsBurstsOfPlainTextAndKeyGroups) {
  Queue({Step("Send Keys", [](auto& s) { s.Keystrokes = "ab[ENTER]cd"; })}, false);
  Run();
  // a, b, Enter, c, d: three bursts (the letters, the key group, the letters).
  EXPECT_EQ(keyboard.Events(), "v65 ^65 v66 ^66 v13 ^13 v67 ^67 v68 ^68");
  EXPECT_EQ(frame.icons, (Strings{"busykey.ico", "busykey2.ico", "busykey3.ico"}));

  // Long text goes BURSTSIZE characters at a time; an unclosed bracket is text.
  frame.icons.clear();
  keyboard.events.clear();
  BURSTSIZE = 2;
  Queue({Step("Send Keys", [](auto& s) { s.Keystrokes = "abcde[x"; })}, false);
  Run();
  EXPECT_EQ(frame.icons.size(), 5u);  // ab, cd, e, the bracket alone, then "x"
  EXPECT_EQ(keyboard.Events(), "v65 ^65 v66 ^66 v67 ^67 v68 ^68 v69 ^69 v88 ^88");
}

TEST_F(ScriptExecutorTest, SendKeysWaitsOneStepGapBeforeEachBurst) {
  GLOBALDELAY = 2;  // 20 ms
  Queue({Step("Send Keys", [](auto& s) { s.Keystrokes = "a[TAB]b"; })}, false);
  const auto start = std::chrono::steady_clock::now();
  Run();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
  EXPECT_EQ(keyboard.Events(), "v65 ^65 v9 ^9 v66 ^66");
}

TEST_F(ScriptExecutorTest, WaitInEitherModeEndsAtItsSecondsLessOneStepGap) {
  GLOBALDELAY = 50;
  Queue({Step("Wait",
              [](auto& s) {
                s.DDEApplicationName = "Either";
                s.SecondsToWait = 10;
                s.WaitForWindow = "Never Opens";
              })},
        false);
  Run();
  EXPECT_TRUE(executor.WindowWaitActive);
  EXPECT_EQ(ScriptQueue[1].SCR.TimeElapsed, kNoon + 1000 - 50);
  Later(950);  // at the deadline: still waiting
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 1);
  Later(1);
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_FALSE(executor.WindowWaitActive);
}

TEST_F(ScriptExecutorTest, WaitForAWindowToOpenOrToClose) {
  Queue({Step("Wait", [](auto& s) { s.WaitForWindow = "Report*"; }),
         Step("Wait", [](auto& s) { s.WaitForWindow = "~Report*"; })},
        false);
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 2);  // not there yet
  desktop.Add(500, "Report 2026");
  Run();
  EXPECT_EQ(desktop.activated, std::vector<unsigned long>{500});
  EXPECT_EQ(ScriptQueue.Records(), 1);
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 1);  // still open
  desktop.top.clear();
  Run();
  EXPECT_EQ(ScriptQueue.Records(), 0);
}

TEST_F(ScriptExecutorTest, SetFocusBringsTheWindowForwardOrGoesOn) {
  desktop.Add(600, "Inbox - Mail");
  Queue({Step("Set Focus", [](auto& s) { s.FocusOnWindow = "Inbox*"; }),
         Step("Set Focus", [](auto& s) { s.FocusOnWindow = "Nowhere"; })},
        false);
  Run();
  Run();
  EXPECT_EQ(desktop.activated, std::vector<unsigned long>{600});
  EXPECT_EQ(ScriptQueue.Records(), 0);
}

TEST_F(ScriptExecutorTest, CloseProgramByNameStartsTheClosingHelperWithTheNameAsOneWord) {
  Queue({Step("Close Program", [](auto& s) { s.Command = "my editor; rm -rf ~"; })}, false);
  Run();
  ASSERT_EQ(processes.requests.size(), 1u);
  EXPECT_EQ(processes.requests[0].argv,
            (Strings{"/opt/vx/bin/vx-killproc", "my editor; rm -rf ~"}));
  EXPECT_EQ(processes.released, std::vector<platform::ProcessHandle>{1});
}

TEST_F(ScriptExecutorTest, CloseProgramClosesOnlyAnotherProgramsTopLevelWindow) {
  const long own = static_cast<long>(getpid());
  processes.SetOutcome("editor", {0, 0, true});
  TaskProgramRequest editor;
  editor.command = "editor";
  platform::ProcessHandle handle = 0;
  editor.handle_out = &handle;
  RunTaskProgram(editor);
  desktop.Add(700, "Editor");
  desktop.pids[700] = processes.ProcessId(handle);
  desktop.Add(800, "Varnodex 2000");
  desktop.pids[800] = own;

  const auto close_with = [&](unsigned long active) {
    desktop.closed.clear();
    desktop.active = active;
    ScriptQueue.buffer = ScriptQueueEntry{};
    ScriptQueue.buffer.SCR.Action = "Close Program";
    ScriptQueue.buffer.WindowHandle = handle;
    ScriptQueue.Add();
    Run();
    return desktop.closed;
  };
  // The window in front, when it is another program's.
  EXPECT_EQ(close_with(700), std::vector<unsigned long>{700});
  // Main's own frame in front: the window of the program the script came with.
  EXPECT_EQ(close_with(800), std::vector<unsigned long>{700});
  // A window the desktop does not list as an application's (its panel, its background): the
  // program's window again, never that one.
  EXPECT_EQ(close_with(999), std::vector<unsigned long>{700});
  desktop.top.erase(desktop.top.begin());  // the program has no window any more
  EXPECT_TRUE(close_with(800).empty());
}

TEST_F(ScriptExecutorTest, EveryStartScriptStepRunsEvenWhenTwoFollowEachOther) {
  file.files["one.vxs"] = {Line("Set Value", {"A", "1"})};
  file.files["two.vxs"] = {Line("Set Value", {"B", "2"})};
  Queue({Step("Start Script",
              [](auto& s) {
                s.Command = "one.vxs";
                s.Path = "Append";
              }),
         Step("Start Script", [](auto& s) {
           s.Command = "two.vxs";
           s.Path = "Append";
         })});
  for (int tick = 0; tick < 12 && ScriptQueue.Records() > 0; ++tick) Run();
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_EQ(Var("A"), "1");
  EXPECT_EQ(Var("B"), "2");
  EXPECT_EQ(std::count(log.begin(), log.end(), "Script: Start Script  one.vxs Append"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Script: Start Script  two.vxs Append"), 1);

  // Jumping to a script whose first step starts another script keeps that step too.
  file.files["three.vxs"] = {Line("Start Script", {"one.vxs", "J"}), Line("Set Value", {"C", "3"})};
  VARQ.Free();
  Queue({Step("Start Script", [](auto& s) {
    s.Command = "three.vxs";
    s.Path = "J";
  })});
  Run();
  EXPECT_EQ(ScriptQueue[1].SCR.Action, "Start Script");
  EXPECT_EQ(ScriptQueue[1].SCR.Command, "one.vxs");
  Run();
  Run();
  EXPECT_EQ(Var("A"), "1");
}

TEST_F(ScriptExecutorTest, FileActionsSetValuesAndMailLeaveTheirResultsInVariables) {
  Queue({Step("File Actions",
              [](auto& s) {
                s.DDEType = "File Exists";
                s.Command = "/nonexistent/file";
              }),
         Step("Set Value",
              [](auto& s) {
                s.Path = "Total";
                s.Command = "=2+3";
              }),
         Step("Send Email", [](auto& s) { s.EmailID = 42; }),
         Step("DDE (Dynamic Data Exchange)", [](auto& s) { s.DDEApplicationName = "Excel"; })},
        false);
  Run();
  EXPECT_EQ(Var("FileExists"), "0");
  Run();
  EXPECT_EQ(Var("TOTAL"), "5");
  Run();  // no mail routine installed: not set up
  EXPECT_EQ(Var("EmailExitCode"), "1");
  EXPECT_EQ(messages.Texts().back(),
            "Error!: Email not setup.  Select File > Options, Email tab, and fill in the required "
            "information.");
  Run();  // no DDE server answers: nothing happens
  EXPECT_EQ(ScriptQueue.Records(), 0);

  static std::int32_t sent = 0;
  const ScopedProgramServices mail(
      &ProgramServices::script_mail,
      [](std::int32_t id, std::uint8_t in_buffer, std::uint8_t reload) -> std::int32_t {
        sent = id;
        return in_buffer == 0 && reload == 1 ? 0 : 9;
      });
  Queue({Step("Send Email", [](auto& s) { s.EmailID = 42; })}, false);
  Run();
  EXPECT_EQ(sent, 42);
  EXPECT_EQ(Var("EmailExitCode"), "0");
}

}  // namespace
}  // namespace vx
