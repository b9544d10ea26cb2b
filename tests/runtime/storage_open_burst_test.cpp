// Tables opened as one burst read each file's schema version once; a change to the structure
// is still caught by the next burst when another program made it, and at once when it was
// made through the connection the burst reuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "runtime/storage/errors.h"
#include "runtime/storage/file.h"
#include "runtime/storage/open_burst.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageOpenBurst : public ScratchDir {};

// Opens and closes `file` inside a burst of its own; answers the open's error code.
int OpenInBurst(File& file) {
  const OpenBurst burst;
  const int code = file.Open();
  if (code == 0) file.Close();
  return code;
}

TEST_F(StorageOpenBurst, AStructureChangedBeforeTheBurstOrThroughItsConnectionIsSeen) {
  // Another table of the same file stays open, so every open below reuses one connection and
  // the check it recorded for the items table.
  const TableDef holder_def = MakeItemTable("burst\\!holder");
  File holder(holder_def);
  ASSERT_EQ(holder.Create(), 0);
  ASSERT_EQ(holder.Open(), 0);
  const TableDef items_def = MakeItemTable("burst\\!items");
  File items(items_def);
  ASSERT_EQ(items.Create(), 0);
  EXPECT_EQ(OpenInBurst(items), 0);

  // Another program changes the structure between two bursts of this thread.
  RawExec("burst.TPS", "ALTER TABLE items ADD COLUMN Extra INTEGER");
  EXPECT_EQ(OpenInBurst(items), kBadStructure);

  // Within one burst: the table checked, then made again with another structure through the
  // same connection, then opened again.
  {
    const OpenBurst burst;
    ASSERT_EQ(items.Create(), 0);
    ASSERT_EQ(items.Open(), 0);
    items.Close();
    TableDef shorter_def = MakeItemTable("burst\\!items");
    shorter_def.fields.pop_back();
    File shorter(shorter_def);
    ASSERT_EQ(shorter.Create(), 0);
    {
      const OpenBurst nested;  // nesting keeps the outer burst's reads
      EXPECT_EQ(items.Open(), kBadStructure);
    }
    EXPECT_EQ(shorter.Open(), 0);
    shorter.Close();
  }
  holder.Close();
}

// A connection kept open reads the file's keys once per schema version for all its tables: a
// key that another program drops or makes otherwise, on any table, is caught by the next open,
// and a key rebuilt through the connection itself is found at once.
TEST_F(StorageOpenBurst, AKeyChangedUnderAKeptConnectionIsSeenByTheNextOpen) {
  const TableDef holder_def = MakeItemTable("keyed\\!holder");
  File holder(holder_def);
  ASSERT_EQ(holder.Create(), 0);
  ASSERT_EQ(holder.Open(), 0);
  const TableDef items_def = MakeItemTable("keyed\\!items");
  File items(items_def);
  ASSERT_EQ(items.Create(), 0);
  const TableDef other_def = MakeItemTable("keyed\\!other");
  File other(other_def);
  ASSERT_EQ(other.Create(), 0);
  struct Case {
    const char* change;  // made by another program
    int items_code;      // the next open of items
    int other_code;      // and of the other table, in the same burst
  };
  const Case cases[] = {
      {"DROP INDEX \"items!KeyName\"", kBadKey, 0},
      {"DROP INDEX \"other!KeyCode\"; CREATE INDEX \"other!KeyCode\" ON other(Id)", 0, kBadKey},
      {"CREATE INDEX \"items!Unrelated\" ON items(Flag)", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    {
      const OpenBurst burst;
      ASSERT_EQ(items.Open(), 0);
      items.Close();
      ASSERT_EQ(other.Open(), 0);
      other.Close();
    }
    RawExec("keyed.TPS", c.change);
    {
      const OpenBurst burst;
      EXPECT_EQ(OpenInBurst(items), c.items_code);
      EXPECT_EQ(OpenInBurst(other), c.other_code);
      // Rebuilt through the connection the burst holds: found within the same burst.
      ASSERT_EQ(items.Build(), 0);
      ASSERT_EQ(other.Build(), 0);
      EXPECT_EQ(OpenInBurst(items), 0);
      EXPECT_EQ(OpenInBurst(other), 0);
    }
  }
  holder.Close();
}

// The rows of the table `file` names, read inside a burst of its own.
std::vector<std::string> RowsInBurst(File& file) {
  const OpenBurst burst;
  std::vector<std::string> rows;
  if (const int code = file.Open(); code != 0) return {"open failed " + std::to_string(code)};
  file.Set(file.def().keys[0]);
  while (file.Next() == 0) {
    rows.push_back(std::to_string(ItemBuffer().Id) + " " + ItemBuffer().Name.str());
  }
  file.Close();
  return rows;
}

TEST_F(StorageOpenBurst, AFolderLinkRepointedBetweenBurstsIsFollowed) {
  std::filesystem::create_directory("a");
  std::filesystem::create_directory("b");
  const TableDef in_a_def = MakeItemTable("a/burst\\!items");
  const TableDef in_b_def = MakeItemTable("b/burst\\!items");
  File in_a(in_a_def), in_b(in_b_def);
  for (auto [file, id, name] : {std::tuple{&in_a, 1, "in a"}, std::tuple{&in_b, 2, "in b"}}) {
    ASSERT_EQ(file->Create(), 0);
    ASSERT_EQ(file->Open(), 0);
    SetItem(id, name);
    ASSERT_EQ(file->Add(), 0);
    file->Close();
  }
  const TableDef linked_def = MakeItemTable("current/burst\\!items");
  File linked(linked_def);
  std::filesystem::create_directory_symlink("a", "current");
  EXPECT_EQ(RowsInBurst(linked), std::vector<std::string>{"1 in a"});
  std::filesystem::remove("current");
  std::filesystem::create_directory_symlink("b", "current");
  EXPECT_EQ(RowsInBurst(linked), std::vector<std::string>{"2 in b"});
}

// Names in one file may be spelled in different letter cases. A name the burst found no file
// for is looked for again: a table made meanwhile under the other spelling must be found, not
// given a second file beside it.
TEST_F(StorageOpenBurst, AFileMadeInTheBurstIsFoundUnderAnotherSpelling) {
  const TableDef first_def = MakeItemTable("spelled\\!first");
  const TableDef second_def = MakeItemTable("SPELLED\\!second");
  File first(first_def), second(second_def);
  {
    const OpenBurst burst;
    EXPECT_EQ(first.Open(), kFileNotFound);
    ASSERT_EQ(second.Create(), 0);
    ASSERT_EQ(first.Create(), 0);
    ASSERT_EQ(first.Open(), 0);
    SetItem(1, "one");
    ASSERT_EQ(first.Add(), 0);
    first.Close();
  }
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name.find('-') == std::string::npos) files.push_back(name);
  }
  EXPECT_EQ(files, std::vector<std::string>{"SPELLED.TPS"});
  EXPECT_EQ(RowsInBurst(first), std::vector<std::string>{"1 one"});
}

