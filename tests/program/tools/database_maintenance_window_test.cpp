// The database maintenance window driven as a user would: it waits while another program holds
// the data folder, then checks, rebuilds and compacts every data file, lists the tables with
// their records, says what it found, and starts VX again.
#include "program/tools/database_maintenance_window.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program/tools/data_maintenance.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/support/damaged_files.h"

extern char** environ;

namespace vx {
namespace {

namespace fs = std::filesystem;

void Sql(const char* file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file, &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

std::string IntegrityOf(const char* file) {
  std::string result;
  sqlite3* db = nullptr;
  sqlite3_open(file, &db);
  sqlite3_exec(
      db, "PRAGMA integrity_check",
      [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) += values[0];
        return 0;
      },
      &result, nullptr);
  sqlite3_close(db);
  return result;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? ""
                                    : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

pid_t HoldOpen(const char* file) {
  const std::string script = std::string("exec 3<") + file + "; exec sleep 60";
  const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
  pid_t pid = 0;
  return posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0 ? pid
                                                                                            : 0;
}

class DatabaseMaintenanceWindowTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    // A task table whose key no longer matches its records (its definition changed under it).
    Sql("VX97.TPS",
        "CREATE TABLE s(id); CREATE INDEX s_key ON s(id); INSERT INTO s VALUES(1),(2),(3);"
        "CREATE TABLE hol(day); INSERT INTO hol VALUES('New Year');"
        "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql='CREATE INDEX s_key ON s(id "
        "DESC)' "
        "WHERE name='s_key';");
    Sql("MSGLINK.TPS", "CREATE TABLE UNNAMED(id); INSERT INTO UNNAMED VALUES(7),(8);");
    Write("PATHS.INI", "[DATA]\n");  // not a database: left alone
  }
  void TearDown() override {
    if (holder_ != 0) {
      kill(holder_, SIGKILL);
      waitpid(holder_, nullptr, 0);
    }
    TempFolderTest::TearDown();
  }

  DriverWindow Start() {
    ui_.Start([this] { sound_ = DatabaseMaintenance(launcher_, "/opt/vx/VX"); });
    return ui_.WaitWindow("Database Maintenance");
  }

