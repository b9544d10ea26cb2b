// Every table creates its file in an empty folder, opens, and stores a record that reads back
// whole through each of its keys (or in file order for the text files).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/record_clear.h"
#include "runtime/storage/file.h"
#include "test_support.h"

namespace vx {
namespace {

using storage::File;
using storage::TableDef;
using test::FillRecord;
using test::RecordText;

std::vector<std::string> SqliteTables(const std::string& path) {
  std::vector<std::string> names;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1,
                       &q, nullptr);
    while (q && sqlite3_step(q) == SQLITE_ROW) {
      names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
    }
    sqlite3_finalize(q);
  }
  sqlite3_close(db);
  return names;
}

TEST(TableFiles, EveryTableCreatesOpensAndReadsBackThroughEachKey) {
  test::InFreshFolder folder;
  for (const TableDef* def : DictionaryTables()) {
    const TableDef& t = *def;
    SCOPED_TRACE(t.label);
    File& file = File::For(t);
    ASSERT_EQ(file.Open(), 2);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);

    FillRecord(t);
    const std::vector<std::string> written = RecordText(t);
    ASSERT_EQ(file.Add(), 0);
    EXPECT_EQ(file.Records(), 1);

    for (const auto& key : t.keys) {
      SCOPED_TRACE(key.name);
      // Only the key's components are set, so the read must fill in everything else.
      FillRecord(t);
      std::vector<std::pair<std::string, std::string>> key_values;
      for (const auto& c : key.components)
        key_values.emplace_back(c.field, test::FieldText(t, c.field));
      ClearRecord(t);
      for (const auto& [field, value] : key_values) test::SetFieldText(t, field, value);
      EXPECT_EQ(file.Get(key), 0);
      EXPECT_EQ(RecordText(t), written);
    }
    if (t.keys.empty()) {
      ClearRecord(t);
      ASSERT_EQ(file.Set(), 0);
      EXPECT_EQ(file.Next(), 0);
      EXPECT_EQ(RecordText(t), written);
    }
    EXPECT_EQ(file.Close(), 0);
    ClearRecord(t);
  }

  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    files.insert(entry.path().filename().string());
  }
  for (const char* name :
       {"VX97.TPS", "VXTpl.TPS", "vxWrkFil.TPS", "SyncSch.TPS", "SyncScr.TPS", "SyncTodo.TPS",
        "Export.txt", "VX98Evnt.LOG", "MSGLINK.TPS", "ACTIONS.TPS", "COMMANDS.TPS"}) {
    EXPECT_TRUE(files.count(name)) << name;
  }
  for (const auto& name : files) {
    EXPECT_FALSE(name != "VX97.TPS" && (name.rfind("vx97", 0) == 0 || name.rfind("Vx97", 0) == 0))
        << "second main data file " << name;
  }

  std::vector<std::string> main_tables = SqliteTables("VX97.TPS");
  const std::vector<std::string> expected = {"CF",        "Categories",
                                             "Clipboard", "ClipboardCategories",
                                             "ConCat",    "Contact",
                                             "Fav",       "Hol",
                                             "Hotkeys",   "Messages",
                                             "Script",    "ScheduleContacts",
                                             "ToDo",      "UserScheduleDetails",
                                             "Users",     "s"};
  for (const auto& name : expected) {
    EXPECT_NE(std::find(main_tables.begin(), main_tables.end(), name), main_tables.end()) << name;
  }
  const std::vector<std::string> templates = SqliteTables("VXTpl.TPS");
  EXPECT_NE(std::find(templates.begin(), templates.end(), "ScriptTemplates"), templates.end());
  EXPECT_NE(std::find(templates.begin(), templates.end(), "ScriptTemplateDetails"),
            templates.end());
}

}  // namespace
}  // namespace vx
