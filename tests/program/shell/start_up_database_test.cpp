// The look at the data folder's database before any table is opened: a database that cannot be
// used is said in one box that names the file and what to do, the program ends, and nothing is
// written to the file; an empty file is said to become a new database.
#include "program/shell/start_up_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datadll/dictionary/configuration_table.h"
#include "program/common/task_road_services.h"
#include "program/shell_fixture.h"
#include "runtime/storage/data_file_check.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

class StartUpDatabaseTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    services_ = CurrentTaskRoadServices();
    services_.processes = &launcher_;
    services_.helper_folder = "/opt/vx/bin";
    scoped_ = std::make_unique<ScopedTaskRoadServices>(services_);
  }
  void TearDown() override {
    scoped_.reset();
    ShellTest::TearDown();
  }

  // A database of ours holding some settings, closed.
  void StoreASetting() {
    storage::File& file = storage::File::For(CONFIGURATION_TABLE());
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    for (int i = 0; i < 200; ++i) {
      CF.DataType = "Key " + std::to_string(i);
      CF.DataValue = std::string(200, 'v');
      ASSERT_EQ(file.Add(), 0);
    }
    ASSERT_EQ(file.Close(), 0);
  }

  static std::string DataFile() { return (fs::current_path() / "VX97.TPS").string(); }

  test::FakeProcessLauncher launcher_;
  TaskRoadServices services_;
  std::unique_ptr<ScopedTaskRoadServices> scoped_;
};

TEST_F(StartUpDatabaseTest, AnUnusableDatabaseIsSaidOnceWithWhatToDoAndTheProgramEnds) {
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* caption;
    std::vector<std::string> says;  // what the box's text names besides the file
  };
  const std::string backups = (fs::current_path() / "Backup").string();
  const std::vector<Case> cases = {
      {"garbage",
       [] { std::ofstream("VX97.TPS", std::ios::binary) << std::string(20000, '\x7f'); },
       "Database Unreadable",
       {"it is not a database", "/opt/vx/bin/vx-backup", backups}},
      {"a folder",
       [] { fs::create_directory("VX97.TPS"); },
       "Database Unreadable",
       {"a folder", "vx-backup"}},
      {"a file cut off",
       [this] {
         StoreASetting();
         fs::resize_file("VX97.TPS", fs::file_size("VX97.TPS") / 2 + 10);
       },
       "Database Damaged",
       {"cut off", "/opt/vx/bin/vx-dbase", "rebuilds its keys", "/opt/vx/bin/vx-backup", backups,
        "Start the maintenance program now?"}},
      {"a damaged header",
       [this] {
         StoreASetting();
         test::Scribble("VX97.TPS", 16, std::string("\x00\x07", 2));
       },
       "Database Damaged",
       {"its header is damaged", "vx-dbase", "vx-backup"}},
      {"another program's database",
       [] {
         test::RunSql("VX97.TPS", "CREATE TABLE notes(x); INSERT INTO notes VALUES('theirs')");
       },
       "Not a Varnodex Database",
       {"another program's database", "Move it away"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("VX97.TPS");
    reporter_.shown.clear();
    halts_.clear();
    c.make();
    const std::string before = fs::is_regular_file("VX97.TPS") ? test::FileBytes("VX97.TPS") : "";

    EXPECT_FALSE(CheckDatabaseAtStart());
    ASSERT_EQ(reporter_.shown.size(), 1u);
    const MessageBoxRequest& box = reporter_.shown[0];
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_NE(box.text.find(DataFile()), std::string::npos) << box.text;
    for (const std::string& said : c.says)
      EXPECT_NE(box.text.find(said), std::string::npos) << said << "\n" << box.text;
    ASSERT_EQ(halts_.size(), 1u);
    EXPECT_EQ(halts_[0].rfind("Cannot use the database " + DataFile() + ": ", 0), 0u) << halts_[0];
    EXPECT_TRUE(launcher_.requests.empty()) << "nothing is started unless asked";
    if (fs::is_regular_file("VX97.TPS")) {
      EXPECT_EQ(test::FileBytes("VX97.TPS"), before);
    }
    EXPECT_FALSE(fs::exists("VX97.TPS-wal"));
  }
}

// A damaged database offers the maintenance program; Yes starts it before the program ends.
TEST_F(StartUpDatabaseTest, YesToTheDamagedDatabaseStartsTheMaintenanceProgram) {
  StoreASetting();
  fs::resize_file("VX97.TPS", fs::file_size("VX97.TPS") - 1000);
  reporter_.answers = {BUTTON_YES};
  EXPECT_FALSE(CheckDatabaseAtStart());
  ASSERT_EQ(launcher_.requests.size(), 1u);
  EXPECT_EQ(launcher_.requests[0].argv, std::vector<std::string>{"/opt/vx/bin/vx-dbase"});
  EXPECT_EQ(halts_.size(), 1u);
}

TEST_F(StartUpDatabaseTest, AnEmptyFileIsSaidToBecomeANewDatabaseAndOursGoOnQuietly) {
  std::ofstream("VX97.TPS").close();
  EXPECT_TRUE(CheckDatabaseAtStart());
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "New Database");
  EXPECT_NE(reporter_.shown[0].text.find(DataFile() + " is empty (0 bytes)"), std::string::npos)
      << reporter_.shown[0].text;
  EXPECT_NE(reporter_.shown[0].text.find("vx-backup"), std::string::npos)
      << reporter_.shown[0].text;
  EXPECT_TRUE(halts_.empty());

  reporter_.shown.clear();
  fs::remove("VX97.TPS");
  EXPECT_TRUE(CheckDatabaseAtStart());  // none yet: the folder question has said so
  StoreASetting();
  EXPECT_TRUE(CheckDatabaseAtStart());
  EXPECT_TRUE(reporter_.shown.empty());
  EXPECT_TRUE(halts_.empty());
}

}  // namespace
}  // namespace vx
