// Every table's description against the figures of the data dictionary: stored record bytes,
// field count (groups counted as the dictionary counts them), keys, memos, and sample offsets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <thread>

#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"

namespace vx {
namespace {

using storage::FieldType;
using storage::TableDef;

struct Expected {
  const TableDef& (*def)();
  std::size_t record_bytes;
  std::size_t fields;  // as the dictionary counts them: group headers included, memos not
  std::size_t groups;
  std::size_t keys;
  std::size_t memos;
};

const Expected kTables[] = {
    {SCHEDULE_TABLE, 1113, 69, 8, 11, 1},
    {SCHEDULEWORKFILE_TABLE, 1113, 69, 8, 13, 1},
    {SYNCSCHEDULE_TABLE, 1074, 69, 8, 5, 1},
    {SCRIPTING_TABLE, 2528, 24, 0, 2, 0},
    {SYNCSCRIPTING_TABLE, 2528, 24, 0, 1, 0},
    {SCRIPTTEMPLATEDETAILS_TABLE, 2528, 24, 0, 1, 0},
};

std::size_t StoredOffset(const TableDef& t, const std::string& field) {
  std::size_t offset = 0;
  for (const auto& f : t.fields) {
    if (f.name == field) return offset;
    offset += dictionary::StoredBytes(f);
  }
  ADD_FAILURE() << t.label << " has no field " << field;
  return 0;
}

TEST(TableLayout, FiguresMatchTheDictionary) {
  for (const Expected& e : kTables) {
    const TableDef& t = e.def();
    SCOPED_TRACE(t.label);
    std::size_t bytes = 0, memos = 0;
    for (const auto& f : t.fields) {
      bytes += dictionary::StoredBytes(f);
      if (f.type == FieldType::Memo) ++memos;
    }
    EXPECT_EQ(bytes, e.record_bytes);
    EXPECT_EQ(memos, e.memos);
    EXPECT_EQ(t.fields.size() - memos + e.groups, e.fields);
    EXPECT_EQ(t.keys.size(), e.keys);
    EXPECT_GE(t.record_size, bytes);
    EXPECT_NE(t.buffer, nullptr);
    EXPECT_FALSE(t.StoredName().empty());
  }
}

TEST(TableLayout, EveryKeyComponentIsAFieldAndEveryOffsetFitsTheBuffer) {
  for (const Expected& e : kTables) {
    const TableDef& t = e.def();
    SCOPED_TRACE(t.label);
    for (const auto& f : t.fields) {
      EXPECT_LE(f.offset + f.size, t.record_size) << f.name;
    }
    for (const auto& k : t.keys) {
      EXPECT_FALSE(k.components.empty()) << k.name;
      for (const auto& c : k.components) {
        const bool found = std::any_of(t.fields.begin(), t.fields.end(),
                                       [&](const auto& f) { return f.name == c.field; });
        EXPECT_TRUE(found) << k.name << " names " << c.field;
      }
    }
  }
}

TEST(TableLayout, SampleOffsetsMatchTheStoredRecord) {
  struct Case {
    const TableDef& (*def)();
    const char* field;
    std::size_t offset;
  };
  const Case cases[] = {
      {SCHEDULE_TABLE, "Date", 708},           {SCHEDULE_TABLE, "AlarmFile", 726},
      {SCHEDULE_TABLE, "ExceptionLink", 1067}, {SCHEDULE_TABLE, "OriginalID", 1109},
      {SYNCSCHEDULE_TABLE, "TaskType", 4},     {SYNCSCHEDULE_TABLE, "Bimonthly", 648},
      {SYNCSCHEDULE_TABLE, "EveryType", 649},  {SYNCSCHEDULE_TABLE, "OriginalID", 1070},
      {SCRIPTING_TABLE, "EmailID", 1149},      {SCRIPTING_TABLE, "DDECommand", 2273},
      {SCRIPTTEMPLATEDETAILS_TABLE, "Sequence", 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredOffset(c.def(), c.field), c.offset) << c.def().label << "." << c.field;
  }
}

TEST(TableLayout, AlarmFileIsACStringAndMessageAMemo) {
  const TableDef& t = SCHEDULE_TABLE();
  const auto alarm = std::find_if(t.fields.begin(), t.fields.end(),
                                  [](const auto& f) { return f.name == "AlarmFile"; });
  ASSERT_NE(alarm, t.fields.end());
  EXPECT_EQ(alarm->type, FieldType::CString);
  EXPECT_EQ(alarm->size, 255u);
  EXPECT_EQ(t.fields.back().name, "Message");
  EXPECT_EQ(t.fields.back().type, FieldType::Memo);
  EXPECT_EQ(t.fields.back().size, 4096u);
}

TEST(TableLayout, BuffersBelongToTheCallingThread) {
  SCH.Date = 12345;
  SCR.Action = "Wait";
  void* main_sch = SCHEDULE_TABLE().buffer();
  void* other_sch = nullptr;
  std::int32_t other_date = -1;
  std::string other_action = "?";
  std::thread([&] {
    other_sch = SCHEDULE_TABLE().buffer();
    other_date = SCH.Date;
    other_action = SCR.Action.str();
    SCH.Date = 99;
  }).join();
  EXPECT_EQ(main_sch, &SCH);
  EXPECT_NE(other_sch, main_sch);
  EXPECT_EQ(other_date, 0);
  EXPECT_EQ(other_action, "");
  EXPECT_EQ(SCH.Date, 12345);
  SCH = SCHEDULE_RECORD{};
  SCR = SCRIPTING_RECORD{};
}

}  // namespace
}  // namespace vx
