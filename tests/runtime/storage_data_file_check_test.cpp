// What stands at a data file's place, judged before anything is written to it, and the engine
// leaving files alone that are not its own: a folder, garbage, a file cut off or with a damaged
// header or schema, an empty file, another program's database; and a damaged index read as
// damage while the table's rows stay readable.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "runtime/storage/data_file_check.h"
#include "runtime/storage/file.h"
#include "storage_fixture.h"
#include "tests/support/damaged_files.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

namespace fs = std::filesystem;

class DataFileCheckTest : public ScratchDir {
 protected:
  // A database of ours with `records` items, closed (its log gone into it).
  void MakeItems(const std::string& stored, int records) {
    const TableDef def = MakeItemTable(stored);
    File file(def);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    for (int i = 1; i <= records; ++i) {
      SetItem(i, ("item " + std::to_string(i)).c_str());
      ItemBuffer().Notes = std::string(90, static_cast<char>('a' + i % 26));
      ASSERT_EQ(file.Add(), 0);
    }
    ASSERT_EQ(file.Close(), 0);
  }

  // The folder's entries besides the file itself: nothing may be made beside it.
  static std::vector<std::string> Beside(const std::string& name) {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(".")) {
      const std::string found = entry.path().filename().string();
      if (found != name) out.push_back(found);
    }
    return out;
  }
};

