// Connections a thread leaves behind are kept for the next thread that opens the same file while
// another table of the process holds it: the next thread sees every write made since, through
// any connection, notices a changed structure, and never reads a file that was removed or
// replaced under the kept connection.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "runtime/storage/errors.h"
#include "runtime/storage/file.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageKeptConnections : public ScratchDir {};

// Runs `work` on a thread of its own, which ends before the call returns, as a list window's
// thread does.
template <class Fn>
void OnOwnThread(Fn work) {
  std::thread(work).join();
}

// The ids and names the table holds, read on a thread of its own; "open failed N" when the
// open gives error N.
std::vector<std::string> ReadOnOwnThread(File& file) {
  std::vector<std::string> rows;
  OnOwnThread([&] {
    if (const int code = file.Open(); code != 0) {
      rows.push_back("open failed " + std::to_string(code));
      return;
    }
    file.Set(file.def().keys[0]);
    while (file.Next() == 0) {
      rows.push_back(std::to_string(ItemBuffer().Id) + " " + ItemBuffer().Name.str());
    }
    file.Close();
  });
  return rows;
}

// Makes the table `file` stands for, holding the one item `id`, and opens it on this thread,
// which holds it from then on, so that the connections other threads leave are kept.
void MakeHeldWith(File& file, int id, const char* name) {
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  SetItem(id, name);
  ASSERT_EQ(file.Add(), 0);
}

TEST_F(StorageKeptConnections, TheNextThreadSeesOtherConnectionsWritesAndSchemaChanges) {
  const TableDef def = MakeItemTable("kept\\!items");
  File file(def);
  ASSERT_NO_FATAL_FAILURE(MakeHeldWith(file, 1, "first"));

  EXPECT_EQ(ReadOnOwnThread(file), (std::vector<std::string>{"1 first"}));

  // Written through this thread's connection and by another program.
  SetItem(2, "second");
  ASSERT_EQ(file.Add(), 0);
  RawExec("kept.TPS", "DELETE FROM items WHERE Id = 1");
  EXPECT_EQ(ReadOnOwnThread(file), (std::vector<std::string>{"2 second"}));

  // Another program changes the table's structure: the check done at an earlier open no
  // longer holds.
  RawExec("kept.TPS", "ALTER TABLE items ADD COLUMN Extra INTEGER");
  EXPECT_EQ(ReadOnOwnThread(file),
            (std::vector<std::string>{"open failed " + std::to_string(kBadStructure)}));
  // And a table made again as defined opens again.
  OnOwnThread([&] { EXPECT_EQ(file.Create(), 0); });
  EXPECT_EQ(ReadOnOwnThread(file), std::vector<std::string>{});
  file.Close();
}

TEST_F(StorageKeptConnections, AFileRemovedOrReplacedUnderAKeptConnectionIsNotReadThroughIt) {
  const TableDef def = MakeItemTable("kept\\!items");
  File file(def);
  ASSERT_NO_FATAL_FAILURE(MakeHeldWith(file, 1, "old"));
  EXPECT_EQ(ReadOnOwnThread(file), (std::vector<std::string>{"1 old"}));

  // Removed with the files beside it while this thread holds it and another's is kept.
  for (const char* name : {"kept.TPS", "kept.TPS-wal", "kept.TPS-shm"}) {
    std::error_code ec;
    std::filesystem::remove(name, ec);
  }
  EXPECT_EQ(ReadOnOwnThread(file),
            (std::vector<std::string>{"open failed " + std::to_string(kFileNotFound)}));

  // Made again by another thread: the next thread reads the new file.
  OnOwnThread([&] {
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    SetItem(7, "new");
    ASSERT_EQ(file.Add(), 0);
    file.Close();
  });
  EXPECT_EQ(ReadOnOwnThread(file), (std::vector<std::string>{"7 new"}));

  // Replaced by a copy made elsewhere and renamed over it (a restore).
  {
    const TableDef other = MakeItemTable("copy\\!items");
    File copy(other);
    OnOwnThread([&] {
      ASSERT_EQ(copy.Create(), 0);
      ASSERT_EQ(copy.Open(), 0);
      SetItem(9, "restored");
      ASSERT_EQ(copy.Add(), 0);
      copy.Close();
    });
  }
  std::filesystem::rename("copy.TPS", "kept.TPS");
  EXPECT_EQ(ReadOnOwnThread(file), (std::vector<std::string>{"9 restored"}));
  file.Close();
}

