// The security class: the log-on hand-over through the user's private file, the back-door user
// never handed over, the inactivity time-out closing the program down in order, and the
// obfuscated password.
#include "datadll/addons/ssec_security_class.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/test_driver.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;
using SSEC::SECURITYCLASS;

// Users 1 to 9 exist.
struct Security : SECURITYCLASS {
  int FETCHUSER(long userNo) override {
    if (userNo < 1 || userNo > 9) return 1;
    *USERNAME = "User " + std::to_string(userNo);
    return 0;
  }
};

class SecurityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vx-security-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    fs::permissions(folder_, fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

constexpr std::int32_t kDay = 80000;
constexpr std::int32_t kNoon = 4320001;

TEST_F(SecurityTest, AHandOverIsTakenOnceWithItsTokenWithinTwoMinutesOfTheSameDay) {
  const struct {
    const char* name;
    std::int32_t day, clock;  // when it is checked
    bool right_token;
    bool taken;
  } cases[] = {
      {"at once", kDay, kNoon, true, true},
      {"119 seconds on", kDay, kNoon + 11900, true, true},
      {"121 seconds on", kDay, kNoon + 12100, true, false},
      {"the next day, earlier in it", kDay + 1, kNoon - 100, true, false},
      {"the clock set back", kDay, kNoon - 100, true, false},
      {"a wrong token", kDay, kNoon + 100, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FixedClock clock(kDay, kNoon);
    ScopedClock use(clock);
    Security starter;
    *starter.USERNO = 7;
    const std::optional<std::string> token = starter.PREPAREPREVIOUSLOGON(folder_);
    ASSERT_TRUE(token.has_value());
    EXPECT_EQ(token->size(), 32u);
    const fs::path file = SECURITYCLASS::HandOverFile(folder_);
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    clock.Set(c.day, c.clock);
    Security started;
    const bool taken =
        started.CHECKPREVIOUSLOGON(c.right_token ? *token : std::string(32, '0'), folder_);
    EXPECT_EQ(taken, c.taken);
    EXPECT_EQ(*started.USERNO, c.taken ? 7 : 0);
    EXPECT_EQ(*started.USERNAME, c.taken ? "User 7" : "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << "removed whatever it held";
    EXPECT_FALSE(started.CHECKPREVIOUSLOGON(*token, folder_)) << "used once";
  }
}

TEST_F(SecurityTest, AFileAnotherCouldHaveWrittenOrTheBackDoorUserIsNeverTakenOver) {
  FixedClock clock(kDay, kNoon);
  ScopedClock use(clock);
  const fs::path file = SECURITYCLASS::HandOverFile(folder_);
  const std::string token(32, 'a');
  auto plant = [&](const std::string& text, fs::perms perms) {
    fs::remove(file);
    std::ofstream(file) << text;
    fs::permissions(file, perms);
  };
  const std::string day = std::to_string(kDay), now = std::to_string(kNoon);
  const struct {
    const char* name;
    std::function<void()> make;
  } cases[] = {
      {"the back-door user",
       [&] {
         plant(day + " " + now + " -1 " + token, fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"nobody",
       [&] {
         plant(day + " " + now + " 0 " + token, fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"a user the store has not",
       [&] {
         plant(day + " " + now + " 12 " + token, fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"readable by others",
       [&] {
         plant(day + " " + now + " 7 " + token,
               fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
       }},
      {"writable by the group",
       [&] {
         plant(day + " " + now + " 7 " + token,
               fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write);
       }},
      {"an old XOR entry's form",
       [&] { plant("49,48,48,32,32,32,32,32", fs::perms::owner_read | fs::perms::owner_write); }},
      {"a link to a good file",
       [&] {
         fs::remove(file);
         const fs::path real = folder_ / "real";
         std::ofstream(real) << day + " " + now + " 7 " + token;
         fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
         fs::create_symlink(real, file);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.make();
    Security started;
    EXPECT_FALSE(started.CHECKPREVIOUSLOGON(token, folder_));
    EXPECT_EQ(*started.USERNO, 0);
    EXPECT_EQ(*started.USERNAME, "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
  }
  // The same file as the owner's alone is taken: what refused the others was their flaw.
  plant(day + " " + now + " 7 " + token, fs::perms::owner_read | fs::perms::owner_write);
  Security started;
  EXPECT_TRUE(started.CHECKPREVIOUSLOGON(token, folder_));

  // The back-door user and nobody are never handed over at all.
  for (long user : {SSEC::kBackdoorUser, 0L}) {
    Security starter;
    *starter.USERNO = user;
    EXPECT_FALSE(starter.PREPAREPREVIOUSLOGON(folder_).has_value()) << user;
    EXPECT_FALSE(fs::exists(file));
  }
}

TEST_F(SecurityTest, TheHandOverLiesInTheUsersOwnRuntimeFolder) {
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  EXPECT_EQ(SECURITYCLASS::HandOverFile().parent_path(), folder_);
  // A runtime folder others may enter is not used: the private fallback is.
  fs::permissions(folder_, fs::perms::owner_all | fs::perms::others_exec);
  const fs::path fallback = SECURITYCLASS::HandOverFile().parent_path();
  EXPECT_NE(fallback, folder_);
  struct stat st {};
  ASSERT_EQ(::lstat(fallback.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, ::geteuid());
  if (old)
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
  // The token travels in the environment to the program started.
  FixedClock clock(kDay, kNoon);
  ScopedClock use(clock);
  Security starter;
  *starter.USERNO = 3;
  const auto token = starter.PREPAREPREVIOUSLOGON(folder_);
  ASSERT_TRUE(token);
  setenv(SSEC::kLogonTokenVariable, token->c_str(), 1);
  Security started;
  EXPECT_TRUE(started.CHECKPREVIOUSLOGON(std::nullopt, folder_));
  unsetenv(SSEC::kLogonTokenVariable);
  EXPECT_EQ(*started.USERNO, 3);
}

TEST(SecurityClass, EncryptPasswordIsItsOwnInverseOverTheFirstEightCharacters) {
  Security s;
  s.PASSWORDENCRYPT = "k3y!Qz9#";
  const struct {
    const char* text;
    const char* padded;
  } cases[] = {{"secret", "secret  "},
               {"", "        "},
               {"longpassword", "longpass"},
               {"exactly8", "exactly8"}};
  for (const auto& c : cases) {
    const std::string once = s.ENCRYPTPASSWORD(c.text);
    EXPECT_EQ(once.size(), 8u);
    EXPECT_NE(once, c.padded);
    EXPECT_EQ(s.ENCRYPTPASSWORD(once), c.padded) << c.text;
  }
  EXPECT_EQ(s.ENCRYPTPASSWORD("longpassword"), s.ENCRYPTPASSWORD("longpass"));
}

TEST(SecurityClass, TheActivityStampRunsOnlyWithAPeriodAndOnceSomeoneLoggedOn) {
  FixedClock clock(kDay, kNoon);
  ScopedClock use(clock);
  Security s;
  *s.USERNO = 5;
  s.UPDATEACTIVITY();
  EXPECT_EQ(s.ACTIVITYTIME, 0) << "no period, no stamp";
  s.INACTIVITYPERIOD = 3000;
  *s.USERNO = 0;
  s.UPDATEACTIVITY();
  EXPECT_EQ(s.ACTIVITYTIME, 0) << "nobody ever logged on";
  *s.USERNO = 5;
  s.UPDATEACTIVITY();
  EXPECT_EQ(s.ACTIVITYTIME, kNoon);
  *s.USERNO = 0;
  EXPECT_TRUE(s.CHECKINGACTIVITY()) << "the stamp keeps the check going";
  EXPECT_TRUE(s.OVERRIDELOGONUSERNO(SSEC::kBackdoorUser));
  EXPECT_EQ(*s.USERNAME, "[Backdoor]");
  EXPECT_FALSE(s.OVERRIDELOGONUSERNO(44));
  EXPECT_EQ(*s.USERNO, 0);
  RunProgram([&] {
    for (long timer : {0L, 7000L, 50L}) {
      Window frame("Frame");
      frame.Timer(timer);
      s.PREPAREACTIVITYFRAME(frame);
      EXPECT_EQ(frame.GetNumber(Prop::Timer), timer == 50 ? 50 : 6000);
    }
  });
}

// A frame of an application that uses the class: its close-down logs the exit.
void RunSecuredFrame(Security& security, std::vector<std::string>& log, FixedClock* clock) {
  Window frame("Secured Frame");
  frame.Timer(5);
  class Frame : public WindowManager {
   public:
    Frame(Window& w, std::vector<std::string>& log) : WindowManager(w), log_(log) {}
    Level Kill() override {
      log_.push_back("Exit Secured Frame");
      std::fprintf(stderr, "Exit Secured Frame\n");
      return WindowManager::Kill();
    }

   private:
    std::vector<std::string>& log_;
  } manager(frame, log);
  security.PREPAREACTIVITYFRAME(frame);
  manager.On(EVENT_Timer, [&] {
    // The clock goes on a minute a tick.
    if (clock) clock->Set(kDay, CLOCK() + 6000);
    security.TAKEACTIVITYFRAMEEVENT(frame);
  });
  manager.Run();
}

TEST(SecurityClass, TheTimeOutSaysSoAndClosesTheFrameDownInOrder) {
  FixedClock clock(kDay, kNoon);
  ScopedClock use(clock);
  Security security;
  security.INACTIVITYPERIOD = 30000;  // five minutes
  *security.USERNO = 2;
  std::vector<std::string> log;
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);
  ui.Start([&] { RunSecuredFrame(security, log, &clock); });
  ui.Finish();
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].caption, "Inactivity Timeout!");
  EXPECT_EQ(ui.Messages()[0].text, "You have been inactive for too long!\n\nExiting Program...");
  EXPECT_EQ(log, std::vector<std::string>{"Exit Secured Frame"});
  EXPECT_GE(CLOCK(), kNoon + 30000) << "not before the period was over";
}

TEST(SecurityClassDeathTest, TheTimedOutProgramEndsWithExitCode0AndItsLogLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Security security;
        security.INACTIVITYPERIOD = 1;  // a hundredth: the first tick is too late
        *security.USERNO = 2;
        std::vector<std::string> log;
        RunProgram([&] { RunSecuredFrame(security, log, nullptr); });
        std::exit(log.size() == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "Exit Secured Frame");
}

}  // namespace
}  // namespace vx::test
