// The fourth phase of the tick: the clock-jump warning with its backup, and the exit codes of
// started programs in the event log, with fakes and with real programs.
#include "program/due_tasks/check_clock_and_exit_codes.h"

#include <chrono>

#include "program/due_tasks/run_task_program.h"
#include "tests/program/task_road_fixture.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;

class CheckClockTest : public test::TaskRoadTest {
 protected:
  // Real programs are started, and their exit codes logged.
  void LogRealExitCodes() {
    services.processes = &real;
    GLO_LASTCHECKDATE = kDay;
    GLO_USELOG = 1;
    GLO_LOGEXITCODES = 1;
  }

  platform::SystemProcessLauncher real;
};

TEST_F(CheckClockTest, ForwardJumpOfMoreThanThreeDaysWarnsOnceAndStartsTheBackup) {
  const struct {
    std::int32_t last;
    bool warns;
  } cases[] = {
      {kDay - 4, true}, {kDay - 3, false}, {kDay - 1, false}, {kDay + 10, false}, {0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.last);
    messages.shown.clear();
    processes.requests.clear();
    GLO_LASTCHECKDATE = c.last;
    CheckClockAndExitCodes();
    EXPECT_EQ(GLO_LASTCHECKDATE, kDay);
    EXPECT_EQ(messages.shown.size(), c.warns ? 1u : 0u);
    EXPECT_EQ(processes.requests.size(), c.warns ? 1u : 0u);
    if (c.warns) {
      EXPECT_EQ(messages.shown[0].caption, "Warning");
      // Carriage returns break the lines, as the warning has always been written.
      EXPECT_EQ(messages.shown[0].text.rfind("Warning!\r\rYou have set the system date forward "
                                             "more than 3 days.\r\rTasks scheduled prior to ",
                                             0),
                0u)
          << messages.shown[0].text;
      EXPECT_EQ(processes.requests[0].argv, (Strings{"/opt/vx/bin/vx-backup", "VX97.TPS"}));
    }
    CheckClockAndExitCodes();  // the same day again: nothing more
    EXPECT_EQ(messages.shown.size(), c.warns ? 1u : 0u);
  }
}

TEST_F(CheckClockTest, EndedProgramsAreLoggedLastFirstAndRunningOnesKept) {
  GLO_LASTCHECKDATE = kDay;
  GLO_USELOG = 1;
  GLO_LOGEXITCODES = 1;
  processes.SetOutcome("first", {0, 4, false});
  processes.SetOutcome("second", {0, 0, true});
  processes.SetOutcome("third", {0, 1, false});
  for (const char* program : {"first", "second", "third"})
    RunTaskProgram(DueTaskProgram(0, program, ""));
  log.clear();

  CheckClockAndExitCodes();
  EXPECT_EQ(log, (Strings{"Program Exit: Code 1 for third", "Program Exit: Code 4 for first"}));
  ASSERT_EQ(ExitCodeQueue.Records(), 1);
  EXPECT_EQ(ExitCodeQueue[1].ProgramName, "second");

  processes.Finish(ExitCodeQueue[1].ProcessHandle, 7);
  GLO_LOGEXITCODES = 0;
  CheckClockAndExitCodes();  // not logging exit codes: nothing is looked at
  EXPECT_EQ(ExitCodeQueue.Records(), 1);
  GLO_LOGEXITCODES = 1;
  CheckClockAndExitCodes();
  EXPECT_EQ(log.back(), "Program Exit: Code 7 for second");
  EXPECT_EQ(ExitCodeQueue.Records(), 0);
}

TEST_F(CheckClockTest, RealProgramsExitCodeIsLogged) {
  LogRealExitCodes();
  ASSERT_TRUE(RunTaskProgram(DueTaskProgram(0, "sh -c \"exit 3\"", "/")));
  ASSERT_EQ(ExitCodeQueue.Records(), 1);
  ASSERT_TRUE(real.Wait(ExitCodeQueue[1].ProcessHandle, std::chrono::seconds(10)));
  log.clear();
  CheckClockAndExitCodes();
  EXPECT_EQ(log, Strings{"Program Exit: Code 3 for sh -c \"exit 3\""});
  EXPECT_EQ(ExitCodeQueue.Records(), 0);
}

TEST_F(CheckClockTest, RealProgramHandedToTheCallerIsLoggedAfterTheCallerLetsGo) {
  LogRealExitCodes();
  platform::ProcessHandle handle = 0;
  TaskProgramRequest request = DueTaskProgram(0, "sh -c \"exit 3\"", "/");
  request.handle_out = &handle;
  ASSERT_TRUE(RunTaskProgram(request));
  ASSERT_NE(handle, 0);
  ASSERT_EQ(ExitCodeQueue.Records(), 1);
  const platform::ProcessHandle logged = ExitCodeQueue[1].ProcessHandle;
  EXPECT_NE(logged, handle);

  ASSERT_TRUE(real.Wait(handle, std::chrono::seconds(10)));
  EXPECT_EQ(real.ExitCode(handle), 3);
  real.Release(handle);
  log.clear();
  CheckClockAndExitCodes();
  EXPECT_EQ(log, Strings{"Program Exit: Code 3 for sh -c \"exit 3\""});
  EXPECT_EQ(ExitCodeQueue.Records(), 0);
  EXPECT_EQ(real.ExitCode(logged), std::nullopt);  // the log let go of its handle too
}

TEST_F(CheckClockTest, RealStartInAMissingFolderIsReportedWithTheFolderAndTheReason) {
  services.processes = &real;
  EXPECT_FALSE(RunTaskProgram(DueTaskProgram(0, "true", "/no/such/folder")));
  const char* folder_is_a_file = "/etc/hostname";
  EXPECT_FALSE(RunTaskProgram(DueTaskProgram(0, "true", folder_is_a_file)));
  EXPECT_EQ(messages.Texts(), (Strings{"Error Code 3: Could not start true.\n\nStart folder: "
                                       "/no/such/folder\nThe start folder does not exist.",
                                       "Error Code 3: Could not start true.\n\nStart folder: "
                                       "/etc/hostname\nThe start folder is a file, "
                                       "not a folder."}));
}

}  // namespace
}  // namespace vx
