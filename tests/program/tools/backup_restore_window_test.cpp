// The backup program's window driven as a user would: it backs up the named database when it
// opens and says where, lists the backups, refuses to restore while another program holds the
// data folder, and restores a chosen backup after backing up the files it replaces.
#include "program/tools/backup_restore_window.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program/tools/data_backup.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"

extern char** environ;

namespace vx {
namespace {

namespace fs = std::filesystem;

// Runs `sql` on the data folder's database, marked as this program's own.
void Sql(const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("VX97.TPS", &db), SQLITE_OK);
  const std::string marked = "PRAGMA application_id = 1448622391; " + sql;  // "VX97"
  ASSERT_EQ(sqlite3_exec(db, marked.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

std::vector<std::string> Notes(const fs::path& database) {
  std::vector<std::string> notes;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_exec(
        db, "SELECT text FROM notes ORDER BY rowid",
        [](void* out, int, char** values, char**) {
          static_cast<std::vector<std::string>*>(out)->emplace_back(values[0]);
          return 0;
        },
        &notes, nullptr);
  }
  sqlite3_close(db);
  return notes;
}

// Another program holding the database open, as a running VX does.
pid_t HoldOpen(const char* file) {
  const std::string script = std::string("exec 3<") + file + "; exec sleep 60";
  const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
  pid_t pid = 0;
  return posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0 ? pid
                                                                                            : 0;
}

fs::perms Mode(const fs::path& path) { return fs::status(path).permissions(); }

class BackupRestoreWindowTest : public test::TempFolderTest {
 protected:
  void TearDown() override {
    if (holder_ != 0) {
      kill(holder_, SIGKILL);
      waitpid(holder_, nullptr, 0);
    }
    test::TempFolderTest::TearDown();
  }
  pid_t holder_ = 0;
  TestDriver ui_;
};

TEST_F(BackupRestoreWindowTest, BacksUpSaysWhereAndRestoresAChosenBackupOnlyOnceTheFolderIsFree) {
  Sql("CREATE TABLE notes(text); INSERT INTO notes VALUES('first');");
  bool whole = false;
  ui_.Start([&] { whole = BackupRestore({"vx97.tps"}); });  // the name in any letter case
  DriverWindow window = ui_.WaitWindow("Backup/Restore");
  DriverControl list = window.Control("&Earlier backups:");
  ui_.WaitUntil([&] { return list.Rows() == 1; }, "the new backup listed");
  const std::vector<EarlierBackup> made = EarlierBackups(root());
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(window.ControlNumber(1).Value(),
            "VX97.TPS backed up to " + made[0].folder.string() + ".");
  EXPECT_EQ(list.Cell(1, 1), made[0].name);
  EXPECT_EQ(list.Cell(1, 2), "VX97.TPS");
  EXPECT_EQ(Mode(root() / "Backup"), fs::perms::owner_all);
  EXPECT_EQ(Mode(made[0].folder), fs::perms::owner_all);
  EXPECT_EQ(Mode(made[0].folder / "VX97.TPS"), fs::perms::owner_read | fs::perms::owner_write);

  Sql("INSERT INTO notes VALUES('second');");
  // The question says VX must be closed; a program still holding the folder stops the restore.
  holder_ = HoldOpen("VX97.TPS");
  ASSERT_NE(holder_, 0);
  ui_.WaitUntil([&] { return !FolderUsers(root()).empty(); }, "the holder has the file open");
  ui_.AnswerMessage(BUTTON_YES);
  window.Control("&Restore").Press();
  const SeenRequest refused = ui_.WaitMessage(BUTTON_OK);
  EXPECT_NE(refused.text.find("VX must be closed before a backup is restored: sleep (process " +
                              std::to_string(holder_) + ") has the data folder open"),
            std::string::npos)
      << refused.text;
  EXPECT_NE(ui_.Messages().front().text.find("VX must be closed"), std::string::npos);
  EXPECT_EQ(Notes("VX97.TPS"), (std::vector<std::string>{"first", "second"}));

  kill(holder_, SIGKILL);
  waitpid(holder_, nullptr, 0);
  holder_ = 0;
  // No: nothing happens.
  ui_.AnswerMessage(BUTTON_NO);
  window.Control("&Restore").Press();
  EXPECT_EQ(Notes("VX97.TPS"), (std::vector<std::string>{"first", "second"}));

  // A record of an unfinished transaction over the replaced file goes with it too.
  Write("VX97.TPS-intent", "left by a crash");
  ui_.AnswerMessage(BUTTON_YES);
  window.Control("&Restore").Press();
  const SeenRequest done = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(Notes("VX97.TPS"), (std::vector<std::string>{"first"}));
  EXPECT_FALSE(fs::exists(root() / "VX97.TPS-intent"));
  EXPECT_EQ(Mode("VX97.TPS"), fs::perms::owner_read | fs::perms::owner_write);
  // The data in use before is kept in a backup of its own, now listed first.
  ui_.WaitUntil([&] { return list.Rows() == 2; }, "the safety backup listed");
  const std::vector<EarlierBackup> after = EarlierBackups(root());
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(done.text, "The backup " + made[0].name +
                           " was restored.  The files it replaced were backed up to " +
                           after[0].folder.string() + ".");
  EXPECT_EQ(Notes(after[0].folder / "VX97.TPS"), (std::vector<std::string>{"first", "second"}));

  window.Control("&Close").Press();
  ui_.Finish();
  EXPECT_TRUE(whole);
}

// A backup whose database is not a whole one of ours is refused before anything changes: the
// box names the file and why, the data in use stays, and no safety backup is made for nothing.
TEST_F(BackupRestoreWindowTest, ABackupWhoseDatabaseCannotBeReadIsRefusedAndTheDataStays) {
  Sql("CREATE TABLE notes(text); INSERT INTO notes VALUES('in use');");
  const std::string good = Read("VX97.TPS");
  struct Case {
    const char* folder;
    std::string bytes;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"2026-01-01", std::string(5000, '\x5a'), "it is not a database"},
      {"2026-01-02", "", "it is empty"},
      {"2026-01-03", good.substr(0, 50), "it has been cut off"},
      {"2026-01-04", good.substr(0, good.size() / 2), "it has been cut off ("},
  };
  for (const Case& c : cases) {
    fs::create_directories(root() / "Backup" / c.folder);
    Write(root() / "Backup" / c.folder / "VX97.TPS", c.bytes);
  }
  // Another program's database, whole and readable, is no backup of ours either.
  fs::create_directories(root() / "Backup" / "2026-01-05");
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((root() / "Backup" / "2026-01-05" / "VX97.TPS").c_str(), &db),
              SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE photos(name)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  for (const EarlierBackup& backup : EarlierBackups(root())) {
    SCOPED_TRACE(backup.name);
    const RestoreOutcome outcome = RestoreBackup(root(), backup);
    EXPECT_FALSE(outcome.ok());
    EXPECT_NE(
        outcome.error.find((backup.folder / "VX97.TPS").string() + " cannot be restored, since "),
        std::string::npos)
        << outcome.error;
    std::string why = "another program's database";
    for (const Case& c : cases) {
      if (backup.name == c.folder) why = c.why;
    }
    EXPECT_NE(outcome.error.find(why), std::string::npos) << outcome.error;
    EXPECT_EQ(Notes("VX97.TPS"), (std::vector<std::string>{"in use"}));
  }
  EXPECT_EQ(EarlierBackups(root()).size(), 5u) << "no safety backup made";

  // In the window: the box says the backup was not restored and why.
  ui_.Start([] { BackupRestore({}); });
  DriverWindow window = ui_.WaitWindow("Backup/Restore");
  DriverControl list = window.Control("&Earlier backups:");
  ui_.WaitUntil([&] { return list.Rows() == 5; }, "the backups listed");
  long row = 0;
  for (long r = 1; r <= 5; ++r) {
    if (list.Cell(r, 1) == "2026-01-01") row = r;
  }
  ASSERT_NE(row, 0);
  list.ChooseRow(row);
  ui_.AnswerMessage(BUTTON_YES);
  window.Control("&Restore").Press();
  const SeenRequest refused = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.text, "The backup 2026-01-01 was not restored: " +
                              (root() / "Backup" / "2026-01-01" / "VX97.TPS").string() +
                              " cannot be restored, since it is not a database.  Nothing was "
                              "changed.");
  EXPECT_EQ(Notes("VX97.TPS"), (std::vector<std::string>{"in use"}));
  window.Control("&Close").Press();
  ui_.Finish();
}

TEST_F(BackupRestoreWindowTest, CopiesReportTheirProgressAndAFileThatIsNotThereIsNamed) {
  std::string big(3 << 20, 'x');
  Write("PATHS.INI", big);
  std::vector<std::uintmax_t> seen;
  const auto progress = [&](std::uintmax_t done, std::uintmax_t total) {
    EXPECT_EQ(total, big.size());
    seen.push_back(done);
  };
  const BackupOutcome outcome = BackUpDataFiles(root(), {"paths.ini", "missing.tps"}, progress);
  EXPECT_EQ(outcome.copied, (std::vector<std::string>{"PATHS.INI"}));
  EXPECT_EQ(outcome.failed, (std::vector<std::string>{"missing.tps"}));
  EXPECT_FALSE(outcome.ok());
  ASSERT_GE(seen.size(), 4u) << "a report per megabyte";
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), big.size());
  EXPECT_EQ(Read(outcome.folder / "PATHS.INI"), big);
}

