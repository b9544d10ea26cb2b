// The task launcher: how a command is read and started, what is kept of the start, and the
// task's script queued behind it.
#include "program/due_tasks/run_task_program.h"

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/program/task_road_fixture.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;
using test::Step;

class RunTaskProgramTest : public test::TaskRoadTest {
 protected:
  void Missing(const std::string& program) { processes.SetOutcome(program, {ENOENT, 0, false}); }
};

TEST_F(RunTaskProgramTest, ProgramPathWithBlanksIsFoundFromTheEnd) {
  Missing("/opt/my");
  Missing("/opt/my tools/run -x");
  ASSERT_TRUE(RunTaskProgram(DueTaskProgram(0, "/opt/my tools/run -x \"a b\"", "/srv/work")));
  // The whole command holds quotes, so it is no file name: three readings are tried.
  ASSERT_EQ(processes.requests.size(), 3u);
  const platform::ProcessRequest& started = processes.requests.back();
  EXPECT_EQ(started.argv, (Strings{"/opt/my tools/run", "-x", "a b"}));
  EXPECT_EQ(started.folder, "/srv/work");
  EXPECT_EQ(started.show, platform::ShowMode::Normal);
  EXPECT_TRUE(shell.requests.empty());
  EXPECT_EQ(log, Strings{"Run Program: /opt/my tools/run -x \"a b\""});
  EXPECT_EQ(ACTIVEQUEUE.buffer.PRGNAME, "/opt/my tools/run -x \"a b\"");
  EXPECT_EQ(processes.released.size(), 1u);  // nobody waits for it: let go, still reaped
}

TEST_F(RunTaskProgramTest, QuotedProgramIsSplitAtTheClosingQuote) {
  Missing("\"/opt/my tools/run\" now");
  RunTaskProgram(DueTaskProgram(0, "\"/opt/my tools/run\" now", ""));
  EXPECT_EQ(processes.requests.back().argv, (Strings{"/opt/my tools/run", "now"}));
}

TEST_F(RunTaskProgramTest, DocumentsAndLinksGoToTheOpener) {
  processes.SetOutcome("/home/me/notes one.txt", {EACCES, 0, false});
  shell.result = platform::SHELL_OPENED;
  EXPECT_TRUE(RunTaskProgram(DueTaskProgram(0, "/home/me/notes one.txt", "/home/me")));
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].target, "/home/me/notes one.txt");
  EXPECT_EQ(shell.requests[0].verb, "open");
  EXPECT_EQ(shell.requests[0].folder, "/home/me");
  EXPECT_EQ(ACTIVEQUEUE.buffer.PRGHANDLE, static_cast<std::uint32_t>(platform::SHELL_OPENED));

  processes.requests.clear();
  for (const char* link : {"https://example.org/a b", "mailto:anna@example.org"}) {
    EXPECT_TRUE(RunTaskProgram(DueTaskProgram(0, link, "")));
    EXPECT_EQ(shell.requests.back().target, link);
  }
  EXPECT_TRUE(processes.requests.empty());  // a link is never taken for a program
}

TEST_F(RunTaskProgramTest, VerbIsLowerCasedAndCutToFourLettersUnlessIgnored) {
  processes.SetOutcome("a.txt", {EACCES, 0, false});
  TaskProgramRequest request = DueTaskProgram(0, "a.txt", "");
  request.verb = "PRINTTO";
  RunTaskProgram(request);
  request.ignore_verb = false;
  RunTaskProgram(request);
  EXPECT_EQ(shell.requests[0].verb, "open");
  EXPECT_EQ(shell.requests[1].verb, "prin");
}

TEST_F(RunTaskProgramTest, HelperProgramsStartFromTheHelperFolder) {
  Missing("VXMsg.EXE ID=12");  // no file of that whole name
  Missing("kvbback.exe VX97.TPS");
  RunTaskProgram(DueTaskProgram(0, "VXMsg.EXE ID=12", ""));
  RunTaskProgram(DueTaskProgram(0, "kvbback.exe VX97.TPS", ""));
  EXPECT_EQ(processes.requests[1].argv, (Strings{"/opt/vx/bin/vx-msg", "ID=12"}));
  EXPECT_EQ(processes.requests[3].argv, (Strings{"/opt/vx/bin/vx-backup", "VX97.TPS"}));
}

TEST_F(RunTaskProgramTest, CommandThatCannotStartIsReportedAndItsScriptNotQueued) {
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 5; }));
  Missing("nosuchprogram");
  EXPECT_FALSE(RunTaskProgram(DueTaskProgram(5, "nosuchprogram", "")));
  // Without a folder of its own the command starts in the current one, which the box names.
  EXPECT_EQ(messages.Texts(),
            Strings{"Error Code 2: Could not start nosuchprogram.\n\nStart folder: " +
                    std::filesystem::current_path().string() + "\nIt does not exist."});
  // A program with arguments is never handed to the opener: the reason is the start's own.
  messages.shown.clear();
  Missing("nosuchprogram -x");
  Missing("nosuchprogram");
  Missing("/srv/locked -x");
  processes.SetOutcome("/srv/locked", {EACCES, 0, false});
  EXPECT_FALSE(RunTaskProgram(DueTaskProgram(0, "nosuchprogram -x", "/srv")));
  EXPECT_FALSE(RunTaskProgram(DueTaskProgram(0, "/srv/locked -x", "/srv")));
  EXPECT_EQ(messages.Texts(), (Strings{"Error Code 2: Could not start nosuchprogram -x.\n\nStart "
                                       "folder: /srv\nNo program of that name was found.",
                                       "Error Code 5: Could not start /srv/locked -x.\n\nStart "
                                       "folder: /srv\nThe program may not be run "
                                       "(permission denied)."}));
  EXPECT_EQ(ScriptQueue.Records(), 0);
  EXPECT_EQ(ADDINGSCRIPTING, 0);
}

