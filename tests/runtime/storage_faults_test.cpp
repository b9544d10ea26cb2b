// Storage faults injected under the engine: a write, a sync or the disk filling up fails at
// the Nth call, outside a transaction and at a transaction's commit. Each failing operation
// reports the driver's code and text, and every record stored before is there after the file
// is opened again, with SQLite's integrity check passing. A transaction over two files that
// meets a fault at its commit is kept in both or in neither.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <string>

#include "faulty_vfs.h"
#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageFaults : public ScratchDir {};

std::string IntegrityCheck(const char* path) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW) {
      result = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
    }
    sqlite3_finalize(q);
  }
  sqlite3_close(db);
  return result;
}

// Whether SQLite itself, without the engine, finds the record `id` in the file.
bool RawHasId(const std::string& path, std::int32_t id) {
  sqlite3* db = nullptr;
  bool found = false;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM items WHERE Id = ?", -1, &q, nullptr) == SQLITE_OK) {
      sqlite3_bind_int(q, 1, id);
      found = sqlite3_step(q) == SQLITE_ROW;
    }
    sqlite3_finalize(q);
  }
  sqlite3_close(db);
  return found;
}

// The ids stored in the file, opened afresh.
std::vector<std::int32_t> StoredIds(const TableDef& def) {
  File file(def);
  std::vector<std::int32_t> ids;
  EXPECT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Set(def.keys[0]), 0);
  while (file.Next() == 0) ids.push_back(ItemBuffer().Id);
  file.Close();
  return ids;
}

struct Case {
  Fault fault;
  int nth;
  bool in_transaction;  // the fault meets the commit of LOGOUT ... COMMIT
};

TEST_F(StorageFaults, EachFaultIsReportedAndLosesNothingStoredBefore) {
  const Case cases[] = {
      {Fault::Write, 1, false}, {Fault::Write, 3, false},    {Fault::Sync, 1, false},
      {Fault::Sync, 2, false},  {Fault::DiskFull, 1, false}, {Fault::DiskFull, 4, false},
      {Fault::Write, 1, true},  {Fault::Sync, 1, true},      {Fault::DiskFull, 2, true},
  };
  int round = 0;
  for (const Case& c : cases) {
    const std::string stored = "faults" + std::to_string(++round) + "\\!items";
    const std::string path = "faults" + std::to_string(round) + ".TPS";
    const TableDef def = MakeItemTable(stored);
    const std::string label = path + " fault " + std::to_string(static_cast<int>(c.fault)) +
                              " at " + std::to_string(c.nth) +
                              (c.in_transaction ? " in a transaction" : "");
    std::vector<std::int32_t> kept;
    {
      FaultyVfs vfs;
      File file(def);
      ASSERT_EQ(file.Create(), 0) << label;
      ASSERT_EQ(file.Open(), 0) << label;
      for (std::int32_t id = 1; id <= 10; ++id) {
        SetItem(id, "before");
        ASSERT_EQ(file.Add(), 0) << label;
        kept.push_back(id);
      }

      vfs.Arm(c.fault, c.nth);
      int code = 0;
      std::int32_t id = 100;
      if (c.in_transaction) {
        // The records of a transaction are written when it commits: the commit fails, and none
        // of them may stay.
        ASSERT_EQ(LOGOUT(1), 0);
        for (int i = 0; i < 5 && code == 0; ++i) {
          SetItem(++id, "in txn");
          code = file.Add();
        }
        const int committed = COMMIT();
        EXPECT_NE(committed, 0) << label;
        if (code == 0) {
          EXPECT_EQ(committed & 0xff, FaultyVfs::CodeOf(c.fault) & 0xff) << label;
        }
      } else {
        for (int i = 0; i < 20 && code == 0; ++i) {
          SetItem(++id, "after");
          code = file.Add();
          if (code == 0) kept.push_back(id);
        }
        EXPECT_EQ(code, kDriverError) << label;
        EXPECT_EQ(FILEERRORCODE(), FaultyVfs::CodeOf(c.fault)) << label;
        EXPECT_EQ(FILEERROR(), sqlite3_errstr(FaultyVfs::CodeOf(c.fault))) << label;
      }
      EXPECT_GE(vfs.failures(), 1) << label;

      // The disk is well again: the same file takes the next record.
      vfs.Clear();
      SetItem(500, "afterwards");
      EXPECT_EQ(file.Add(), 0) << label << ": " << FILEERROR();
      kept.push_back(500);
      file.Close();
    }
    EXPECT_EQ(StoredIds(def), kept) << label;
    EXPECT_EQ(IntegrityCheck(path.c_str()), "ok") << label;
  }
}

