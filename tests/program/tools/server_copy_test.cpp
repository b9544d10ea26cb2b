// A data folder copied to a database server and back: every table comes back with the same
// records in the same order, field for field, and the counts of each side are checked.
#include "program/tools/server_copy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "framework/file_manager.h"
#include "runtime/storage/file.h"
#include "runtime/storage/record_codec.h"
#include "support/local_pg_cluster.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using Tables = std::map<std::string, std::vector<std::string>>;  // label -> records as text

class ServerCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(first_.path());
    VX_Files_Load();
    errors_.Init();
    VX_FILES_INIT(&errors_, nullptr);
  }
  void TearDown() override {
    CloseAll();
    VX_Files_Unload();
    std::filesystem::current_path(old_);
  }
  static void CloseAll() {
    for (const storage::TableDef* table : DictionaryTables()) {
      storage::File& file = storage::File::For(*table);
      while (file.IsOpen()) file.Close();
    }
  }
  // Every table of the current folder's files, each record's fields as text in file order.
  static Tables Read() {
    Tables out;
    for (const storage::TableDef* def : DictionaryTables()) {
      if (def->driver != storage::Driver::TopSpeed) continue;
      storage::File file(*def);
      if (file.Open() != 0) continue;
      std::vector<std::string>& rows = out[def->label];
      file.Set();
      while (file.Next() == 0) {
        std::string row;
        for (const storage::FieldDef& f : def->fields)
          row += storage::FieldText(f, static_cast<const char*>(def->buffer())) + "|";
        rows.push_back(row);
      }
      file.Close();
    }
    return out;
  }

  test::TempFolder first_{"vx copy first"};
  test::TempFolder second_{"vx copy second"};
  std::filesystem::path old_;
  ErrorClass errors_;
};

TEST_F(ServerCopy, AFolderCopiedToTheServerAndBackHasIdenticalTables) {
  test::LocalPgCluster* cluster = test::LocalPgCluster::Get();
  ASSERT_NE(cluster, nullptr);
  const std::string database = test::LocalPgCluster::Name("vx_copy");
  ASSERT_TRUE(cluster->FreshDatabase(database));
  // Tasks with text in both letter cases, a memo, a deleted record between others; users'
  // states; categories.
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  for (int i = 1; i <= 30; ++i) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = i;
    SCH.Description = (i % 2 ? "Task " : "task ") + std::to_string(i);
    SCH.Message = "line one\nline two of " + std::to_string(i);
    SCH.Date = 80000 + i;
    SCH.Time = i * 6000 + 1;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  SCH.ID = 7;
  ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
  ASSERT_EQ(ACCESS_SCHEDULE->Delete(), 0);
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  for (const char* user : {"ann", "Bob"}) {
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = 3;
    US.DATE = 80003;
    ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  }
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  CAT.Category = "Work";
  ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
  CloseAll();
  const Tables before = Read();
  ASSERT_EQ(before.at("SCHEDULE").size(), 29u);

  const CopyReport to = CopyTables(cluster->Settings(database), CopyDirection::ToServer);
  EXPECT_TRUE(to.ok()) << to.problems.front();
  EXPECT_EQ(cluster->Scalar("SELECT count(*) FROM \"VX97!S\"", database), "29");
  EXPECT_EQ(cluster->Scalar("SELECT count(*) FROM \"VX97!USERSCHEDULEDETAILS\"", database), "2");

  std::filesystem::current_path(second_.path());
  const CopyReport back = CopyTables(cluster->Settings(database), CopyDirection::FromServer);
  EXPECT_TRUE(back.ok()) << back.problems.front();
  ASSERT_EQ(to.tables.size(), back.tables.size());
  for (std::size_t i = 0; i < to.tables.size(); ++i)
    EXPECT_EQ(to.tables[i].records, back.tables[i].records) << to.tables[i].table;
  const Tables after = Read();
  EXPECT_EQ(after, before);
  EXPECT_EQ(cluster->Admin("DROP DATABASE \"" + database + "\" WITH (FORCE)"), "");
}

// A folder of an earlier version, whose keys of a table differ from today's, is copied whole:
// the folder's keys are made again from its records first, as the program does at open.
TEST_F(ServerCopy, AFolderWithATableKeyedByAnEarlierVersionIsCopiedWhole) {
  test::LocalPgCluster* cluster = test::LocalPgCluster::Get();
  ASSERT_NE(cluster, nullptr);
  const std::string database = test::LocalPgCluster::Name("vx_copy_keys");
  ASSERT_TRUE(cluster->FreshDatabase(database));
  storage::TableDef before = VXUSD_TABLE();
  for (storage::KeyDef& key : before.keys) {
    if (key.name == "KEYADVANCED") key.components.erase(key.components.begin());
  }
  {
    storage::File file(before);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    for (const char* user : {"ann", "bob"}) {
      US = VXUSD_RECORD{};
      US.USER = user;
      US.ID = 3;
      ASSERT_EQ(file.Add(), 0);
    }
    file.Close();
  }
  const CopyReport to = CopyTables(cluster->Settings(database), CopyDirection::ToServer);
  EXPECT_TRUE(to.ok()) << to.problems.front();
  EXPECT_EQ(cluster->Scalar("SELECT count(*) FROM \"VX97!USERSCHEDULEDETAILS\"", database), "2");
  EXPECT_EQ(cluster->Admin("DROP DATABASE \"" + database + "\" WITH (FORCE)"), "");
}

}  // namespace
}  // namespace vx
