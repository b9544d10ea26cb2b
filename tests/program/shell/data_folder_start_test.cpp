// Starting on a data folder the user named (Data= on the command line, VX_DATA_FOLDER): no folder
// question, the folder made when missing, its first start told once and only after the tick
// runs; and one program per folder: a second start on a folder in use calls the first forward and
// ends without opening anything in the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "platform/folder_lock.h"
#include "program/admin/program_arguments.h"
#include "program/common/program_registry.h"
#include "program/shell/data_folder_lock.h"
#include "program/shell/named_data_folder.h"
#include "program/shell/program_body.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/program/shell_fixture.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFrame = "Varnodex 2000";

class DataFolderStartTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    start_ = fs::current_path();
    if (const char* v = std::getenv("VX_DATA_FOLDER")) old_variable_ = v;
    unsetenv("VX_DATA_FOLDER");
  }
  void TearDown() override {
    if (ui_.Running()) Exit(ui_.WaitWindow(kFrame));
    SetProgramArguments({});
    if (old_variable_) {
      setenv("VX_DATA_FOLDER", old_variable_->c_str(), 1);
    } else {
      unsetenv("VX_DATA_FOLDER");
    }
    ShellTest::TearDown();
  }

  void Exit(DriverWindow frame) {
    RunWithRuntimeLock([] { MINIMIZEONCLOSEREQUEST = 0; });
    frame.Pick({"&File", "E&xit"});
    ui_.Finish();
  }
  // The message boxes shown so far, as "caption: text" lines.
  std::string Boxes() const {
    std::string out;
    for (const SeenRequest& box : ui_.Messages()) out += box.caption + ": " + box.text + "\n";
    return out;
  }

  fs::path start_;
  std::optional<std::string> old_variable_;
  TestDriver ui_;
};

// Each way of naming the folder, PATHS.INI and a database in the current folder notwithstanding.
TEST_F(DataFolderStartTest, TheNamedFolderIsMadeAndEnteredWithoutAQuestion) {
  struct Case {
    std::vector<std::string> words;
    const char* variable;
    fs::path expected;
  };
  const Case cases[] = {
      {{"Data=" + (start_ / "cmd").string()}, nullptr, start_ / "cmd"},
      {{"User=ann", "Data=rel/vx/"}, nullptr, start_ / "rel" / "vx"},
      {{}, "env/data", start_ / "env" / "data"},
      {{"Data=" + (start_ / "cmd").string()}, "env/data", start_ / "cmd"},
  };
  std::ofstream("PATHS.INI") << "[PATH]\nDATA=" << start_.string() << "\n";
  std::ofstream("VX97.TPS").close();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected.string());
    fs::current_path(start_);
    SetProgramArguments(c.words);
    if (c.variable) {
      setenv("VX_DATA_FOLDER", c.variable, 1);
    } else {
      unsetenv("VX_DATA_FOLDER");
    }
    bool goes_on = false;
    TestDriver driver;
    driver.Start([&goes_on] { goes_on = FindDataFolder(); });
    driver.Finish();
    EXPECT_TRUE(goes_on);
    EXPECT_TRUE(driver.Requests().empty()) << "no question, no box";
    EXPECT_EQ(fs::current_path(), c.expected);
    EXPECT_TRUE(reporter_.shown.empty());
  }
  // Made for the user alone, each folder that was missing.
  for (const fs::path& made : {start_ / "rel", start_ / "rel" / "vx", start_ / "env"}) {
    struct stat st {};
    ASSERT_EQ(::stat(made.c_str(), &st), 0) << made;
    EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
  }
}

