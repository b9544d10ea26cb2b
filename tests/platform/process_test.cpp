#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/temp_folder.h"

extern char** environ;

namespace vx::platform {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

ProcessRequest Shell(const std::string& script) {
  return ProcessRequest{{"/bin/sh", "-c", script}};
}

// The one-letter state of a process from /proc ("Z" for a zombie), or "" when it is gone.
std::string ProcessState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return "";
  const auto close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() ? "" : line.substr(close + 2, 1);
}

// Field 19 of /proc/<pid>/stat: the nice value.
int NiceValue(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 19; ++i) fields >> field;
  return std::stoi(field);
}

// True when the pid disappears from /proc (reaped) within a few seconds.
bool GoneFromProc(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (ProcessState(pid).empty()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(SystemProcessLauncher, ReportsExitCodesOfRealChildren) {
  SystemProcessLauncher launcher;
  struct Row {
    ProcessRequest request;
    long code;
  };
  const Row rows[] = {
      {{{"/bin/true"}}, 0},
      {{{"false"}}, 1},  // looked up on PATH
      {Shell("exit 7"), 7},
      {Shell("kill -9 $$"), 128 + SIGKILL},
      {{{"/bin/sh", "-c", "[ \"$1\" = 'two words' ] && exit 3", "sh", "two words"}},
       3},  // argv kept whole
  };
  for (const Row& row : rows) {
    const StartResult started = launcher.Start(row.request);
    ASSERT_TRUE(started) << row.request.argv.back() << ": " << started.error;
    EXPECT_TRUE(launcher.Wait(started.handle, 10s));
    EXPECT_EQ(launcher.ExitCode(started.handle), row.code) << row.request.argv.back();
    launcher.Release(started.handle);
  }
}

TEST(SystemProcessLauncher, IsStillActiveUntilTheChildEnds) {
  SystemProcessLauncher launcher;
  const StartResult started = launcher.Start(Shell("sleep 0.3; exit 5"));
  ASSERT_TRUE(started);
  EXPECT_EQ(launcher.ExitCode(started.handle), STILL_ACTIVE);
  EXPECT_FALSE(launcher.Wait(started.handle, 0ms));
  EXPECT_TRUE(launcher.Wait(started.handle, -1ms));
  EXPECT_TRUE(launcher.Wait(started.handle, std::chrono::milliseconds::max()));
  EXPECT_EQ(launcher.ExitCode(started.handle), 5);
  launcher.Release(started.handle);
}

TEST(SystemProcessLauncher, MissingProgramsAndFoldersFailToStart) {
  SystemProcessLauncher launcher;
  StartResult started = launcher.Start({{"no-such-program-vx"}});
  EXPECT_FALSE(started);
  EXPECT_EQ(started.error, ENOENT);
  EXPECT_FALSE(started.folder_error);

  started = launcher.Start({{}});
  EXPECT_FALSE(started);

  started = launcher.Start({{"/bin/true"}, "/no/such/folder"});
  EXPECT_FALSE(started);
  EXPECT_TRUE(started.folder_error);
  EXPECT_EQ(started.error, ENOENT);
}

TEST(SystemProcessLauncher, StartsInTheFolderGivenWithoutMovingTheCaller) {
  SystemProcessLauncher launcher;
  test::TempFolder folder("vx_process");
  const fs::path before = fs::current_path();
  ProcessRequest request = Shell("pwd > here.txt");
  request.folder = folder.path();
  const StartResult started = launcher.Start(request);
  ASSERT_TRUE(started);
  ASSERT_TRUE(launcher.Wait(started.handle, 10s));
  EXPECT_EQ(launcher.ExitCode(started.handle), 0);
  launcher.Release(started.handle);

  std::ifstream here(folder.path() / "here.txt");
  std::string written;
  std::getline(here, written);
  EXPECT_EQ(fs::path(written), fs::canonical(folder.path()));
  EXPECT_EQ(fs::current_path(), before);
}

TEST(SystemProcessLauncher, HandlesAreNeverGivenOutTwice) {
  SystemProcessLauncher launcher;
  const StartResult first = launcher.Start({{"/bin/true"}});
  ASSERT_TRUE(first);
  ASSERT_TRUE(launcher.Wait(first.handle, 10s));
  launcher.Release(first.handle);
  const StartResult second = launcher.Start({{"/bin/true"}});
  ASSERT_TRUE(second);
  EXPECT_NE(second.handle, first.handle);
  // A released handle names nothing any more.
  EXPECT_EQ(launcher.ExitCode(first.handle), std::nullopt);
  EXPECT_EQ(launcher.ProcessId(first.handle), 0);
  EXPECT_FALSE(launcher.Wait(first.handle, 0ms));
  EXPECT_FALSE(launcher.Kill(first.handle, 0ms));
  ASSERT_TRUE(launcher.Wait(second.handle, 10s));
  launcher.Release(second.handle);
}

TEST(SystemProcessLauncher, SharedHandlesAreReleasedIndependently) {
  SystemProcessLauncher launcher;
  // The first handle is let go while the child still runs, and after it has ended.
  for (const bool release_while_running : {true, false}) {
    SCOPED_TRACE(release_while_running);
    const StartResult started = launcher.Start(Shell("sleep 0.2; exit 6"));
    ASSERT_TRUE(started);
    const ProcessHandle shared = launcher.Share(started.handle);
    ASSERT_NE(shared, 0);
    EXPECT_NE(shared, started.handle);
    const pid_t pid = launcher.ProcessId(started.handle);
    EXPECT_EQ(launcher.ProcessId(shared), pid);

    if (!release_while_running) {
      ASSERT_TRUE(launcher.Wait(started.handle, 10s));
    }
    launcher.Release(started.handle);
    EXPECT_EQ(launcher.ExitCode(started.handle), std::nullopt);
    EXPECT_EQ(launcher.Share(started.handle), 0);  // a released handle shares nothing
    EXPECT_TRUE(launcher.Wait(shared, 10s));
    EXPECT_EQ(launcher.ExitCode(shared), 6);
    EXPECT_TRUE(GoneFromProc(pid));  // reaped while a handle still names it

    launcher.Release(shared);
    EXPECT_EQ(launcher.ExitCode(shared), std::nullopt);
    EXPECT_EQ(launcher.ExitCode(started.handle), std::nullopt);
    EXPECT_EQ(launcher.Share(shared), 0);
  }
}

TEST(SystemProcessLauncher, ReapsEveryChildAndOnlyItsOwn) {
  SystemProcessLauncher launcher;
  // A child the test starts itself; the launcher must leave its status to the test.
  pid_t own = 0;
  char* own_argv[] = {const_cast<char*>("/bin/true"), nullptr};
  ASSERT_EQ(posix_spawn(&own, "/bin/true", nullptr, nullptr, own_argv, environ), 0);

  // Released at once: nobody asks for its code, yet it must not stay a zombie.
  const StartResult forgotten = launcher.Start({{"/bin/true"}});
  ASSERT_TRUE(forgotten);
  const pid_t forgotten_pid = launcher.ProcessId(forgotten.handle);
  launcher.Release(forgotten.handle);
  // Kept: reaped too, while its code stays readable.
  const StartResult kept = launcher.Start(Shell("exit 4"));
  ASSERT_TRUE(kept);
  const pid_t kept_pid = launcher.ProcessId(kept.handle);

  EXPECT_TRUE(GoneFromProc(forgotten_pid));
  EXPECT_TRUE(GoneFromProc(kept_pid));
  EXPECT_EQ(launcher.ExitCode(kept.handle), 4);
  launcher.Release(kept.handle);

  // The test's own child ended long ago and is still waiting for the test.
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(ProcessState(own), "Z");
  int status = -1;
  EXPECT_EQ(waitpid(own, &status, 0), own);
  EXPECT_TRUE(WIFEXITED(status));
}

TEST(SystemProcessLauncher, KillEndsAChildThatIgnoresTheRequest) {
  SystemProcessLauncher launcher;
  const StartResult polite = launcher.Start({{"sleep", "30"}});
  const StartResult stubborn = launcher.Start(Shell("trap '' TERM; exec sleep 30"));
  ASSERT_TRUE(polite);
  ASSERT_TRUE(stubborn);
  std::this_thread::sleep_for(100ms);  // let the shell set its trap and exec

  EXPECT_TRUE(launcher.Kill(polite.handle, 5s));
  EXPECT_EQ(launcher.ExitCode(polite.handle), 128 + SIGTERM);

  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(launcher.Kill(stubborn.handle, 200ms));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 200ms);
  EXPECT_EQ(launcher.ExitCode(stubborn.handle), 128 + SIGKILL);

  // Ending an ended child is done already.
  EXPECT_TRUE(launcher.Kill(polite.handle, 0ms));
  launcher.Release(polite.handle);
  launcher.Release(stubborn.handle);
}

TEST(SystemProcessLauncher, TerminateAsksAndReturnsAtOnce) {
  SystemProcessLauncher launcher;
  const StartResult started = launcher.Start({{"sleep", "30"}});
  ASSERT_TRUE(started);
  EXPECT_TRUE(launcher.Terminate(started.handle));
  EXPECT_TRUE(launcher.Wait(started.handle, 10s));
  EXPECT_EQ(launcher.ExitCode(started.handle), 128 + SIGTERM);
  launcher.Release(started.handle);
}

TEST(SystemProcessLauncher, IdlePriorityLowersTheChild) {
  SystemProcessLauncher launcher;
  ProcessRequest request{{"sleep", "30"}};
  request.priority = ProcessPriority::Idle;
  const StartResult idle = launcher.Start(request);
  // High asks for more than an ordinary user may have; the start still succeeds.
  request.priority = ProcessPriority::High;
  const StartResult high = launcher.Start(request);
  ASSERT_TRUE(idle);
  ASSERT_TRUE(high);
  EXPECT_EQ(NiceValue(launcher.ProcessId(idle.handle)), 19);
  EXPECT_LE(NiceValue(launcher.ProcessId(high.handle)), 0);
  EXPECT_TRUE(launcher.Kill(idle.handle, 5s));
  EXPECT_TRUE(launcher.Kill(high.handle, 5s));
  launcher.Release(idle.handle);
  launcher.Release(high.handle);
}

TEST(EndProgram, EndsAProgramByItsProcessId) {
  // Programs found by other means (not started by a launcher): the test's own children.
  const auto spawn = [](const char* script) {
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                    const_cast<char*>(script), nullptr};
    EXPECT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    return pid;
  };
  const pid_t polite = spawn("exec sleep 30");
  const pid_t stubborn = spawn("trap '' TERM; exec sleep 30");
  std::this_thread::sleep_for(100ms);

  EXPECT_EQ(EndProgram(polite, 5s), EndResult::Ended);
  EXPECT_EQ(EndProgram(stubborn, 200ms), EndResult::Ended);
  int status = 0;
  ASSERT_EQ(waitpid(polite, &status, 0), polite);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  ASSERT_EQ(waitpid(stubborn, &status, 0), stubborn);
  EXPECT_EQ(WTERMSIG(status), SIGKILL);

  EXPECT_EQ(EndProgram(polite, 0ms), EndResult::NotFound);  // reaped: gone
  EXPECT_EQ(EndProgram(0, 0ms), EndResult::NotFound);
  struct stat init_status {};
  if (stat("/proc/1", &init_status) == 0 && init_status.st_uid != geteuid() && geteuid() != 0) {
    EXPECT_EQ(EndProgram(1, 0ms), EndResult::NotPermitted);
  }
}

}  // namespace
}  // namespace vx::platform