void AddToEach(std::initializer_list<File*> files, const std::vector<std::int32_t>& ids) {
  for (std::int32_t id : ids) {
    SetItem(id, "pair");
    for (File* file : files) ASSERT_EQ(file->Add(), 0) << file->Name() << " record " << id;
  }
}

// Makes each file's table, opens it and stores the records `ids` in it.
void CreateWithRecords(std::initializer_list<File*> files, const std::vector<std::int32_t>& ids) {
  for (File* file : files) {
    ASSERT_EQ(file->Create(), 0) << file->Name();
    ASSERT_EQ(file->Open(), 0) << file->Name();
  }
  AddToEach(files, ids);
}

// A file's records as "id name code", in id order.
std::vector<std::string> StoredRecords(const TableDef& def) {
  File file(def);
  std::vector<std::string> records;
  EXPECT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Set(def.keys[0]), 0);
  while (file.Next() == 0) {
    const Item& item = ItemBuffer();
    records.push_back(std::to_string(item.Id) + " " + item.Name.str() + " " + item.Code.str());
  }
  file.Close();
  return records;
}

// Reads record `id` into the buffer and writes it back changed, or deletes it, in each file.
void RewriteInEach(std::initializer_list<File*> files, std::int32_t id,
                   const std::function<void(Item&)>& change) {
  for (File* file : files) {
    ItemBuffer().Id = id;
    ASSERT_EQ(file->Get(file->def().keys[0]), 0) << file->Name() << " record " << id;
    if (!change) {
      ASSERT_EQ(file->Delete(), 0) << file->Name() << " record " << id;
      continue;
    }
    change(ItemBuffer());
    ASSERT_EQ(file->Put(), 0) << file->Name() << " record " << id;
  }
}

// The two-file transaction: adds records 101 to 103, renames record 2, deletes record 4 and
// swaps the unique codes of records 1 and 3 (through a third code, as the key asks).
void ChangeEach(std::initializer_list<File*> files) {
  AddToEach(files, {101, 102, 103});
  RewriteInEach(files, 2, [](Item& item) { item.Name = "renamed"; });
  RewriteInEach(files, 4, nullptr);
  RewriteInEach(files, 1, [](Item& item) { item.Code = "T"; });
  RewriteInEach(files, 3, [](Item& item) { item.Code = "A"; });
  RewriteInEach(files, 1, [](Item& item) { item.Code = "B"; });
}

