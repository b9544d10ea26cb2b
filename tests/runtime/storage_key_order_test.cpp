// Walk order of every kind of key, both ways.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_backend.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class KeyOrder : public StorageBackendTest {};

struct Row {
  std::int32_t id;
  const char* name;
  std::uint8_t flag;
  std::uint32_t big;
  std::int64_t cents;
};

// Records in insertion order; the "order" column lists names as each key must yield them.
const std::vector<Row> kRows = {
    {5, "bravo", 2, 4000000000u, 150},  {-3, "Alpha", 255, 7u, -25}, {0, "alpha", 0, 0u, 150},
    {12, "Charlie", 2, 2147483648u, 0}, {-40, "BRAVO", 128, 1u, 99}, {5, "delta", 1, 5u, 150},
};

struct Case {
  const char* key;
  std::vector<std::string> order;
};

const std::vector<Case> kCases = {
    // Signed LONG, duplicates (5) in record order.
    {"KeyId", {"BRAVO", "Alpha", "alpha", "bravo", "delta", "Charlie"}},
    // Case-insensitive text: equal names stay in record order.
    {"KeyName", {"Alpha", "alpha", "bravo", "BRAVO", "Charlie", "delta"}},
    // Case-sensitive text: upper case sorts before lower case.
    {"KeyNameCase", {"Alpha", "BRAVO", "Charlie", "alpha", "bravo", "delta"}},
    // Unsigned BYTE (255 and 128 last), then signed LONG within equal flags.
    {"KeyFlagId", {"alpha", "delta", "bravo", "Charlie", "BRAVO", "Alpha"}},
    // Descending LONG, duplicates still in record order.
    {"KeyIdDesc", {"Charlie", "bravo", "delta", "alpha", "Alpha", "BRAVO"}},
    // Unsigned 32-bit values above 2^31 sort last.
    {"KeyBig", {"alpha", "BRAVO", "delta", "Alpha", "Charlie", "bravo"}},
    // DECIMAL with negative values, then a descending name.
    {"KeyAmountName", {"Alpha", "Charlie", "BRAVO", "delta", "bravo", "alpha"}},
};

std::vector<std::string> Walk(File& file, const KeyDef& key, bool backward) {
  std::vector<std::string> names;
  EXPECT_EQ(file.Set(key), 0);
  while ((backward ? file.Previous() : file.Next()) == 0) names.push_back(ItemBuffer().Name.str());
  EXPECT_EQ(ERRORCODE(), 33);
  return names;
}

TEST_P(KeyOrder, EveryKeyWalksInItsOrderBothWays) {
  const TableDef def = MakeItemTable("order\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  for (const Row& row : kRows) {
    SetItem(row.id, row.name, row.flag);
    ItemBuffer().Big = row.big;
    ItemBuffer().Amount = Decimal::FromUnits(row.cents, 2);
    ASSERT_EQ(file.Add(), 0) << row.name;
  }
  for (const Case& c : kCases) {
    const KeyDef& key = def.keys[static_cast<std::size_t>(def.KeyIndex(c.key))];
    EXPECT_EQ(Walk(file, key, false), c.order) << c.key;
    std::vector<std::string> reversed(c.order.rbegin(), c.order.rend());
    EXPECT_EQ(Walk(file, key, true), reversed) << c.key;
  }
}

TEST_P(KeyOrder, SetFromBufferStartsAtTheFirstRecordAtOrAfterTheValues) {
  const TableDef def = MakeItemTable("from\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  for (const Row& row : kRows) {
    SetItem(row.id, row.name, row.flag);
    ASSERT_EQ(file.Add(), 0);
  }
  const KeyDef& by_name = def.keys[1];
  SetItem(0, "BRAVO");
  ASSERT_EQ(file.SetFromBuffer(by_name), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(ItemBuffer().Name.str(), "bravo");  // case-insensitive: both bravos, record order
  SetItem(0, "bz");
  ASSERT_EQ(file.SetFromBuffer(by_name), 0);
  ASSERT_EQ(file.Previous(), 0);
  EXPECT_EQ(ItemBuffer().Name.str(),
            "BRAVO");  // backward from the values: the last one at or before

  // A walk over records with equal fields stops where they end.
  SetItem(5, "");
  ASSERT_EQ(file.SetEqual(def.keys[0], {def.FieldIndex("Id")}), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(ItemBuffer().Name.str(), "bravo");
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(ItemBuffer().Name.str(), "delta");
  EXPECT_EQ(file.Next(), 33);
}

TEST_P(KeyOrder, LongWalksCrossReadAheadBatchesAndSeeChangesMadeMeanwhile) {
  const TableDef def = MakeItemTable("walk\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  LOGOUT(1);  // one commit for the set-up
  for (int i = 0; i < 2000; ++i) {
    SetItem(i % 7, ("n" + std::to_string(i)).c_str(), static_cast<std::uint8_t>(i % 3));
    ASSERT_EQ(file.Add(), 0);
  }
  ASSERT_EQ(COMMIT(), 0);
  const KeyDef& key = def.keys[3];  // Flag, Id
  ASSERT_EQ(file.Set(key), 0);
  int count = 0;
  std::uint8_t last_flag = 0;
  std::int32_t last_id = -1;
  while (file.Next() == 0) {
    const Item& item = ItemBuffer();
    ASSERT_TRUE(item.Flag > last_flag || (item.Flag == last_flag && item.Id >= last_id));
    last_flag = item.Flag;
    last_id = item.Id;
    // Deleting the current record leaves the walk on course.
    if (count % 10 == 0) {
      ASSERT_EQ(file.Delete(), 0);
    }
    ++count;
  }
  EXPECT_EQ(count, 2000);
  EXPECT_EQ(file.Records(), 1800);
}

VX_ON_EVERY_STORAGE_BACKEND(KeyOrder);

}  // namespace
}  // namespace vx::test