// Links planted in the data folder (open to others, or left by an earlier version) are never
// followed: a "Backup" that is no folder of this user's is refused with its name, a taken
// dated name is passed over, and nothing they point to is changed or receives a copy.
TEST_F(BackupRestoreWindowTest, PlantedLinksAreRefusedOrPassedOverAndWhatTheyPointToStaysAsItWas) {
  Sql("CREATE TABLE notes(text); INSERT INTO notes VALUES('first');");
  const fs::path victim = root() / "victim";
  fs::create_directory(victim);
  Write(victim / "kept.txt", "kept\n");
  fs::permissions(victim, fs::perms(0755));

  struct Case {
    const char* what;
    fs::path target;
  };
  for (const Case& c :
       {Case{"a link to a folder", victim}, Case{"a link to a file", victim / "kept.txt"},
        Case{"a dangling link", root() / "nowhere"}}) {
    SCOPED_TRACE(c.what);
    fs::create_symlink(c.target, root() / "Backup");
    const BackupOutcome outcome = BackUpDataFiles(root(), {"VX97.TPS"});
    EXPECT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.copied.empty());
    EXPECT_NE(outcome.error.find((root() / "Backup").string() + " is not a folder"),
              std::string::npos)
        << outcome.error;
    EXPECT_EQ(Mode(victim), fs::perms(0755));
    EXPECT_EQ(std::distance(fs::directory_iterator(victim), fs::directory_iterator()), 1);
    EXPECT_EQ(Read(victim / "kept.txt"), "kept\n");
    EXPECT_FALSE(fs::exists(root() / "nowhere"));
    fs::remove(root() / "Backup");
  }

  // A "Backup" folder an earlier version left open, with today's name planted as a link.
  const BackupOutcome first = BackUpDataFiles(root(), {"VX97.TPS"});
  ASSERT_TRUE(first.ok()) << first.error;
  const std::string today = first.folder.filename().string();
  fs::remove_all(first.folder);
  fs::create_symlink(victim, first.folder);
  fs::permissions(root() / "Backup", fs::perms::all);
  const BackupOutcome outcome = BackUpDataFiles(root(), {"VX97.TPS"});
  EXPECT_TRUE(outcome.ok()) << outcome.error;
  EXPECT_EQ(outcome.folder, root() / "Backup" / (today + "-2"));
  EXPECT_EQ(Notes(outcome.folder / "VX97.TPS"), (std::vector<std::string>{"first"}));
  EXPECT_EQ(Mode(root() / "Backup"), fs::perms::owner_all);
  EXPECT_EQ(Mode(victim), fs::perms(0755));
  EXPECT_EQ(std::distance(fs::directory_iterator(victim), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vx
