// Every table creates its file in an empty folder, opens, and stores a record that reads back
// whole through each of its keys (or in file order for the text files).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/record_clear.h"
#include "runtime/storage/file.h"
#include "scratch_folder.h"

namespace vx {
namespace {

using storage::FieldDef;
using storage::FieldType;
using storage::File;
using storage::TableDef;

// Fills every field of the calling thread's buffer with a value that differs from field to field.
void FillRecord(const TableDef& t) {
  char* record = static_cast<char*>(t.buffer());
  int n = 0;
  for (const FieldDef& f : t.fields) {
    ++n;
    char* at = record + f.offset;
    const std::string text = "v" + std::to_string(n) + t.prefix;
    switch (f.type) {
      case FieldType::String:
      case FieldType::Memo:
        std::memset(at, ' ', f.size);
        std::memcpy(at, text.data(), std::min(text.size(), f.size));
        break;
      case FieldType::CString:
        std::memcpy(at, text.c_str(), std::min(text.size() + 1, f.size));
        at[f.size - 1] = '\0';
        break;
      case FieldType::Long:
      case FieldType::ULong: {
        const std::int32_t v = 1000 + n;
        std::memcpy(at, &v, 4);
        break;
      }
      case FieldType::Short: {
        const std::int16_t v = static_cast<std::int16_t>(n);
        std::memcpy(at, &v, 2);
        break;
      }
      case FieldType::Byte:
        at[0] = static_cast<char>(n % 2 + 1);
        break;
      case FieldType::Decimal:
        break;
    }
  }
}

std::vector<std::string> FieldBytes(const TableDef& t) {
  const char* record = static_cast<const char*>(t.buffer());
  std::vector<std::string> values;
  for (const FieldDef& f : t.fields) {
    std::size_t size = f.type == FieldType::Long || f.type == FieldType::ULong ? 4
                       : f.type == FieldType::Short                            ? 2
                       : f.type == FieldType::Byte                             ? 1
                                                                               : f.size;
    if (f.type == FieldType::CString) size = std::strlen(record + f.offset);
    values.emplace_back(record + f.offset, size);
  }
  return values;
}

std::vector<std::string> SqliteTables(const std::string& path) {
  std::vector<std::string> names;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &q,
                       nullptr);
    while (q && sqlite3_step(q) == SQLITE_ROW) {
      names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
    }
    sqlite3_finalize(q);
  }
  sqlite3_close(db);
  return names;
}

using TableFiles = testing::ScratchFolder;

TEST_F(TableFiles, EveryTableCreatesOpensAndReadsBackThroughEachKey) {
  for (const TableDef* def : DictionaryTables()) {
    const TableDef& t = *def;
    SCOPED_TRACE(t.label);
    File& file = File::For(t);
    ASSERT_EQ(file.Open(), 2);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);

    FillRecord(t);
    const std::vector<std::string> written = FieldBytes(t);
    ASSERT_EQ(file.Add(), 0);
    EXPECT_EQ(file.Records(), 1);

    for (const auto& key : t.keys) {
      SCOPED_TRACE(key.name);
      // Only the key's components are set, so the read must fill in everything else.
      char* record = static_cast<char*>(t.buffer());
      FillRecord(t);
      std::vector<char> with_keys(record, record + t.record_size);
      ClearRecord(t);
      for (const auto& c : key.components) {
        const auto f = std::find_if(t.fields.begin(), t.fields.end(),
                                    [&](const FieldDef& fd) { return fd.name == c.field; });
        ASSERT_NE(f, t.fields.end());
        std::memcpy(record + f->offset, with_keys.data() + f->offset, f->size);
      }
      EXPECT_EQ(file.Get(key), 0);
      EXPECT_EQ(FieldBytes(t), written);
    }
    if (t.keys.empty()) {
      ClearRecord(t);
      ASSERT_EQ(file.Set(), 0);
      EXPECT_EQ(file.Next(), 0);
      EXPECT_EQ(FieldBytes(t), written);
    }
    EXPECT_EQ(file.Close(), 0);
    ClearRecord(t);
  }

  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    files.insert(entry.path().filename().string());
  }
  for (const char* name : {"VX97.TPS", "VXTpl.TPS", "vxWrkFil.TPS", "SyncSch.TPS", "SyncScr.TPS",
                           "SyncTodo.TPS", "Export.txt", "VX98Evnt.LOG", "MSGLINK.TPS",
                           "ACTIONS.TPS", "COMMANDS.TPS"}) {
    EXPECT_TRUE(files.count(name)) << name;
  }
  for (const auto& name : files) {
    EXPECT_FALSE(name != "VX97.TPS" && (name.rfind("vx97", 0) == 0 || name.rfind("Vx97", 0) == 0))
        << "second main data file " << name;
  }

  std::vector<std::string> main_tables = SqliteTables("VX97.TPS");
  const std::vector<std::string> expected = {"CF",       "Categories", "Clipboard",
                                             "ClipboardCategories", "ConCat", "Contact",
                                             "Fav",      "Hol",        "Hotkeys",
                                             "Messages", "Script",     "ScheduleContacts",
                                             "ToDo",     "UserScheduleDetails", "Users", "s"};
  for (const auto& name : expected) {
    EXPECT_NE(std::find(main_tables.begin(), main_tables.end(), name), main_tables.end()) << name;
  }
  const std::vector<std::string> templates = SqliteTables("VXTpl.TPS");
  EXPECT_NE(std::find(templates.begin(), templates.end(), "ScriptTemplates"), templates.end());
  EXPECT_NE(std::find(templates.begin(), templates.end(), "ScriptTemplateDetails"), templates.end());
}

}  // namespace
}  // namespace vx