// Each fault, from each write or sync of the commit on in turn, until a commit meets none.
TEST_F(StorageFaults, AFaultInATwoFileCommitKeepsItInBothFilesOrInNeither) {
  const std::vector<std::string> before = {"1 pair A", "2 pair ", "3 pair B", "4 pair ", "5 pair "};
  const std::vector<std::string> after = {"1 pair B",  "2 renamed ", "3 pair A", "5 pair ",
                                          "101 pair ", "102 pair ",  "103 pair "};
  int round = 0;
  for (const Fault fault : {Fault::Write, Fault::Sync, Fault::DiskFull}) {
    bool clean_commit = false;
    int failed_commits = 0;
    for (int nth = 1; nth <= 80 && !clean_commit; ++nth) {
      ++round;
      const TableDef first = MakeItemTable("spanA" + std::to_string(round) + "\\!items");
      const TableDef second = MakeItemTable("spanB" + std::to_string(round) + "\\!items");
      const std::string label =
          "fault " + std::to_string(static_cast<int>(fault)) + " at " + std::to_string(nth);
      int committed = 0;
      {
        FaultyVfs vfs;
        File a(first);
        File b(second);
        ASSERT_NO_FATAL_FAILURE(CreateWithRecords({&a, &b}, {2, 4, 5}));
        SetItem(1, "pair", 0, "A");
        ASSERT_EQ(a.Add(), 0);
        ASSERT_EQ(b.Add(), 0);
        SetItem(3, "pair", 0, "B");
        ASSERT_EQ(a.Add(), 0);
        ASSERT_EQ(b.Add(), 0);
        vfs.Arm(fault, nth);
        ASSERT_EQ(LOGOUT(1), 0);
        ASSERT_NO_FATAL_FAILURE(ChangeEach({&a, &b})) << label;
        committed = COMMIT();
        if (committed != 0) {
          ++failed_commits;
          EXPECT_EQ(committed & 0xff, FaultyVfs::CodeOf(fault) & 0xff) << label;
        }
        clean_commit = committed == 0 && vfs.failures() == 0;
        // The disk is well again: the next write to the first file settles the transaction first.
        vfs.Clear();
        SetItem(500, "afterwards");
        EXPECT_EQ(a.Add(), 0) << label << ": " << FILEERROR();
        a.Close();
        b.Close();
      }
      std::vector<std::string> kept = committed == 0 ? after : before;
      EXPECT_EQ(StoredRecords(second), kept) << label;
      kept.push_back("500 afterwards ");
      EXPECT_EQ(StoredRecords(first), kept) << label;
      EXPECT_EQ(IntegrityCheck(("spanA" + std::to_string(round) + ".TPS").c_str()), "ok") << label;
      EXPECT_EQ(IntegrityCheck(("spanB" + std::to_string(round) + ".TPS").c_str()), "ok") << label;
    }
    EXPECT_TRUE(clean_commit) << "fault " << static_cast<int>(fault);
    EXPECT_GE(failed_commits, 2) << "fault " << static_cast<int>(fault)
                                 << ": the commits of both files";
  }
}

// A commit whose second file fails while the disk stays bad leaves the first file committed on
// the disk and the record of what undoes it beside both. Moved elsewhere with their records, the
// files are settled when they are opened there: neither keeps the transaction.
TEST_F(StorageFaults, AnUnfinishedTransactionIsSettledWhereItsFilesAreOpenedNext) {
  bool torn_on_disk = false;
  for (int nth = 1; nth <= 80 && !torn_on_disk; ++nth) {
    const std::string folder = "moved" + std::to_string(nth);
    std::filesystem::create_directory(folder);
    const TableDef first = MakeItemTable(folder + "/first\\!items");
    const TableDef second = MakeItemTable(folder + "/second\\!items");
    {
      FaultyVfs vfs;
      File a(first);
      File b(second);
      ASSERT_NO_FATAL_FAILURE(CreateWithRecords({&a, &b}, {1}));
      vfs.Arm(Fault::Write, nth);
      ASSERT_EQ(LOGOUT(1), 0);
      ASSERT_NO_FATAL_FAILURE(AddToEach({&a, &b}, {7}));
      if (COMMIT() == 0) break;  // the fault came too late
      a.Close();
      b.Close();
    }
    torn_on_disk = RawHasId(folder + "/first.TPS", 7) && !RawHasId(folder + "/second.TPS", 7);
    if (!torn_on_disk) continue;
    EXPECT_TRUE(std::filesystem::exists(folder + "/first.TPS-intent"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/second.TPS-intent"));
    std::filesystem::rename(folder, folder + "-elsewhere");
    const TableDef moved_second = MakeItemTable(folder + "-elsewhere/second\\!items");
    const TableDef moved_first = MakeItemTable(folder + "-elsewhere/first\\!items");
    EXPECT_EQ(StoredIds(moved_second), std::vector<std::int32_t>{1});
    EXPECT_EQ(StoredIds(moved_first), std::vector<std::int32_t>{1});
    EXPECT_FALSE(std::filesystem::exists(folder + "-elsewhere/first.TPS-intent"));
    EXPECT_FALSE(std::filesystem::exists(folder + "-elsewhere/second.TPS-intent"));
  }
  EXPECT_TRUE(torn_on_disk) << "no fault left the first file committed and the second not";
}

}  // namespace
}  // namespace vx::test
