// Walks that go on, turn round, are interrupted by other statements and writes, or are saved
// and brought back: each read gives the record the key order says, whatever the engine reads
// ahead. Other writers (another thread, another program) are seen by the walk's next read and
// by any other read of the file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_backend.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageWalk : public StorageBackendTest {
 protected:
  // 40 records; ids repeat (i / 3) so that keys have runs of equal values, and names repeat
  // in two letter cases so that the text key has them too.
  void Fill(File& file) {
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    LOGOUT(1);
    for (int i = 0; i < 40; ++i) {
      const std::string name =
          std::string(1, static_cast<char>((i % 2 ? 'a' : 'A') + (i * 7) % 5)) +
          std::to_string(i % 4);
      SetItem(i / 3, name.c_str(), static_cast<std::uint8_t>(i % 3));
      ItemBuffer().Big = static_cast<std::uint32_t>(i);  // names the record
      ASSERT_EQ(file.Add(), 0);
    }
    ASSERT_EQ(COMMIT(), 0);
  }

  // The records' names (Big) in key order, as a whole walk reads them.
  static std::vector<std::uint32_t> Order(File& file, const KeyDef& key) {
    std::vector<std::uint32_t> out;
    EXPECT_EQ(file.Set(key), 0);
    while (file.Next() == 0) out.push_back(ItemBuffer().Big);
    return out;
  }
};

// Moves: N next, P previous, R another statement on the file (a count), W a write of the
// current record with its key unchanged, S save the state, L load it. Each read is checked
// against the key order.
TEST_P(StorageWalk, EveryMoveReadsWhatTheKeyOrderSays) {
  const TableDef def = MakeItemTable("moves\\!items");
  File file(def);
  Fill(file);
  const std::vector<std::string> moves = {
      "NNNPNN",                                               // turning round after a few rows
      "NRNNRNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN",        // interrupted, then past the end
      "PPPNPPPP",                                             // from the end backwards
      "NNNNSNNNNNNLNNPPSPPNNNNLPN",                           // saved and brought back
      "NNWNNWWNPPWPNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNPP",  // writes during the walk
  };
  for (const char* key_name : {"KeyId", "KeyName", "KeyFlagId", "KeyIdDesc", "KeyAmountName"}) {
    const KeyDef& key = def.keys[static_cast<std::size_t>(def.KeyIndex(key_name))];
    const std::vector<std::uint32_t> order = Order(file, key);
    ASSERT_EQ(order.size(), 40u) << key_name;
    for (const std::string& sequence : moves) {
      SCOPED_TRACE(std::string(key_name) + " " + sequence);
      ASSERT_EQ(file.Set(key), 0);
      // Where the walk stands: before the first (-1), at a record, or past an end.
      enum { kStart, kAt, kPastForward, kPastBackward } where = kStart;
      int at = 0;
      auto saved_where = where;
      int saved_at = 0;
      FileState saved;
      for (std::size_t m = 0; m < sequence.size(); ++m) {
        const char move = sequence[m];
        if (move == 'R') {
          EXPECT_EQ(file.Records(), 40);
          continue;
        }
        if (move == 'W') {
          ItemBuffer().Notes = "written " + std::to_string(m);
          ASSERT_EQ(file.Put(), 0);
          continue;
        }
        if (move == 'S') {
          saved = file.GetState();
          saved_where = where;
          saved_at = at;
          continue;
        }
        if (move == 'L') {
          file.RestoreState(saved);
          where = saved_where;
          at = saved_at;
          continue;
        }
        const bool forward = move == 'N';
        int expected = -1;
        if (where == kStart || where == (forward ? kPastBackward : kPastForward)) {
          expected = forward ? 0 : 39;
        } else if (where == kAt) {
          expected = at + (forward ? 1 : -1);
        }
        const int code = forward ? file.Next() : file.Previous();
        if (expected < 0 || expected >= 40) {
          EXPECT_EQ(code, 33) << "move " << m;
          where = forward ? kPastForward : kPastBackward;
          continue;
        }
        ASSERT_EQ(code, 0) << "move " << m;
        EXPECT_EQ(ItemBuffer().Big, order[static_cast<std::size_t>(expected)]) << "move " << m;
        where = kAt;
        at = expected;
      }
    }
  }
}