  test::FakeProcessLauncher launcher_;
  pid_t holder_ = 0;
  bool sound_ = false;
  TestDriver ui_;
};

TEST_F(DatabaseMaintenanceWindowTest, WaitsForVxThenMendsCompactsCountsAndStartsVxAgain) {
  ASSERT_NE(IntegrityOf("VX97.TPS"), "ok");
  holder_ = HoldOpen("VX97.TPS");
  ASSERT_NE(holder_, 0);
  DriverWindow window = Start();
  DriverControl status = window.ControlNumber(2);
  DriverControl list = window.Control("&Tables:");
  ui_.WaitUntil(
      [&] {
        return status.Value().rfind("Waiting for sleep (process " + std::to_string(holder_), 0) ==
               0;
      },
      "it waits for the program holding the folder");
  EXPECT_EQ(list.Rows(), 0u);
  EXPECT_TRUE(window.Control("Start &VX").Disabled());

  kill(holder_, SIGKILL);
  waitpid(holder_, nullptr, 0);
  holder_ = 0;
  ui_.WaitUntil([&] { return !window.Control("Start &VX").Disabled(); }, "the maintenance done");
  ASSERT_EQ(list.Rows(), 3u);
  const std::vector<std::vector<std::string>> rows = {
      {"MSGLINK.TPS", "UNNAMED", "2"}, {"VX97.TPS", "hol", "1"}, {"VX97.TPS", "s", "3"}};
  for (long r = 1; r <= 3; ++r) {
    for (int c = 1; c <= 3; ++c)
      EXPECT_EQ(Trimmed(list.Cell(r, c)), rows[r - 1][c - 1]) << r << "," << c;
  }
  EXPECT_EQ(IntegrityOf("VX97.TPS"), "ok") << "the rebuilt key matches its records";
  EXPECT_EQ(status.Value().rfind("All 2 data files are sound: keys rebuilt, ", 0), 0u)
      << status.Value();
  EXPECT_NE(status.Value().find("Rebuilding the keys mended VX97.TPS: "), std::string::npos)
      << status.Value();

  window.Control("Start &VX").Press();
  ui_.WaitClosed(window);
  ui_.Finish();
  ASSERT_EQ(launcher_.requests.size(), 1u);
  EXPECT_EQ(launcher_.requests[0].argv, (std::vector<std::string>{"/opt/vx/VX"}));
  EXPECT_EQ(launcher_.requests[0].folder, root());
  EXPECT_TRUE(sound_);
}

TEST_F(DatabaseMaintenanceWindowTest, AFileBeyondMendingIsNamedAndLeftAsItIs) {
  // Cut to its first page: the tables it names are gone.
  Sql("BROKEN.TPS", "CREATE TABLE a(x); CREATE TABLE b(x); INSERT INTO b VALUES(zeroblob(20000));");
  fs::resize_file("BROKEN.TPS", 4096);
  const auto size = fs::file_size("BROKEN.TPS");
  DriverWindow window = Start();
  DriverControl status = window.ControlNumber(2);
  ui_.WaitUntil([&] { return status.Value().rfind("Problems were found", 0) == 0; }, "the outcome");
  EXPECT_NE(status.Value().find("BROKEN.TPS: "), std::string::npos) << status.Value();
  EXPECT_NE(status.Value().find("Restore a backup"), std::string::npos);
  EXPECT_EQ(fs::file_size("BROKEN.TPS"), size)
      << "not compacted: what it cannot read would be lost";
  EXPECT_EQ(IntegrityOf("VX97.TPS"), "ok") << "the other files are still done";
  window.Control("&Close").Press();
  ui_.Finish();
  EXPECT_FALSE(sound_);
  EXPECT_TRUE(launcher_.requests.empty());
}

// A key whose own pages are damaged, past what rebuilding the keys in place can read: it is made
// again from the records, which keep their record ids; the damaged file is kept among the
// backups first.
TEST_F(DatabaseMaintenanceWindowTest, AKeyWithDamagedPagesIsMadeAgainFromTheRecords) {
  Sql("KEYS.TPS",
      "CREATE TABLE s(Date INTEGER, Name TEXT); CREATE INDEX \"s!KeyDate\" ON s(Date, Name);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
      " INSERT INTO s(rowid, Date, Name) SELECT i * 3, 90000 - i, printf('task %05d', i) FROM n;");
  ASSERT_TRUE(test::DamageIndex("KEYS.TPS", "s!KeyDate"));
  ASSERT_NE(IntegrityOf("KEYS.TPS"), "ok");

  const MaintenanceReport report = MaintainDataFiles(root());
  EXPECT_TRUE(report.ok()) << MaintenanceSummary(report);
  EXPECT_NE(MaintenanceSummary(report).find("Rebuilding the keys mended KEYS.TPS: "),
            std::string::npos)
      << MaintenanceSummary(report);
  EXPECT_EQ(IntegrityOf("KEYS.TPS"), "ok");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("KEYS.TPS", &db), SQLITE_OK);
  sqlite3_stmt* q = nullptr;
  const char* through_key =
      "SELECT count(*), sum(rowid) FROM s INDEXED BY \"s!KeyDate\" WHERE Date > 0";
  ASSERT_EQ(sqlite3_prepare_v2(db, through_key, -1, &q, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(q), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(q, 0), 2000);
  EXPECT_EQ(sqlite3_column_int64(q, 1), 3LL * 2000 * 2001 / 2) << "every record keeps its id";
  sqlite3_finalize(q);
  sqlite3_close(db);
  bool kept = false;
  for (const auto& backup : fs::recursive_directory_iterator(root() / "Backup")) {
    kept = kept || backup.path().filename() == "KEYS.TPS";
  }
  EXPECT_TRUE(kept) << "the damaged file is kept among the backups";
}

}  // namespace
}  // namespace vx
