// Each open error gets its own reaction, and a file that exists keeps every record it holds.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "program/common/config_store.h"
#include "program/common/open_file_checked.h"
#include "program/due_tasks/advance_warnings.h"
#include "program/shell_fixture.h"
#include "program/sqlite_access.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/window/dialogs.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using test::ShellTest;
using test::SqliteDb;

class OpenFileCheckedTest : public ShellTest {
 protected:
  storage::File& Config() { return storage::File::For(CONFIGURATION_TABLE()); }

  // A settings store with two records, closed again.
  void StoreTwoSettings() {
    storage::File& f = Config();
    ASSERT_EQ(f.Create(), 0);
    ASSERT_EQ(f.Open(), 0);
    for (const char* key : {"Alpha", "Beta"}) {
      CF.DataType = key;
      CF.DataValue = std::string(key) + " value";
      ASSERT_EQ(f.Add(), 0);
    }
    ASSERT_EQ(f.Close(), 0);
  }

  int Open(bool create_allowed = true, bool do_not_create = false) {
    return OpenFileChecked(Config(), create_allowed, do_not_create, storage::kReadWriteDenyNone,
                           false);
  }

  // The data file as the warnings name it: where the user finds it on disk.
  static std::string DataFile() { return (std::filesystem::current_path() / "VX97.TPS").string(); }
  // SQL that marks the file as one of ours before the tables it makes.
  static std::string Ours(const std::string& sql) {
    return "PRAGMA application_id=" + std::to_string(storage::kDataFileApplicationId) + ";" + sql;
  }
};

TEST_F(OpenFileCheckedTest, AMissingFileIsCreatedWhenAllowed) {
  EXPECT_EQ(Open(), 0);
  EXPECT_TRUE(Config().IsOpen());
  EXPECT_TRUE(reporter_.shown.empty());
  EXPECT_TRUE(halts_.empty());
  EXPECT_EQ(Config().Records(), 0);
}

TEST_F(OpenFileCheckedTest, AMissingTableIsAddedBesideTheOthersOfItsFile) {
  {
    SqliteDb db("VX97.TPS");
    db.Exec(Ours("CREATE TABLE Other(x TEXT); INSERT INTO Other VALUES('kept');"));
  }
  EXPECT_EQ(Open(), 0);
  EXPECT_TRUE(halts_.empty());
  SqliteDb db("VX97.TPS");
  EXPECT_EQ(db.Text("SELECT x FROM Other"), "kept");
}

// Another program's database in the place of ours: none of our tables is added to it, nothing
// in it changes, and the program ends saying which file it could not use.
TEST_F(OpenFileCheckedTest, AnotherProgramsDatabaseIsNeitherChangedNorUsed) {
  {
    SqliteDb db("VX97.TPS");
    db.Exec(
        "CREATE TABLE Other(x TEXT); CREATE INDEX other_x ON Other(x); INSERT INTO Other "
        "VALUES('kept');");
  }
  const std::string before = test::FileBytes("VX97.TPS");
  EXPECT_EQ(Open(), storage::kDriverError);
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].text, "File (" + DataFile() + ") could not be opened.  Error: " +
                                         storage::kForeignDatabaseText + " (" +
                                         std::to_string(storage::kForeignDatabase) + ").");
  EXPECT_EQ(halts_, std::vector<std::string>{"Disk Error"});
  EXPECT_EQ(test::FileBytes("VX97.TPS"), before);
  EXPECT_FALSE(Exists("VX97.TPS-wal"));
}

TEST_F(OpenFileCheckedTest, AMissingFileWithoutCreateEndsTheProgram) {
  EXPECT_EQ(Open(false), storage::kFileNotFound);
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "File Creation Error");
  EXPECT_EQ(reporter_.shown[0].text, "Error: (File Not Found (2)) creating " + DataFile() +
                                         ".  Press OK to end this application.");
  EXPECT_EQ(halts_, std::vector<std::string>{"File Creation Error!"});
  EXPECT_FALSE(Exists("VX97.TPS"));
}