// The first start in a new folder says where the data lives, in a box that comes once the tick
// runs and does not stop it; the next start there says nothing.
TEST_F(DataFolderStartTest, TheFirstStartInANewFolderSaysOnceWhereTheDataLives) {
  const fs::path data = start_ / "new" / "varnodex";
  SetProgramArguments({"Data=" + data.string()});
  ui_.Start(ProgramBody);
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_TRUE(ui_.Requests().empty()) << "nothing asked before the tick:\n" << Boxes();
  EXPECT_EQ(fs::current_path(), data);

  // The program's own one-second tick.
  ui_.WaitUntil([&] { return !ui_.Messages().empty(); }, "the box saying where the data lives");
  const SeenRequest notice = ui_.Messages().front();
  EXPECT_EQ(notice.caption, "Data Folder");
  EXPECT_NE(notice.text.find("keeps its tasks and settings in the folder\n" + data.string()),
            std::string::npos)
      << notice.text;
  EXPECT_NE(notice.text.find("Data=FOLDER"), std::string::npos) << notice.text;
  // The box is still open, unanswered: the tick goes on (it shows the clock it reads).
  const std::int32_t later = MakeTime(15, 30, 0);
  RunWithRuntimeLock([&] { clock_.Set(clock_.Today(), later); });
  ui_.WaitUntil([&] { return frame.Status(4) == FORMAT(later, "@T7"); },
                "the tick runs on while the box is open");
  EXPECT_EQ(ui_.Messages().size(), 1u) << Boxes();
  EXPECT_TRUE(fs::exists(data / "VX97.TPS"));
  ui_.WaitMessage(BUTTON_OK);
  Exit(frame);

  ui_.Start(ProgramBody);
  DriverWindow again = ui_.WaitWindow(kFrame);
  const std::int32_t next = MakeTime(15, 31, 0);
  RunWithRuntimeLock([&] { clock_.Set(clock_.Today(), next); });
  ui_.WaitUntil([&] { return again.Status(4) == FORMAT(next, "@T7"); }, "a tick of the next start");
  Exit(again);
  EXPECT_EQ(ui_.Messages().size(), 1u) << "said once:\n" << Boxes();
}

TEST_F(DataFolderStartTest, ANamedFolderThatCannotBeMadeIsNamedAndTheProgramEnds) {
  std::ofstream("taken").close();
  setenv("VX_DATA_FOLDER", (start_ / "taken" / "vx").c_str(), 1);
  ui_.Start(ProgramBody);
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  ui_.Finish();
  EXPECT_EQ(box.caption, "Data Folder Not Usable");
  EXPECT_NE(box.text.find((start_ / "taken" / "vx").string() + ", named by VX_DATA_FOLDER"),
            std::string::npos)
      << box.text;
  ASSERT_EQ(halts_.size(), 1u);
  EXPECT_EQ(ui_.OpenTitles(), std::vector<std::string>{});
  EXPECT_FALSE(fs::exists(start_ / "VX97.TPS")) << "no database made elsewhere";
}

// A second start on a folder that another program of this user holds asks it to come forward,
// says so on stderr and ends, with nothing made or opened in the folder.
TEST_F(DataFolderStartTest, ASecondStartOnAFolderInUseCallsTheFirstForwardAndTouchesNothing) {
  const fs::path data = start_ / "data";
  fs::create_directory(data);
  std::atomic<int> asked{0};
  platform::FolderLock first(data, [&asked] { ++asked; });
  ASSERT_TRUE(first.held());
  SetProgramArguments({"Data=" + data.string()});

  testing::internal::CaptureStderr();
  ui_.Start(ProgramBody);
  ui_.Finish();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(SecondStartLine(data.string(), getpid())), std::string::npos) << said;
  EXPECT_EQ(asked.load(), 1);
  EXPECT_TRUE(ui_.Requests().empty()) << Boxes();
  EXPECT_TRUE(fs::is_empty(data)) << "nothing made in the folder";
}

// The program holding its folder brings its frame forward, from the tray or iconised, when a
// second start asks; the lock goes when the program ends.
TEST_F(DataFolderStartTest, TheHoldingProgramBringsItsFrameForwardWhenASecondStartAsks) {
  const fs::path data = start_ / "data";
  SetProgramArguments({"Data=" + data.string()});
  ui_.Start(ProgramBody);
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_FALSE(platform::FolderLock(data, nullptr).held()) << "the program holds its folder";

  frame.Iconize();
  ui_.WaitUntil([&] { return frame.Get(Prop::Hide) == "1" || frame.Get(Prop::Iconize) == "1"; },
                "the frame went to the tray");
  const int before = frame.TimesBroughtToFront();
  EXPECT_EQ(platform::AskFolderHolderToComeForward(data, std::chrono::seconds(3)), getpid());
  ui_.WaitUntil([&] { return frame.TimesBroughtToFront() > before; }, "the frame comes forward");
  EXPECT_NE(frame.Get(Prop::Hide), "1");
  EXPECT_NE(frame.Get(Prop::Iconize), "1");
  Exit(frame);

  EXPECT_TRUE(platform::FolderLock(data, nullptr).held()) << "the lock went with the program";
}

}  // namespace
}  // namespace vx