// Tables of one file named in several letter cases find it once a burst, the folder's listing
// being kept between bursts; each burst finds the file as it is then: renamed to another letter
// case, replaced by a copy in another spelling, removed.
TEST_F(StorageOpenBurst, TablesSpelledOtherwiseFindTheirFileAsItIsAtEachBurst) {
  const TableDef a_def = MakeItemTable("Tree\\!a");
  const TableDef b_def = MakeItemTable("TREE\\!b");
  const TableDef c_def = MakeItemTable("tree\\!c");
  File a(a_def), b(b_def), c(c_def);
  File* const tree[] = {&a, &b, &c};
  int id = 0;
  for (File* file : tree) {
    ASSERT_EQ(file->Create(), 0);
    ASSERT_EQ(file->Open(), 0);
    SetItem(++id, file->def().StoredName().c_str());
    ASSERT_EQ(file->Add(), 0);
    file->Close();
  }
  ASSERT_TRUE(std::filesystem::exists("Tree.TPS"));
  ASSERT_FALSE(std::filesystem::exists("TREE.TPS") || std::filesystem::exists("tree.TPS"));

  // The rows of each table as one burst opens the tree, all open at once.
  const auto read_tree = [&] {
    std::vector<std::string> rows;
    const OpenBurst burst;
    for (File* file : tree) {
      if (const int code = file->Open(); code != 0) {
        rows.push_back("open failed " + std::to_string(code));
        continue;
      }
      file->Set(file->def().keys[0]);
      while (file->Next() == 0) {
        rows.push_back(std::to_string(ItemBuffer().Id) + " " + ItemBuffer().Name.str());
      }
    }
    for (File* file : tree) {
      if (file->IsOpen()) file->Close();
    }
    return rows;
  };
  const std::vector<std::string> made = {"1 Tree\\!a", "2 TREE\\!b", "3 tree\\!c"};
  const std::string gone = "open failed " + std::to_string(kFileNotFound);
  struct Case {
    const char* what;
    std::function<void()> change;  // made while no table holds the file
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"as made", [] {}, made},
      {"renamed to another letter case", [] { std::filesystem::rename("Tree.TPS", "tree.TPS"); },
       made},
      {"replaced by a copy changed elsewhere, in another spelling",
       [] {
         std::filesystem::copy_file("tree.TPS", "TrEe.TPS");
         RawExec("TrEe.TPS", "UPDATE a SET Name = 'copied'");
         std::filesystem::remove("tree.TPS");
       },
       {"1 copied", "2 TREE\\!b", "3 tree\\!c"}},
      {"removed", [] { std::filesystem::remove("TrEe.TPS"); }, {gone, gone, gone}},
  };
  for (const Case& step : cases) {
    SCOPED_TRACE(step.what);
    LetTheFolderSettle();
    ASSERT_EQ(read_tree().size(), 3u);  // lists the folder while it stands
    step.change();
    EXPECT_EQ(read_tree(), step.rows);
  }
}

}  // namespace
}  // namespace vx::test