TEST_F(OpenFileCheckedTest, DoNotCreateSkipsTheCreationAndEndsWithDiskError) {
  EXPECT_EQ(Open(true, true), storage::kFileNotFound);
  EXPECT_EQ(Captions(), std::vector<std::string>{"File Access Error"});
  EXPECT_EQ(halts_, std::vector<std::string>{"Disk Error"});
  EXPECT_FALSE(Exists("VX97.TPS"));
}

TEST_F(OpenFileCheckedTest, DamagedKeysAreRebuiltWhenTheUserAgrees) {
  StoreTwoSettings();
  SqliteDb("VX97.TPS").Exec("DROP INDEX \"CF!KeyDataType\"");

  reporter_.answers = {BUTTON_YES};
  EXPECT_EQ(Open(), 0);
  ASSERT_EQ(reporter_.shown.size(), 1u);
  const MessageBoxRequest& box = reporter_.shown[0];
  EXPECT_EQ(box.caption, "Invalid Key");
  EXPECT_EQ(box.text, DataFile() + " key file is invalid.  Do you want to rebuild the key?");
  EXPECT_EQ(box.buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_EQ(box.default_button, BUTTON_YES);
  EXPECT_TRUE(halts_.empty());

  CF.DataType = "Beta";
  ASSERT_EQ(Config().Get(CF_KEYDATATYPE), 0);
  EXPECT_EQ(CF.DataValue, "Beta value");
  EXPECT_EQ(Config().Records(), 2);
}

TEST_F(OpenFileCheckedTest, RefusingTheKeyRebuildEndsTheProgramAndLeavesTheFile) {
  StoreTwoSettings();
  SqliteDb("VX97.TPS").Exec("DROP INDEX \"CF!KeyDataType\"");

  reporter_.answers = {BUTTON_NO};
  Open();
  EXPECT_EQ(halts_, std::vector<std::string>{"Invalid Key!"});
  EXPECT_FALSE(Config().IsOpen());
  EXPECT_EQ(SqliteDb("VX97.TPS").Text("SELECT count(*) FROM CF"), "2");
}

TEST_F(OpenFileCheckedTest, AKeyThatCannotBeRebuiltEndsTheProgramAndKeepsTheRecords) {
  StoreTwoSettings();
  {
    SqliteDb db("VX97.TPS");
    db.Exec("DROP INDEX \"CF!KeyDataType\"; UPDATE CF SET DataType = 'Alpha'");
  }
  reporter_.answers = {BUTTON_YES};
  Open();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Invalid Key", "Key Rebuild Error"}));
  EXPECT_EQ(halts_, std::vector<std::string>{"Error Rebuilding Key!"});
  EXPECT_EQ(SqliteDb("VX97.TPS").Text("SELECT count(*) FROM CF"), "2");
}

TEST_F(OpenFileCheckedTest, ADifferentStructureStopsWithTheUpgradeNoticeAndTouchesNothing) {
  {
    SqliteDb db("VX97.TPS");
    db.Exec(
        Ours("CREATE TABLE CF(DataType TEXT, DataValue TEXT, Extra INTEGER);"
             "INSERT INTO CF VALUES('Alpha', 'kept', 7);"));
  }
  Open();
  ASSERT_EQ(Captions(), (std::vector<std::string>{"Upgrade Error", "Assistant"}));
  EXPECT_EQ(reporter_.shown[0].text,
            "The databases must be upgraded before using this version or the version you are "
            "installing is "
            "not the latest.  Re-install this application, or contact Kestrova.");
  EXPECT_EQ(reporter_.shown[1].text,
            "The error has been placed in the clipboard.  Press CTRL-V in your email message to "
            "paste it.");
  EXPECT_EQ(CLIPBOARD(), "\r\nError:  Invalid Record Declaration\r\nPath:  " +
                             std::filesystem::current_path().string() + "\r\n");
  EXPECT_EQ(halts_, std::vector<std::string>{"Cannot proceed."});
  EXPECT_FALSE(Config().IsOpen());
  EXPECT_EQ(SqliteDb("VX97.TPS").Text("SELECT DataValue || Extra FROM CF WHERE DataType = 'Alpha'"),
            "kept7");
}

TEST_F(OpenFileCheckedTest, TablesTheProgramOpensByItselfStopTheSameWayOnAnotherStructure) {
  // The scheduler's own opens and a quiet open of the settings store: none may go on without
  // its table, which would leave a scheduler that looks active and never runs a task.
  struct Case {
    const storage::TableDef& table;
    const char* drop;  // a column the stored table lacks
    std::function<void()> open;
  };
  const Case cases[] = {
      {SCHEDULE_TABLE(), "ALTER TABLE s DROP COLUMN Path", [] { CheckAdvanceWarnings(); }},
      {CONFIGURATION_TABLE(), "ALTER TABLE CF DROP COLUMN DataValue",
       [] { GetConfigValue("Alpha"); }},
  };
  for (const Case& c : cases) {
    reporter_.shown.clear();
    halts_.clear();
    storage::File& file = storage::File::For(c.table);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    ASSERT_EQ(file.Add(), 0);
    ASSERT_EQ(file.Close(), 0);
    const std::string sql = std::string(c.drop);
    const std::string name = sql.substr(12, sql.find(' ', 12) - 12);
    SqliteDb("VX97.TPS").Exec(c.drop);

    c.open();
    // The test's halt returns where the real one ends the program: only the first two count.
    std::vector<std::string> captions = Captions();
    captions.resize(std::min<std::size_t>(captions.size(), 2));
    EXPECT_EQ(captions, (std::vector<std::string>{"Upgrade Error", "Assistant"})) << name;
    EXPECT_EQ(halts_, std::vector<std::string>{"Cannot proceed."}) << name;
    EXPECT_EQ(CLIPBOARD().rfind("\r\nError:  Invalid Record Declaration\r\nPath:  ", 0), 0u)
        << name;
    EXPECT_EQ(SqliteDb("VX97.TPS").Text("SELECT count(*) FROM " + name), "1")
        << name;  // nothing lost
  }
}

TEST_F(OpenFileCheckedTest, AFileThatIsNoDatabaseEndsWithDiskErrorAndIsKept) {
  Write("VX97.TPS", "not a database, and it stays that way");
  Open();
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "File Access Error");
  EXPECT_EQ(reporter_.shown[0].text,
            "File (" + DataFile() + ") could not be opened.  Error: file is not a database (26).");
  EXPECT_EQ(halts_, std::vector<std::string>{"Disk Error"});
  EXPECT_EQ(Read("VX97.TPS"), "not a database, and it stays that way");
}

