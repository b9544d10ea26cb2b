// The built VX program on an X server of its own that dies under it (a crashed server, a remote
// display that went away): the program ends as it does at the end of the session, with a
// question open, its exit logged and every table closed, and no crash.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "frontend/qt/run_with_qt.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "runtime/storage/file.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_server.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFrame = "Varnodex 2000";
constexpr const char* kMessage = "Water the ferns 7731";

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class DisplayLossTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    if (server_.name().empty()) GTEST_SKIP() << "Xvfb could not be started";
    test::AddDueMessageTask(kMessage, "Only the big ones.", false);
    VX_Files_Load();
    SetConfigValue("LogEvents", "1");
    SetConfigValue("MinimizeOnCloseRequest", "1");  // File, Exit asks first
    // This process lets go of the database too, so that what is left beside it is VX's.
    for (const storage::TableDef* table : DictionaryTables()) {
      storage::File& file = storage::File::For(*table);
      while (file.IsOpen()) file.Close();
    }
    VX_Files_Unload();
    ASSERT_FALSE(std::filesystem::exists("VX97.TPS-wal"));
    display_ = XOpenDisplay(server_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (pid_ != 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    test::TempFolderTest::TearDown();
  }

  bool Shown(const char* title) {
    return test::FindWindowTitled(display_, DefaultRootWindow(display_), title, true) != 0;
  }

  test::XServer server_;  // killed under the program
  std::filesystem::path program_;
  Display* display_ = nullptr;
  pid_t pid_ = 0;
};

TEST_F(DisplayLossTest, TheServerDyingClosesTheProgramAsTheEndOfTheSessionDoes) {
  pid_ = test::StartWithoutSessionBus(program_.string(), {}, {"DISPLAY=" + server_.name()});
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return Shown(kFrame) && Shown(kMessage); }, 30s))
      << "the frame and the task's message window appear";
  // File, Exit: the question whether to close stays open while the server dies.
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        test::FocusWindowTitled(display_, kFrame);
        platform::FakeKeyChord(platform::kHotKeyAlt, 'F', server_.name());
        platform::FakeKeyChord(0, 'X', server_.name());
        return test::WaitUntil([&] { return Shown("Warning"); }, 2s);
      },
      20s))
      << "File, Exit asks whether to close";

  XCloseDisplay(display_);
  display_ = nullptr;
  server_.Crash();

  int status = 0;
  ASSERT_TRUE(test::WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 60s))
      << "VX ends once its display is gone";
  pid_ = 0;
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal "
                                 << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), qt::kExitDisplayLost);

  const std::string log = FileText("VX98Evnt.LOG");
  EXPECT_NE(log.find("Started"), std::string::npos) << log;
  EXPECT_NE(log.find("Exit Varnodex"), std::string::npos) << "the exit is logged:\n" << log;
  // The last connection to a database removes its write-ahead log as it closes.
  EXPECT_FALSE(std::filesystem::exists("VX97.TPS-wal")) << "every table was closed";
}

}  // namespace
}  // namespace vx