TEST_F(StorageKeptConnections, AFileMarkedReadOnlyIsNotWrittenThroughAKeptConnection) {
  const TableDef def = MakeItemTable("kept\\!items");
  File file(def);
  ASSERT_NO_FATAL_FAILURE(MakeHeldWith(file, 1, "one"));
  EXPECT_EQ(ReadOnOwnThread(file).size(), 1u);  // leaves a writable connection kept

  ASSERT_EQ(chmod("kept.TPS", 0444), 0);  // marked read-only by the user
  OnOwnThread([&] {
    ASSERT_EQ(file.Open(), 0);
    EXPECT_TRUE(file.ReadOnly());
    SetItem(2, "refused");
    EXPECT_NE(file.Add(), 0);
    file.Close();
  });
  ASSERT_EQ(chmod("kept.TPS", 0600), 0);
  EXPECT_EQ(ReadOnOwnThread(file), (std::vector<std::string>{"1 one"}));
  file.Close();
}

TEST_F(StorageKeptConnections, AFileNoTableHoldsIsLeftWhole) {
  const TableDef def = MakeItemTable("kept\\!items");
  File file(def);
  ASSERT_NO_FATAL_FAILURE(MakeHeldWith(file, 1, "one"));
  EXPECT_EQ(ReadOnOwnThread(file).size(), 1u);
  EXPECT_TRUE(std::filesystem::exists("kept.TPS-wal"));
  // The last table closes: no connection is kept, so the log is folded back and removed.
  ASSERT_EQ(file.Close(), 0);
  EXPECT_FALSE(std::filesystem::exists("kept.TPS-wal"));
  EXPECT_FALSE(std::filesystem::exists("kept.TPS-shm"));
}

// Statements prepared by one thread are kept with its connection for the next; a walk over the
// records equal on some fields must get the statement of those fields, however many other such
// walks either thread made first.
TEST_F(StorageKeptConnections, AWalkOnAKeptConnectionKeepsItsOwnEqualFields) {
  const TableDef def = MakeItemTable("kept\\!items");
  File file(def);
  ASSERT_NO_FATAL_FAILURE(MakeHeldWith(file, 1, "one"));
  ItemBuffer().Flag = 1;
  ASSERT_EQ(file.Put(), 0);
  for (const auto& [id, flag, small] : {std::tuple{2, 0, 1}, std::tuple{3, 1, 1}}) {
    SetItem(id, "more", static_cast<std::uint8_t>(flag));
    ItemBuffer().Small = static_cast<std::int16_t>(small);
    ASSERT_EQ(file.Add(), 0);
  }
  // The ids of the records whose `field` is 1, in id order.
  const auto equal_to_one = [&](const char* field) {
    std::vector<int> ids;
    SetItem(0, "");
    ItemBuffer().Flag = 1;
    ItemBuffer().Small = 1;
    if (file.SetEqual(def.keys[0], {def.FieldIndex(field)}) != 0) return ids;
    while (file.Next() == 0) ids.push_back(ItemBuffer().Id);
    return ids;
  };
  OnOwnThread([&] {
    ASSERT_EQ(file.Open(), 0);
    EXPECT_EQ(equal_to_one("Flag"), (std::vector<int>{1, 3}));
    EXPECT_EQ(equal_to_one("Small"), (std::vector<int>{2, 3}));
    file.Close();
  });
  // The next thread asks for the walks the other way round.
  OnOwnThread([&] {
    ASSERT_EQ(file.Open(), 0);
    EXPECT_EQ(equal_to_one("Small"), (std::vector<int>{2, 3}));
    EXPECT_EQ(equal_to_one("Flag"), (std::vector<int>{1, 3}));
    file.Close();
  });
  file.Close();
}

}  // namespace
}  // namespace vx::test
