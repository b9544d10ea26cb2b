// Storage faults injected under the engine: a write, a sync or the disk filling up fails at
// the Nth call, outside a transaction and at a transaction's commit. Each failing operation
// reports the driver's code and text, and every record stored before is there after the file
// is opened again, with SQLite's integrity check passing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "faulty_vfs.h"
#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_fixture.h"

namespace vx::storage::testing {
namespace {

class StorageFaults : public ScratchDir {};

std::string IntegrityCheck(const char* path) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW) {
      result = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
    }
    sqlite3_finalize(q);
  }
  sqlite3_close(db);
  return result;
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
      {Fault::Write, 1, false},    {Fault::Write, 3, false},    {Fault::Sync, 1, false},
      {Fault::Sync, 2, false},     {Fault::DiskFull, 1, false}, {Fault::DiskFull, 4, false},
      {Fault::Write, 1, true},     {Fault::Sync, 1, true},      {Fault::DiskFull, 2, true},
  };
  int round = 0;
  for (const Case& c : cases) {
    const std::string stored = "faults" + std::to_string(++round) + "\\!items";
    const std::string path = "faults" + std::to_string(round) + ".TPS";
    const TableDef def = MakeItemTable(stored);
    const std::string label = path + " fault " + std::to_string(static_cast<int>(c.fault)) + " at " +
                              std::to_string(c.nth) + (c.in_transaction ? " in a transaction" : "");
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

}  // namespace
}  // namespace vx::storage::testing
