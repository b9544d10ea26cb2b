// Error codes of the storage engine and how files are found, created and protected.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/stored_name.h"
#include "storage_backend.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageCodes : public StorageBackendTest {};
class StorageErrors : public ScratchDir {};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(StorageErrors, MissingFileOrTableIs2AndCreateMakesAPrivateFile) {
  const TableDef def = MakeItemTable("data\\!items");
  File file(def);
  EXPECT_EQ(file.Open(), 2);
  EXPECT_EQ(ERRORCODE(), 2);
  EXPECT_EQ(ERRORFILE(), "data\\!items");
  EXPECT_EQ(ERROR(), "File Not Found");

  ASSERT_EQ(file.Create(), 0);
  struct stat st {};
  ASSERT_EQ(stat("data.TPS", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Open(), 52);  // already open: a success code, nothing changes
  EXPECT_TRUE(file.IsOpen());

  // A second table of the same file is missing until created.
  const TableDef other = MakeItemTable("DATA\\!others");
  File second(other);
  EXPECT_EQ(second.Open(), 2);
  ASSERT_EQ(second.Create(), 0);
  EXPECT_EQ(second.Open(), 0);
  EXPECT_FALSE(std::filesystem::exists("DATA.TPS"));  // the existing data.TPS was used
}

TEST_P(StorageCodes, ClosedFileIs37) {
  const TableDef def = MakeItemTable("closed\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  EXPECT_EQ(file.Next(), 37);
  EXPECT_EQ(file.Add(), 37);
  EXPECT_EQ(file.Close(), 37);
  ASSERT_EQ(file.Open(), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(file.Get(def.keys[0]), 37);
}

TEST_P(StorageCodes, NotFoundEndOfFileAndDuplicateKey) {
  const TableDef def = MakeItemTable("codes\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  SetItem(1, "one", 0, "A1");
  ASSERT_EQ(file.Add(), 0);
  SetItem(2, "two", 0, "B2");
  ASSERT_EQ(file.Add(), 0);

  SetItem(1, "");
  ASSERT_EQ(file.Get(def.keys[0]), 0);
  SetItem(3, "");
  EXPECT_EQ(file.Get(def.keys[0]), 35);
  EXPECT_EQ(ERROR(), "Record Not Found");
  EXPECT_EQ(file.Put(), 33);  // the failed read left no current record to overwrite
  EXPECT_EQ(file.Delete(), 33);

  ASSERT_EQ(file.Set(def.keys[0]), 0);
  EXPECT_EQ(file.Next(), 0);
  EXPECT_EQ(file.Next(), 0);
  EXPECT_EQ(file.Next(), 33);
  EXPECT_EQ(file.Next(), 33);  // stays at the end
  EXPECT_EQ(file.Previous(), 0);
  EXPECT_EQ(ItemBuffer().Id, 2);

  // The unique key refuses a second "A1"; nothing is written, and the key is named.
  SetItem(9, "nine", 0, "A1");
  EXPECT_EQ(file.Add(), 40);
  ASSERT_NE(file.DuplicateKey(), nullptr);
  EXPECT_EQ(file.DuplicateKey()->name, "KeyCode");
  EXPECT_EQ(file.Records(), 2);
  // Changing a record onto another's unique value is refused too, and the record stays.
  SetItem(2, "");
  ASSERT_EQ(file.Get(def.keys[0]), 0);
  ItemBuffer().Code = "A1";
  EXPECT_EQ(file.Put(), 40);
  SetItem(2, "");
  ASSERT_EQ(file.Get(def.keys[0]), 0);
  EXPECT_EQ(ItemBuffer().Code.str(), "B2");
  // Blank codes are left out of the optional key, so any number of them is fine.
  SetItem(10, "ten");
  EXPECT_EQ(file.Add(), 0);
  SetItem(11, "eleven");
  EXPECT_EQ(file.Add(), 0);
  std::vector<std::string> codes;
  ASSERT_EQ(file.Set(def.keys[7]), 0);
  while (file.Next() == 0) codes.push_back(ItemBuffer().Code.str());
  EXPECT_EQ(codes, (std::vector<std::string>{"A1", "B2"}));
  SetItem(0, "");
  EXPECT_EQ(file.Get(def.keys[7]), 35);  // a blank code is not in the key at all
}

TEST_F(StorageErrors, MissingIndexIs46UntilBuiltAndChangedFieldsAre47) {
  {
    const TableDef def = MakeItemTable("keys\\!items");
    File file(def);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    SetItem(1, "one");
    ASSERT_EQ(file.Add(), 0);
    ASSERT_EQ(file.Close(), 0);
  }
  RawExec("keys.TPS", "DROP INDEX \"items!KeyName\"");
  const TableDef def = MakeItemTable("keys\\!items");
  File file(def);
  EXPECT_EQ(file.Open(), 46);
  ASSERT_EQ(file.Build(), 0);
  ASSERT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Records(), 1);
  ASSERT_EQ(file.Close(), 0);

  TableDef wider = MakeItemTable("keys\\!items");
  wider.fields[1].size = 20;
  File changed(wider);
  EXPECT_EQ(changed.Open(), 47);
  EXPECT_EQ(ERROR(), "Invalid Record Declaration");
}

// A table's columns are known once the statement that made it was read, in any file: a table
// another program altered or made again otherwise is checked as it stands at the next open.
TEST_F(StorageErrors, ATableAnotherProgramMadeOtherwiseIs47AtTheNextOpen) {
  const TableDef def = MakeItemTable("made\\!items");
  struct Case {
    const char* change;
    int code;
  };
  const Case cases[] = {
      {"", 0},
      {"ALTER TABLE items ADD COLUMN Extra INTEGER", 47},
      {"ALTER TABLE items RENAME COLUMN Flag TO Flags", 47},
      {"CREATE TABLE copy AS SELECT * FROM items; DROP TABLE items; "
       "ALTER TABLE copy RENAME TO items",
       47},
      {"DROP TABLE items; CREATE TABLE ITEMS (Id INTEGER)", 47},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    {
      File file(def);
      ASSERT_EQ(file.Create(), 0);
      ASSERT_EQ(file.Open(), 0);
      ASSERT_EQ(file.Close(), 0);
    }
    RawExec("made.TPS", c.change);
    File again(def);
    EXPECT_EQ(again.Open(), c.code);
    if (c.code == 0) {
      EXPECT_EQ(again.Close(), 0);
    }
  }
}

TEST_F(StorageErrors, AFileThatIsNotADatabaseIsReportedAndLeftAlone) {
  {
    std::ofstream out("broken.tps", std::ios::binary);
    out << "this is not a database, and it must survive every attempt to open it";
  }
  const std::string before = ReadAll("broken.tps");
  const TableDef def = MakeItemTable("BROKEN\\!items");
  File file(def);
  EXPECT_EQ(file.Open(), 90);
  EXPECT_EQ(FILEERROR(), "file is not a database");
  EXPECT_EQ(file.Create(), 90);
  EXPECT_EQ(ReadAll("broken.tps"), before);
  EXPECT_FALSE(std::filesystem::exists("BROKEN.TPS"));
}

TEST_F(StorageErrors, ALockedFileWaitsTheRecoveryTimeThenGives32) {
  const TableDef def = MakeItemTable("locked\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  file.Send("Recover=1");

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open("locked.TPS", &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  SetItem(1, "one");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(file.Add(), 32);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(file.Add(), 0);
}

TEST_P(StorageCodes, ReadOnlyOpenRefusesWrites) {
  const TableDef def = MakeItemTable("ro\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(0x40), 0);
  SetItem(1, "one");
  EXPECT_EQ(file.Add(), 5);
}

TEST_F(StorageErrors, AFileThatCannotBeWrittenIsReadWithoutJournalFiles) {
  const TableDef def = MakeItemTable("locked\\!items");
  {
    File file(def);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    SetItem(1, "kept");
    ASSERT_EQ(file.Add(), 0);
    file.Close();
  }
  ASSERT_FALSE(std::filesystem::exists("locked.TPS-wal"));
  ASSERT_EQ(chmod("locked.TPS", 0444), 0);  // marked read-only by the user

  {
    File file(def);
    ASSERT_EQ(file.Open(), 0);  // asked for read/write, given read-only
    EXPECT_TRUE(file.ReadOnly());
    ASSERT_EQ(file.Set(), 0);
    ASSERT_EQ(file.Next(), 0);
    EXPECT_EQ(std::string(ItemBuffer().Name.clipped()), "kept");
    SetItem(2, "refused");
    EXPECT_EQ(file.Add(), 5);
    EXPECT_FALSE(std::filesystem::exists("locked.TPS-wal"));
    EXPECT_FALSE(std::filesystem::exists("locked.TPS-shm"));
    file.Close();
  }

  // Writable again: nothing left behind locks writes out.
  ASSERT_EQ(chmod("locked.TPS", 0600), 0);
  File file(def);
  ASSERT_EQ(file.Open(), 0);
  EXPECT_FALSE(file.ReadOnly());
  SetItem(2, "written");
  EXPECT_EQ(file.Add(), 0);
  EXPECT_EQ(file.Records(), 2);
}

TEST(StoredNames, FileAndTableExtensionAndCase) {
  struct Case {
    const char* stored;
    Driver driver;
    const char* path;
    const char* table;
  };
  const Case cases[] = {
      {"VX97\\!s", Driver::TopSpeed, "VX97.TPS", "s"},
      {"VXTpl\\!ScriptTemplates", Driver::TopSpeed, "VXTpl.TPS", "ScriptTemplates"},
      {"SyncSch.TPS", Driver::TopSpeed, "SyncSch.TPS", ""},
      {"vxWrkFil   ", Driver::TopSpeed, "vxWrkFil.TPS", ""},
      {"Export.txt", Driver::Basic, "Export.txt", ""},
      {"MsgLink", Driver::Basic, "MsgLink", ""},
      {"data\\sub\\file", Driver::TopSpeed, "data/sub/file.TPS", ""},
      {"dir.d/file", Driver::TopSpeed, "dir.d/file.TPS", ""},
  };
  for (const Case& c : cases) {
    const StoredName name = ParseStoredName(c.stored, c.driver);
    EXPECT_EQ(name.path, c.path) << c.stored;
    EXPECT_EQ(name.table, c.table) << c.stored;
  }
}

TEST_F(StorageErrors, TheStoredNameGlobalIsReadWhenTheFileOpens) {
  std::string global = "first.tps";
  TableDef def = MakeItemTable("");
  def.stored_name_ref = &global;
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  global = "second.tps";
  EXPECT_EQ(file.Open(), 2);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Name(), "second.tps");
  EXPECT_TRUE(std::filesystem::exists("first.tps"));
}

VX_ON_EVERY_STORAGE_BACKEND(StorageCodes);

}  // namespace
}  // namespace vx::test