TEST_F(DataFileCheckTest, SaysWhatStandsInTheFilesPlaceAndWritesNothing) {
  struct Case {
    const char* what;
    std::function<void()> make;
    DataFileState state;
    const char* reason;  // the start of the reason given
  };
  const std::vector<Case> cases = {
      {"nothing", [] {}, DataFileState::Missing, ""},
      {"a file of no bytes", [] { std::ofstream("DATA.TPS").close(); }, DataFileState::Empty, ""},
      {"a folder", [] { fs::create_directory("DATA.TPS"); }, DataFileState::NotAFile, "a folder"},
      {"garbage", [] { std::ofstream("DATA.TPS", std::ios::binary) << std::string(9000, '\x5a'); },
       DataFileState::Unreadable, "it is not a database"},
      {"a damaged header",
       [this] {
         MakeItems("DATA\\!items", 5);
         Scribble("DATA.TPS", 16, std::string("\x00\x03", 2));  // the page size
       },
       DataFileState::Unreadable, "its header is damaged"},
      {"a file cut off",
       [this] {
         MakeItems("DATA\\!items", 300);
         fs::resize_file("DATA.TPS", fs::file_size("DATA.TPS") / 2 + 100);
       },
       DataFileState::Unreadable, "it has been cut off"},
      {"a damaged schema",
       [this] {
         MakeItems("DATA\\!items", 5);
         Scribble("DATA.TPS", 100, std::string(12, '\xff'));  // the schema's page
       },
       DataFileState::Unreadable, "database disk image is malformed"},
      {"another program's database",
       [] {
         RunSql("DATA.TPS",
                "CREATE TABLE notes(x); CREATE INDEX notes_x ON notes(x); INSERT INTO notes "
                "VALUES(1)");
       },
       DataFileState::Foreign, "the file is another program's database"},
      {"a database marked by another program",
       [] {
         RunSql("DATA.TPS",
                "PRAGMA application_id=1234; CREATE TABLE s(x); CREATE INDEX \"s!k\" ON s(x)");
       },
       DataFileState::Foreign, "the file is another program's database"},
      {"one of ours", [this] { MakeItems("DATA\\!items", 5); }, DataFileState::Ours, ""},
      {"one of ours from before the mark",
       [] { RunSql("DATA.TPS", "CREATE TABLE s(x); CREATE INDEX \"s!KeyX\" ON s(x)"); },
       DataFileState::Ours, ""},
      {"an empty database", [] { MakeEmptyDatabase("DATA.TPS"); }, DataFileState::Ours, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("DATA.TPS");
    c.make();
    const bool regular = fs::is_regular_file("DATA.TPS");
    const std::string before = regular ? FileBytes("DATA.TPS") : "";
    const DataFileCheck check = CheckDataFile("DATA.TPS");
    EXPECT_EQ(check.state, c.state);
    EXPECT_EQ(check.reason.rfind(c.reason, 0), 0u) << check.reason;
    EXPECT_EQ(check.path, (fs::current_path() / "DATA.TPS").string());
    if (regular) {
      EXPECT_EQ(FileBytes("DATA.TPS"), before);
    }
    EXPECT_TRUE(Beside("DATA.TPS").empty());
  }
}

// Another program's database is neither opened nor written: no table is added to it, its
// journal mode stays, and no log is made beside it.
TEST_F(DataFileCheckTest, TheEngineWritesNothingToAnotherProgramsDatabase) {
  ASSERT_EQ(RunSql("other.TPS", "CREATE TABLE notes(x); INSERT INTO notes VALUES('kept')"),
            SQLITE_OK);
  const std::string before = FileBytes("other.TPS");
  const TableDef def = MakeItemTable("other\\!items");
  File file(def);
  EXPECT_EQ(file.Open(), kDriverError);
  EXPECT_EQ(FILEERROR(), kForeignDatabaseText);
  EXPECT_EQ(file.Create(), kDriverError);
  EXPECT_EQ(FILEERROR(), kForeignDatabaseText);
  EXPECT_EQ(FileBytes("other.TPS"), before);
  EXPECT_TRUE(Beside("other.TPS").empty());
}

// A table added to one of our files from before the mark marks it; a file the engine makes is
// marked with its first table, keys or none.
TEST_F(DataFileCheckTest, TheEngineMarksItsFilesAsItsOwn) {
  ASSERT_EQ(RunSql("old.TPS", "CREATE TABLE s(x); CREATE INDEX \"s!KeyX\" ON s(x)"), SQLITE_OK);
  const TableDef added = MakeItemTable("old\\!items");
  File old(added);
  ASSERT_EQ(old.Create(), 0);
  TableDef keyless = MakeItemTable("new\\!items");
  keyless.keys.clear();
  File made(keyless);
  ASSERT_EQ(made.Create(), 0);
  for (const char* name : {"old.TPS", "new.TPS"}) {
    SCOPED_TRACE(name);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(name, &db), SQLITE_OK);
    sqlite3_stmt* q = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &q, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(q), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(q, 0), kDataFileApplicationId);
    sqlite3_finalize(q);
    sqlite3_close(db);
    EXPECT_EQ(CheckDataFile(name).state, DataFileState::Ours);
  }
}

// A damaged index is damage (SQLite's "malformed") on every read through it; the rows
// themselves are still read in file order. The file's own check does not read index pages.
TEST_F(DataFileCheckTest, ADamagedIndexIsDamageOnReadsThroughIt) {
  MakeItems("DATA\\!items", 40);
  ASSERT_TRUE(DamageIndex("DATA.TPS", "items!KeyName"));
  EXPECT_EQ(CheckDataFile("DATA.TPS").state, DataFileState::Ours);

  const TableDef def = MakeItemTable("DATA\\!items");
  File file(def);
  ASSERT_EQ(file.Open(), 0);
  ASSERT_EQ(file.Set(def.keys[1]), 0);
  EXPECT_EQ(file.Next(), kDriverError);
  EXPECT_TRUE(MeansDamage(FILEERRORCODE())) << FILEERRORCODE() << " " << FILEERROR();
  ASSERT_EQ(file.Set(), 0);
  int rows = 0;
  while (file.Next() == 0) ++rows;
  EXPECT_EQ(rows, 40);
  EXPECT_FALSE(MeansDamage(SQLITE_BUSY));
  EXPECT_FALSE(MeansDamage(kForeignDatabase));
}

}  // namespace
}  // namespace vx::test