// Another program holds the file locked: the open waits the recovery time once more.
class LockedFileTest : public OpenFileCheckedTest {
 protected:
  void SetUp() override {
    OpenFileCheckedTest::SetUp();
    StoreTwoSettings();
    Config().SetLockWaitSeconds(0);  // the first attempt fails at once
    lock_ = std::make_unique<SqliteDb>("VX97.TPS");
    lock_->Exec(
        "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE CF SET DataValue = DataValue;");
  }
  void TearDown() override {
    lock_.reset();
    OpenFileCheckedTest::TearDown();
  }
  std::unique_ptr<SqliteDb> lock_;
};

TEST_F(LockedFileTest, ALockReleasedDuringTheRecoveryOpensTheFile) {
  std::thread release([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    lock_.reset();
  });
  const int code = Open();
  release.join();
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(reporter_.shown.empty());
  EXPECT_TRUE(halts_.empty());
  EXPECT_EQ(Config().Records(), 2);
}

TEST_F(LockedFileTest, AFileThatStaysLockedEndsTheProgramAfterFileAccessError) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Open(), storage::kIsLocked);
  // One more wait of the 3-second recovery time, not the default ten.
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(2500));
  EXPECT_LT(waited, std::chrono::milliseconds(8000));
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].text,
            "File (" + DataFile() + ") could not be opened.  Error: File Is Already Locked (32).");
  EXPECT_EQ(halts_, std::vector<std::string>{"Disk Error"});
}

}  // namespace
}  // namespace vx
