// Small tables and a scratch folder for the storage engine's tests.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "runtime/decimal.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified

// Runs `sql` on the data file through a plain SQLite connection of its own, as another program
// would.
inline void RawExec(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 5000);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// Waits until a folder changed now counts as changed well before a listing of it made then,
// so that the listing is kept for later lookups of names in other letter cases.
inline void LetTheFolderSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(150)); }

// A scratch folder that becomes the current directory for the test and is removed after it.
class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vx-storage-XXXXXX";
    dir_ = mkdtemp(pattern);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_;
  std::filesystem::path old_;
};

// Every field type; keys cover case rules, signs, descending order and duplicates.
struct Item {
  std::int32_t Id;
  vx::String<10> Name;
  std::uint8_t Flag;
  std::int16_t Small;
  std::uint32_t Big;
  vx::Decimal Amount;
  vx::CString<8> Code;
  vx::String<100> Notes;  // memo
};

inline Item& ItemBuffer() {
  thread_local Item item{};
  return item;
}

inline FieldDef ItemField(const char* name, FieldType type, std::size_t offset, std::size_t size,
                          std::uint8_t digits = 0, std::uint8_t places = 0) {
  FieldDef f;
  f.name = name;
  f.type = type;
  f.offset = offset;
  f.size = size;
  f.digits = digits;
  f.places = places;
  return f;
}

inline KeyDef ItemKey(const char* name, KeyKind kind, bool case_sensitive,
                      std::initializer_list<KeyComponent> components) {
  KeyDef k;
  k.name = name;
  k.description = name;
  k.kind = kind;
  k.case_sensitive = case_sensitive;
  k.components = components;
  return k;
}

inline TableDef MakeItemTable(std::string stored_name) {
  TableDef def;
  def.label = "ITEMS";
  def.prefix = "ITM";
  def.stored_name = std::move(stored_name);
  def.record_size = sizeof(Item);
  def.fields = {
      ItemField("Id", FieldType::Long, offsetof(Item, Id), 4),
      ItemField("Name", FieldType::String, offsetof(Item, Name), 10),
      ItemField("Flag", FieldType::Byte, offsetof(Item, Flag), 1),
      ItemField("Small", FieldType::Short, offsetof(Item, Small), 2),
      ItemField("Big", FieldType::ULong, offsetof(Item, Big), 4),
      ItemField("Amount", FieldType::Decimal, offsetof(Item, Amount), 8, 7, 2),
      ItemField("Code", FieldType::CString, offsetof(Item, Code), 8),
      ItemField("Notes", FieldType::Memo, offsetof(Item, Notes), 100),
  };
  def.keys = {
      ItemKey("KeyId", KeyKind::Duplicates, false, {{"Id", false}}),
      ItemKey("KeyName", KeyKind::Duplicates, false, {{"Name", false}}),
      ItemKey("KeyNameCase", KeyKind::Duplicates, true, {{"Name", false}}),
      ItemKey("KeyFlagId", KeyKind::Duplicates, false, {{"Flag", false}, {"Id", false}}),
      ItemKey("KeyIdDesc", KeyKind::Duplicates, false, {{"Id", true}}),
      ItemKey("KeyBig", KeyKind::Duplicates, false, {{"Big", false}}),
      ItemKey("KeyAmountName", KeyKind::Duplicates, false, {{"Amount", false}, {"Name", true}}),
      ItemKey("KeyCode", KeyKind::Unique, true, {{"Code", false}}),
  };
  def.keys.back().optional = true;  // blank codes stay out of the unique key
  def.buffer = [] { return static_cast<void*>(&ItemBuffer()); };
  return def;
}

inline void SetItem(std::int32_t id, const char* name, std::uint8_t flag = 0,
                    const char* code = "") {
  Item& item = ItemBuffer();
  item = Item{};
  item.Id = id;
  item.Name = name;
  item.Flag = flag;
  item.Code = code;
  item.Amount = vx::Decimal::FromUnits(0, 2);
}

}  // namespace vx::test
