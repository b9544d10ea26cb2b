// The lock of a data folder: one holder at a time, whichever path names the folder; gone with
// its holder even while programs it started run on; and the holder's answer to a request to come
// forward.
#include "platform/folder_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>

#include "support/ends_within.h"
#include "support/temp_folder.h"

extern char** environ;

namespace vx::platform {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class FolderLockTest : public test::TempFolderTest {};

TEST_F(FolderLockTest, OneHolderPerFolderWhicheverPathNamesIt) {
  fs::create_directory("data");
  fs::create_directory("other");
  fs::create_directory_symlink(fs::absolute("data"), "link");

  auto first = std::make_unique<FolderLock>("data", nullptr);
  EXPECT_TRUE(first->held());
  for (const char* path : {"data", "link", "./data/"}) {
    const FolderLock second(path, nullptr);
    EXPECT_FALSE(second.held()) << path;
    EXPECT_EQ(second.error(), "") << "a lock held elsewhere is no error: " << path;
  }
  EXPECT_TRUE(FolderLock("other", nullptr).held()) << "another folder has its own lock";

  first.reset();
  EXPECT_TRUE(FolderLock("link", nullptr).held()) << "the lock goes with its holder";
}

TEST_F(FolderLockTest, AFolderThatCannotBeOpenedIsNotLockedAndSaysWhy) {
  const FolderLock lock("missing", nullptr);
  EXPECT_FALSE(lock.held());
  EXPECT_NE(lock.error(), "");
}

// A program the holder started (a task's program, the maintenance program) lives on after the
// holder has ended: it must not keep the folder locked against the next start.
TEST_F(FolderLockTest, AProgramTheHolderStartedDoesNotKeepTheLock) {
  fs::create_directory("data");
  auto lock = std::make_unique<FolderLock>("data", nullptr);
  ASSERT_TRUE(lock->held());
  char sleep[] = "sleep", seconds[] = "30";
  char* argv[] = {sleep, seconds, nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
  lock.reset();
  EXPECT_TRUE(FolderLock("data", nullptr).held());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

TEST_F(FolderLockTest, TheHolderIsAskedToComeForwardAndAnswersItsProcess) {
  fs::create_directory("data");
  fs::create_directory_symlink(fs::absolute("data"), "link");
  std::atomic<int> asked{0};
  auto holder = std::make_unique<FolderLock>("data", [&asked] { ++asked; });
  ASSERT_TRUE(holder->held());

  EXPECT_EQ(test::EndsWithin(10s, [] { return AskFolderHolderToComeForward("link", 3s); }),
            getpid());
  EXPECT_EQ(asked.load(), 1);
  EXPECT_EQ(test::EndsWithin(10s, [] { return AskFolderHolderToComeForward("data", 3s); }),
            getpid());
  EXPECT_EQ(asked.load(), 2);

  // Without a holder nobody answers, and the asker gives up after its limit.
  holder.reset();
  EXPECT_EQ(test::EndsWithin(10s, [] { return AskFolderHolderToComeForward("data", 300ms); }), 0);
  EXPECT_EQ(asked.load(), 2);
  EXPECT_EQ(test::EndsWithin(10s, [] { return AskFolderHolderToComeForward("missing", 300ms); }),
            0);
}

}  // namespace
}  // namespace vx::platform