TEST_F(RunTaskProgramTest, NotApplicableStartsNothingAndQueuesTheScript) {
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 5;
    s.Sequence = 1;
  }));
  steps.Put(Step("Wait", [](auto& s) {
    s.ID = 5;
    s.Sequence = 2;
    s.SecondsToWait = 2;
  }));
  TaskProgramRequest request = DueTaskProgram(5, "n/a", "");
  EXPECT_TRUE(RunTaskProgram(request));
  EXPECT_TRUE(processes.requests.empty());
  EXPECT_TRUE(shell.requests.empty());
  EXPECT_EQ(ScriptQueue.Records(), 3);
  EXPECT_EQ(ScriptQueue[3].SCR.Action, "**End**");
}

TEST_F(RunTaskProgramTest, StartedProgramsAreKeptForTheExitCodeLogOrTheCaller) {
  GLO_USELOG = 1;
  GLO_LOGEXITCODES = 1;
  const std::string long_command = "run " + std::string(100, 'x');
  RunTaskProgram(DueTaskProgram(0, long_command, ""));
  ASSERT_EQ(ExitCodeQueue.Records(), 1);
  EXPECT_EQ(ExitCodeQueue[1].ProgramName, long_command.substr(0, 80));
  EXPECT_NE(ExitCodeQueue[1].ProcessHandle, 0);
  EXPECT_TRUE(processes.released.empty());

  platform::ProcessHandle handle = 0;
  TaskProgramRequest waited = DueTaskProgram(0, "run now", "");
  waited.handle_out = &handle;
  waited.force_normal = false;
  waited.show_mode = 2;
  waited.default_priority = false;
  waited.priority = 1;
  RunTaskProgram(waited);
  EXPECT_NE(handle, 0);
  // The caller holds one handle and the log another of the same program.
  ASSERT_EQ(ExitCodeQueue.Records(), 2);
  EXPECT_EQ(ExitCodeQueue[2].ProgramName, "run now");
  EXPECT_NE(ExitCodeQueue[2].ProcessHandle, handle);
  EXPECT_EQ(processes.ProcessId(ExitCodeQueue[2].ProcessHandle), processes.ProcessId(handle));
  EXPECT_TRUE(processes.released.empty());
  EXPECT_EQ(processes.requests.back().show, platform::ShowMode::Minimised);
  EXPECT_EQ(processes.requests.back().priority, platform::ProcessPriority::Idle);
}

TEST_F(RunTaskProgramTest, LongCommandIsStartedWhole) {
  const std::string long_command = "run " + std::string(400, 'x');
  Missing(long_command);
  RunTaskProgram(DueTaskProgram(0, long_command, ""));
  EXPECT_EQ(processes.requests.back().argv.back(), std::string(400, 'x'));
}

TEST_F(RunTaskProgramTest, ChainedProgramStartsAndClosesTheProgram) {
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 5; }));
  Missing("vxchain next");
  RunTaskProgram(DueTaskProgram(5, "vxchain next", ""));
  EXPECT_EQ(Programs(), (Strings{"vxchain next", "vxchain"}));
  EXPECT_EQ(close_requests, 1);
  EXPECT_EQ(ScriptQueue.Records(), 0);
}

// With the program's own services, a chained command closes Main's frame (the first thread).
TEST(RunTaskProgramChain, TheProgramsFrameClosesAfterAChainedCommand) {
  bool gave_up = false;
  RunProgram([&] {
    Window frame("Main");
    frame.Open();
    frame.Timer(500);  // gives up after five seconds instead of hanging
    START([] { RunTaskProgram(DueTaskProgram(0, "VXCHAIN --no-such-program", "")); }, 25000);
    while (frame.Accept()) {
      if (EVENT() == EVENT_Timer) {
        gave_up = true;
        break;
      }
    }
  });
  EXPECT_FALSE(gave_up) << "the frame closes by itself";
}

TEST_F(RunTaskProgramTest, HeldScriptLockIsGivenUpAfterThreeSeconds) {
  ADDINGSCRIPTING = 1;
  const auto before = std::chrono::steady_clock::now();
  RunTaskProgram(DueTaskProgram(0, "N/A", ""));
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
  EXPECT_EQ(log.front(), "Scripting: Lock Error");
  EXPECT_EQ(ADDINGSCRIPTING, 0);
}

}  // namespace
}  // namespace vx
