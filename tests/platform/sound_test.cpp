#include "platform/sound.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fakes/fake_process_launcher.h"
#include "support/temp_folder.h"

// After the test headers: Xlib's macros (None, Bool) clash with names in them.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace vx::platform {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using test::FakeProcessLauncher;

class SoundTest : public ::testing::Test {
 protected:
  SoundTest() {
    fs::create_directory(folder_ / "bin");
    fs::create_directory(folder_ / "empty");
    std::ofstream(wav_ = folder_ / "alarm.wav") << "RIFF";
  }

  // An executable stand-in for a player in the test's bin folder.
  fs::path Player(const char* name, const std::string& body = "exit 0") {
    const fs::path path = folder_ / "bin" / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
  }

  std::string Bin() const { return (folder_ / "bin").string(); }

  test::TempFolder temp_{"vx_sound"};
  const fs::path folder_ = temp_.path();
  fs::path wav_;
};

TEST_F(SoundTest, PicksPaplayThenAplayFromTheSearchPath) {
  FakeProcessLauncher launcher;
  SystemSoundPlayer player(launcher, (folder_ / "empty").string() + "::" + Bin());
  EXPECT_FALSE(player.Play(wav_));  // no player installed
  EXPECT_TRUE(launcher.requests.empty());

  const fs::path aplay = Player("aplay");
  EXPECT_TRUE(player.Play(wav_));
  const fs::path paplay = Player("paplay");
  EXPECT_TRUE(player.Play(wav_));
  ASSERT_EQ(launcher.requests.size(), 2u);
  EXPECT_EQ(launcher.requests[0].argv,
            (std::vector<std::string>{aplay.string(), "-q", wav_.string()}));
  EXPECT_EQ(launcher.requests[1].argv, (std::vector<std::string>{paplay.string(), wav_.string()}));
}

TEST_F(SoundTest, RefusesFilesItCannotRead) {
  FakeProcessLauncher launcher;
  Player("paplay");
  SystemSoundPlayer player(launcher, Bin());
  EXPECT_FALSE(player.Play(folder_ / "missing.wav"));
  EXPECT_FALSE(player.Play(folder_));
  EXPECT_FALSE(player.Play(""));
  EXPECT_TRUE(launcher.requests.empty());
}

TEST_F(SoundTest, ANewSoundOrStopEndsThePlayingOne) {
  FakeProcessLauncher launcher;
  launcher.SetOutcome(Player("paplay").string(), {0, 0, true});
  SystemSoundPlayer player(launcher, Bin());
  ASSERT_TRUE(player.Play(wav_));
  ASSERT_TRUE(player.Play(wav_));
  EXPECT_EQ(launcher.terminated, (std::vector<ProcessHandle>{1}));
  EXPECT_EQ(launcher.released, (std::vector<ProcessHandle>{1}));
  EXPECT_TRUE(launcher.IsRunning(2));
  player.Stop();
  player.Stop();  // nothing left to stop
  EXPECT_EQ(launcher.terminated, (std::vector<ProcessHandle>{1, 2}));
  EXPECT_EQ(launcher.released, (std::vector<ProcessHandle>{1, 2}));
}

TEST_F(SoundTest, PlaysThroughARealPlayerWithoutWaitingForIt) {
  // A player that notes its pid and arguments, then plays for half a minute.
  const fs::path notes = folder_ / "notes.txt";
  Player("paplay", "echo $$ \"$@\" > '" + notes.string() + "'; exec sleep 30");
  SystemSoundPlayer player(SystemProcesses(), Bin());
  const auto before = std::chrono::steady_clock::now();
  ASSERT_TRUE(player.Play(wav_));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);

  pid_t pid = 0;
  std::string argument;
  for (int i = 0; i < 500 && !(std::ifstream(notes) >> pid >> argument); ++i)
    std::this_thread::sleep_for(10ms);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(argument, wav_.string());
  player.Stop();
  // Stopped and reaped: gone from /proc.
  bool gone = false;
  for (int i = 0; i < 500 && !gone; ++i) {
    gone = !fs::exists("/proc/" + std::to_string(pid));
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_TRUE(gone);

  // Without any player the real start fails cleanly.
  SystemSoundPlayer silent(SystemProcesses(), (folder_ / "empty").string());
  EXPECT_FALSE(silent.Play(wav_));
}

TEST(RingBell, RingsTheXBell) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  int opcode = 0;
  int event_base = 0;
  int error_base = 0;
  int major = XkbMajorVersion;
  int minor = XkbMinorVersion;
  if (!XkbQueryExtension(display, &opcode, &event_base, &error_base, &major, &minor)) {
    XCloseDisplay(display);
    GTEST_SKIP() << "no XKB";
  }
  XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
  XSync(display, False);

  RingBell();

  bool rang = false;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!rang && std::chrono::steady_clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == event_base) {
        rang = rang || reinterpret_cast<XkbAnyEvent*>(&event)->xkb_type == XkbBellNotify;
      }
    }
    pollfd watched{ConnectionNumber(display), POLLIN, 0};
    if (!rang) poll(&watched, 1, 50);
  }
  XCloseDisplay(display);
  EXPECT_TRUE(rang);
}

}  // namespace
}  // namespace vx::platform