TEST_P(StorageWalk, ChangedAndDeletedRecordsDuringAWalk) {
  const TableDef def = MakeItemTable("change\\!items");
  File file(def);
  Fill(file);
  const KeyDef& by_id = def.keys[0];
  std::vector<std::uint32_t> order = Order(file, by_id);

  // The third record moves to the end of the key: the walk goes on from where it was and
  // meets it again there. The sixth is deleted: the walk goes on with the seventh.
  ASSERT_EQ(file.Set(by_id), 0);
  std::vector<std::uint32_t> read;
  while (file.Next() == 0) {
    read.push_back(ItemBuffer().Big);
    if (read.size() == 3) {
      ItemBuffer().Id = 1000;
      ASSERT_EQ(file.Put(), 0);
    } else if (read.size() == 6) {
      ASSERT_EQ(file.Delete(), 0);
    }
  }
  std::vector<std::uint32_t> expected = order;
  expected.push_back(order[2]);
  EXPECT_EQ(read, expected);
  EXPECT_EQ(file.Records(), 39);

  // Going back over a deleted record leaves it out.
  order = Order(file, by_id);
  ASSERT_EQ(file.Set(by_id), 0);
  for (int i = 0; i < 5; ++i) ASSERT_EQ(file.Next(), 0);
  ASSERT_EQ(file.Previous(), 0);
  ASSERT_EQ(file.Delete(), 0);
  ASSERT_EQ(file.Previous(), 0);
  EXPECT_EQ(ItemBuffer().Big, order[2]);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(ItemBuffer().Big, order[4]);
}

// Two walks on two tables of one file, read in turn, each reading its own order.
TEST_P(StorageWalk, WalksOfTwoTablesOfOneFileTakeTurns) {
  const TableDef first_def = MakeItemTable("turns\\!first");
  const TableDef second_def = MakeItemTable("turns\\!second");
  File first(first_def), second(second_def);
  Fill(first);
  Fill(second);
  const std::vector<std::uint32_t> by_name = Order(first, first_def.keys[1]);
  const std::vector<std::uint32_t> by_id_desc = Order(second, second_def.keys[4]);
  ASSERT_EQ(first.Set(first_def.keys[1]), 0);
  ASSERT_EQ(second.Set(second_def.keys[4]), 0);
  std::vector<std::uint32_t> read_first, read_second;
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(first.Next(), 0);
    read_first.push_back(ItemBuffer().Big);
    ASSERT_EQ(second.Next(), 0);
    read_second.push_back(ItemBuffer().Big);
  }
  EXPECT_EQ(first.Next(), 33);
  EXPECT_EQ(second.Next(), 33);
  EXPECT_EQ(read_first, by_name);
  EXPECT_EQ(read_second, by_id_desc);
}

// Another program's writes go straight into the data file, so this one is the files' own.
class StorageWalkFile : public StorageWalk {
 protected:
  void SetUp() override { ScratchDir::SetUp(); }
};

TEST_F(StorageWalkFile, OtherWritersAreSeenWhileAWalkStands) {
  const TableDef def = MakeItemTable("others\\!items");
  const TableDef notes_def = MakeItemTable("others\\!notes");
  File file(def), notes(notes_def);
  Fill(file);
  ASSERT_EQ(notes.Create(), 0);
  ASSERT_EQ(notes.Open(), 0);
  const KeyDef& by_id = def.keys[0];

  // Another thread adds a record ahead of the walk: the walk's next reads take it.
  ASSERT_EQ(file.Set(by_id), 0);
  ASSERT_EQ(file.Next(), 0);
  ASSERT_EQ(ItemBuffer().Id, 0);
  std::thread([&] {
    File& mine = file;  // the same table, with this thread's own state and buffer
    ASSERT_EQ(mine.Open(), 0);
    SetItem(0, "late");
    ItemBuffer().Big = 99;
    EXPECT_EQ(mine.Add(), 0);
    mine.Close();
  }).join();
  std::vector<std::uint32_t> zeros;
  while (file.Next() == 0 && ItemBuffer().Id == 0) zeros.push_back(ItemBuffer().Big);
  EXPECT_EQ(zeros, (std::vector<std::uint32_t>{1, 2, 99}));

  // Another program writes to the file while the walk stands: this thread's reads of the file
  // see it, and its own writes go through.
  ASSERT_EQ(file.Set(by_id), 0);
  ASSERT_EQ(file.Next(), 0);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open_v2("others.TPS", &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other,
                         "INSERT INTO notes (Id, Name, Flag, Small, Big, Amount, Code, Notes) "
                         "VALUES (7, 'outside', 0, 0, 0, 0, '', '')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(other);
  SetItem(7, "");
  ASSERT_EQ(notes.Get(notes_def.keys[0]), 0);
  EXPECT_EQ(ItemBuffer().Name.str(), "outside");
  SetItem(8, "added");
  EXPECT_EQ(notes.Add(), 0);
  EXPECT_EQ(notes.Records(), 2);
  ASSERT_EQ(file.Next(), 0);  // the walk goes on where it stood
  EXPECT_EQ(ItemBuffer().Big, 1u);
}

VX_ON_EVERY_STORAGE_BACKEND(StorageWalk);

}  // namespace
}  // namespace vx::test
